#pragma once

#include <QCoreApplication>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/url_opener.h"
#include "support/temp_folder.h"
#include "ui/app/quobel_context.h"
#include "ui/mainwindow/frm_msg_list.h"
#include "ui/mainwindow/message_row_source.h"
#include "ui/tasks/frm_tasks.h"

namespace quobel::testing {

// A window's widget by its object name; a missing one fails the test.
template <class T>
T* ChildNamed(const QObject& parent, const char* name) {
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr) {
        throw std::runtime_error(std::string("no child named ") + name);
    }
    return child;
}

// A mail item as the message list sees it.
struct FakeItem {
    std::string From, Subject, DateStr, To, Account, SizeText;
    double Date = 0;
    int64_t Size = 0;
    int32_t Priority = 3;
    bool Attachments = false;
    bool Read = false;
};

// A fake item's row key is its address.
inline TRowKey KeyOf(const FakeItem& item) {
    return TRowKey(&item);
}
inline const FakeItem& FakeOf(TRowKey key) {
    return *static_cast<const FakeItem*>(key.Address());
}

class FakeRows : public TMessageRowSource {
  public:
    TMessageRowFields Fields(TRowKey key) const override {
        const FakeItem& item = FakeOf(key);
        TMessageRowFields fields;
        fields.From = item.From;
        fields.Subject = item.Subject;
        fields.DateStr = item.DateStr;
        fields.To = item.To;
        fields.Account = item.Account;
        fields.SizeText = item.SizeText;
        fields.Date = item.Date;
        fields.Size = item.Size;
        fields.Priority = item.Priority;
        fields.Attachments = item.Attachments;
        fields.Read = item.Read;
        return fields;
    }
};

// Redirect's long hint, which says why it stays unavailable.
inline constexpr const char* kRedirectHint =
    "Not available: the mail program is handed messages to write through a mailto: link, which "
    "cannot ask it to resend a message unchanged";

class RecordingOpener : public UrlOpener {
  public:
    void OpenUrl(const std::string& url) override { Opened.push_back(url); }
    // As a desktop with a mail program (or, with HasProgram false, without one).
    bool OpenWithProgram(const std::string& url) override {
        if (!HasProgram) {
            return false;
        }
        Opened.push_back(url);
        return true;
    }
    std::vector<std::string> Opened;
    bool HasProgram = true;
};

// A main window on a private data folder, created as at start-up.
class WindowFixture {
  public:
    WindowFixture() : context(TApp(folder.Path(), folder.Path())), tasks(context.Options) {}

    std::unique_ptr<TfrmMsgList> NewWindow() {
        auto window = std::make_unique<TfrmMsgList>(context, tasks, opener);
        window->FormCreate();
        window->Messages().SetSource(&rows);
        return window;
    }

    std::vector<TRowKey> Keys(std::vector<FakeItem>& items) {
        std::vector<TRowKey> keys;
        for (FakeItem& item : items) {
            keys.push_back(KeyOf(item));
        }
        return keys;
    }

    TempFolder folder;
    TQuobelContext context;
    TfrmTasks tasks;
    RecordingOpener opener;
    FakeRows rows;
};

}  // namespace quobel::testing
