#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "core/digest.h"
#include "core/file_util.h"
#include "core/options.h"
#include "core/unique_file_name.h"
#include "platform/memory_transport.h"
#include "platform/password_query.h"
#include "store/mail_box.h"
#include "store/mail_item.h"
#include "support/temp_folder.h"
#include "ui/app/mail_cycle.h"
#include "ui/app/quobel_context.h"
#include "ui/mainwindow/frm_msg_list.h"
#include "ui/reader/fra_reader.h"
#include "ui/reader/reader_windows.h"
#include "ui/tasks/frm_tasks.h"
#include "ui_fixture.h"

// Readable failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace quobel::testing {

// Answers the password prompt from a script and counts the questions.
class ScriptedPassword : public PasswordQuery {
  public:
    bool Query(const std::string&, const std::string&, std::string& value) override {
        ++Asked;
        if (Answer.empty()) {
            return false;
        }
        value = Answer;
        return true;
    }
    std::string Answer;
    int Asked = 0;
};

// The running program's windows on a private data folder: the main window with its check cycle
// and readers, one account whose server is a script, and helpers to file messages in the Inbox.
class ReaderTest : public ::testing::Test {
  protected:
    ReaderTest() : context(TApp(folder.Path(), folder.Path())), tasks(context.Options) {
        window = std::make_unique<TfrmMsgList>(context, tasks, opener);
        cycle = std::make_unique<TMailCycle>(context, *window, tasks);
        window->FormCreate();
        cycle->Start();
        Inbox = context.MailBoxes.FindByType(0);
        Account = &context.Accounts.Add(true);
        Account->Name = "Test account";
        Account->POP.Host = "mail.example";
        Account->POP.Username = "u";
        Account->POP.Password = "p";
        Peer = std::make_shared<TMemoryPeer>();
        cycle->Controller().TaskConnector = TMemoryTransport::ConnectorFor(Peer);
        TReaderWindows& readers = Readers();
        readers.Password = &Password;
        readers.OnBeep = [this] { ++Beeps; };
        readers.AskYesNo = [this](QWidget&, const std::string&, const std::string& text) {
            Questions.push_back(text);
            return Answer;
        };
        readers.ReportError = [this](const std::string& text) { Errors.push_back(text); };
    }

    ~ReaderTest() override {
        // As at program exit: the window first, then the cycle.
        window.reset();
        cycle.reset();
    }

    TReaderWindows& Readers() { return cycle->Readers(); }
    TfraReader& Pane() { return *Readers().MainReader(); }

    // A message in the Inbox: downloaded (its cache file holds all of it), or known by its
    // header only (the cache file holds the header block).
    TMailItem& AddItem(const std::string& uid, const std::string& message, bool downloaded) {
        TMailItem& item = Inbox->Items.Add();
        item.Folder = Inbox->Path;
        item.Cache = UniqueFileName(Inbox->Path, ".qbe") + ".qbe";
        item.AccountID = Account->ID;
        item.UIDL = Md5Hex(uid);
        item.Online = true;
        item.Downloaded = downloaded;
        const size_t headerEnd = message.find("\r\n\r\n");
        const std::string header =
            headerEnd == std::string::npos ? message : message.substr(0, headerEnd + 2);
        item.LoadFromHeaderLines(SplitLines(header));
        item.SetSize(static_cast<int32_t>(message.size()));
        item.WriteCacheFile(downloaded ? message : header + "\r\n");
        ++Inbox->Unread;
        return item;
    }

    // Lists the Inbox again (after items were added).
    void ListInbox() {
        window->CurrentBox = Inbox;
        window->Command(TCommandId::BoxMessages).trigger();
        QCoreApplication::processEvents();
    }

    // Serves the event loop until the task queue is empty.
    bool RunTasks() {
        return QTest::qWaitFor([&] { return cycle->Tasks().Count() == 0; }, 20000);
    }

    void Serve(const std::string& bytes) { Peer->ServerBytes += bytes; }

    // The item's cache file, or the header block its box's header log keeps.
    std::string CacheOf(const TMailItem& item) {
        std::string bytes;
        item.TryReadCacheFile(bytes);
        return bytes;
    }

    void WriteSetting(const char* section, const char* key, bool value) {
        OptionsScope scope(context.Options);
        scope.Ini().WriteBool(section, key, value);
    }

    TempFolder folder;
    TQuobelContext context;
    TfrmTasks tasks;
    RecordingOpener opener;
    std::unique_ptr<TfrmMsgList> window;
    std::unique_ptr<TMailCycle> cycle;
    TMailBox* Inbox = nullptr;
    TAccount* Account = nullptr;
    std::shared_ptr<TMemoryPeer> Peer;
    ScriptedPassword Password;
    int Beeps = 0;
    bool Answer = true;
    std::vector<std::string> Questions;
    std::vector<std::string> Errors;
};

// A POP3 conversation up to the login.
// The greeting, CAPA refused, then USER and PASS accepted.
inline const std::string kLogin = "+OK hello\r\n-ERR\r\n+OK\r\n+OK in\r\n";

// The server's replies for one fetch of the message with that unique id as number 1.
inline std::string FetchScript(const std::string& uid, const std::string& message) {
    std::string retr;
    for (const std::string& line : SplitLines(message)) {
        retr += (line.starts_with(".") ? "." : "") + line + "\r\n";
    }
    return kLogin + "+OK\r\n1 " + uid + "\r\n.\r\n" + "+OK 1 " + std::to_string(message.size()) +
           "\r\n" + "+OK\r\n" + retr + ".\r\n";
}

inline std::string SimpleMessage(const std::string& subject, const std::string& body,
                                 const std::string& extraHeaders = "") {
    return "From: \"Mara\" <mara@example.org>\r\nTo: me@example.org\r\nSubject: " + subject +
           "\r\nDate: Tue, 01 Dec 2026 10:00:00 +0000\r\n" + extraHeaders +
           "Content-Type: text/plain; charset=utf-8\r\n\r\n" + body + "\r\n";
}

}  // namespace quobel::testing
