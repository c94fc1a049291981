#include "ui/reader/reader_windows.h"

#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QTabBar>
#include <algorithm>
#include <limits>

#include "core/options.h"
#include "cycle/msg_list_controller.h"
#include "platform/url_opener.h"
#include "retrieval/tasks.h"
#include "store/mail_item.h"
#include "ui/app/quobel_application.h"
#include "ui/common/qt_platform.h"
#include "ui/mainwindow/frm_msg_list.h"
#include "ui/reader/reader_headers.h"

namespace quobel {
namespace {

TMailItem* ItemOf(TRowKey key) {
    // Rows are keyed by their items' keys; an item not made yet is made now.
    return &TMailItems::ItemOf(ItemKeyOf(key));
}

int ProgressValue(int64_t value) {
    return static_cast<int>(std::clamp<int64_t>(value, 0, std::numeric_limits<int>::max()));
}

}  // namespace

TReaderWindows::TReaderWindows(TfrmMsgList& window, TOptions& options,
                               TMsgListController& controller, TTasks& tasks)
    : Password(&passwordQuery_),
      window_(&window),
      options_(options),
      controller_(controller),
      tasks_(tasks),
      writer_(window.Opener()),
      attachments_(window.Opener()),
      passwordQuery_(&window) {
    AskYesNo = [](QWidget& owner, const std::string& caption, const std::string& text) {
        return QtYesNoQuestion(&owner).AskYesNo(caption, text);
    };
    ReportError = ShowFatalError;

    const TReaderPaneArea area = window.ReaderPaneArea();
    mainReader_ = new TfraReader(PaneServices(), area.Host);
    area.Host->layout()->addWidget(mainReader_);
    mainHeaders_ = new TReaderHeaders(
        {area.Tabs, area.Attachments, area.From, area.To, area.CC, area.Recipient, area.SourceIP},
        *mainReader_, &window);
    mainHeaders_->OnOpenURL = [this](const std::string& url) { OpenURL(url); };
    mainReader_->OnMessageShown = [this](TfraReader&) { MainMessageShown(); };
    mainReader_->OnOpenURL = [this](TfraReader&, const std::string& url) { OpenURL(url); };
    mainReader_->OnMailTo = [this](TfraReader&, const std::string& address) {
        if (window_ != nullptr) {
            WriteMailTo(address, *window_);
        }
    };
    mainHeaders_->OnAttachment = [this](TAttachmentCommand command, int partIndex) {
        if (const TQBMessage* message = mainReader_->Message(); message && window_) {
            AttachmentCommand(command, *message, partIndex, *window_);
        }
    };
    HookWritingCommands(window);
    window.OnMessageFocused = [this](TRowKey key) { MessageFocused(*ItemOf(key)); };
    window.OnClearReader = [this] { ClearMainReader(); };
}

TReaderWindows::~TReaderWindows() {
    for (const QPointer<TfrmExtReader>& reader : windows_) {
        delete reader.data();
    }
    // A main window that outlives this object must not reach it any more.
    if (window_ != nullptr) {
        window_->OnMessageFocused = nullptr;
        window_->OnClearReader = nullptr;
    }
    delete mainHeaders_.data();
    delete mainReader_.data();
}

TfraReader::Services TReaderWindows::PaneServices() {
    TfraReader::Services services{options_, &passwordForwarder_, {}, {}, {}};
    services.FetchMessage = [this](TMailItem& item, TfraReader::Services::TFetchDone done,
                                   TfraReader::Services::TFetchFailed failed) {
        return controller_.FetchMessage(item, std::move(done), std::move(failed));
    };
    services.BoxChanged = [this](TMailBox& box) { controller_.BoxChanged(box); };
    services.ReportError = [this](const std::string& text) {
        if (ReportError) {
            ReportError(text);
        }
    };
    return services;
}

void TReaderWindows::HookWritingCommands(TfrmMsgList& window) {
    using enum TCommandId;
    for (const auto& [id, command] :
         {std::pair{Compose, TMailCommand::Compose}, std::pair{Reply, TMailCommand::Reply},
          std::pair{ReplyAll, TMailCommand::ReplyAll}, std::pair{Forward, TMailCommand::Forward}}) {
        connect(&window.Command(id), &QAction::triggered, this, [this, command] {
            if (window_ == nullptr) {
                return;
            }
            TMailItem* item = nullptr;
            if (command != TMailCommand::Compose) {
                const TRowKey key = window_->FocusedRow();
                if (key == nullptr) {
                    return;
                }
                item = ItemOf(key);
            }
            WriteMail(command, item, mainReader_, *window_);
        });
    }
}

void TReaderWindows::MessageFocused(TMailItem& item) {
    if (mainReader_ == nullptr || mainReader_->Item() == &item) {
        return;
    }
    mainHeaders_->Clear();
    const QPointer<TfrmMsgList> window = window_;
    item.OnLoadBegin = [window](TMailItem&, int64_t size) {
        if (window) {
            window->DecodeStart(ProgressValue(size));
        }
    };
    item.OnLoadProgress = [window](TMailItem&, int64_t position) {
        if (window) {
            window->DecodeProgress(ProgressValue(position));
        }
    };
    item.OnLoadEnd = [window](TMailItem&) {
        if (window) {
            window->DecodeEnd();
        }
    };
    mainReader_->ShowItem(item);
}

void TReaderWindows::MainMessageShown() {
    mainHeaders_->Fill();
    if (TMailItem* item = mainReader_->Item()) {
        controller_.MarkMessageRead(*item, true);
    }
}

void TReaderWindows::ClearMainReader() {
    if (mainReader_ != nullptr) {
        mainReader_->Clear();
    }
    if (mainHeaders_ != nullptr) {
        mainHeaders_->Clear();
    }
}

void TReaderWindows::ApplySettings() {
    if (mainReader_ != nullptr) {
        mainReader_->ApplySettings();
    }
    for (TfrmExtReader* reader : Windows()) {
        reader->ApplySettings();
    }
}

std::vector<TfrmExtReader*> TReaderWindows::Windows() const {
    std::vector<TfrmExtReader*> open;
    for (const QPointer<TfrmExtReader>& reader : windows_) {
        if (reader != nullptr) {
            open.push_back(reader);
        }
    }
    return open;
}

TfrmExtReader& TReaderWindows::ShowInReader(TMailItem& item, bool newWindow) {
    TfrmExtReader* reader = newWindow ? nullptr : shared_.data();
    if (reader == nullptr) {
        // Top-level, with a taskbar button of its own.
        reader = new TfrmExtReader(*this);
        windows_.emplace_back(reader);
        if (!newWindow) {
            shared_ = reader;
        }
    }
    reader->ShowItem(item);
    reader->show();
    reader->raise();
    reader->activateWindow();
    return *reader;
}

void TReaderWindows::CloseReadersOf(TMailItem& item) {
    for (TfrmExtReader* reader : Windows()) {
        if (reader->ShownItem() == &item) {
            reader->close();
        }
    }
    // The preview must not go on pointing at a message that is about to be freed.
    if (mainReader_ != nullptr && mainReader_->Item() == &item) {
        ClearMainReader();
    }
}

void TReaderWindows::ReaderClosed(TfrmExtReader& window) {
    std::erase_if(windows_, [&](const QPointer<TfrmExtReader>& reader) {
        return reader == nullptr || reader == &window;
    });
    if (shared_ == &window) {
        shared_ = nullptr;
    }
}

std::vector<TMailItem*> TReaderWindows::ListItems() {
    std::vector<TMailItem*> items;
    if (window_ == nullptr) {
        return items;
    }
    const TMessageListModel& rows = window_->Messages();
    items.reserve(static_cast<size_t>(rows.Count()));
    for (int row = 0; row < rows.Count(); ++row) {
        items.push_back(ItemOf(rows.KeyAt(row)));
    }
    return items;
}

bool TReaderWindows::ConfirmDelete(QWidget& owner) {
    bool ask = true;
    {
        OptionsScope scope(options_);
        ask = scope.Read(settings::kConfirmDelete);
    }
    return !ask || (AskYesNo && AskYesNo(owner, "Delete", DeleteConfirmationText(true)));
}

void TReaderWindows::DeleteMessage(TMailItem& item) {
    controller_.DeleteMessage(item);
}

void TReaderWindows::StartQueuedTasks() {
    if (tasks_.Count() == 0) {
        return;
    }
    tasks_.StartNext();
    if (window_ != nullptr) {
        window_->ShowTasks();
    }
}

void TReaderWindows::MarkMessageRead(TMailItem& item) {
    controller_.MarkMessageRead(item, true);
}

void TReaderWindows::OpenURL(const std::string& url) {
    if (window_ != nullptr) {
        window_->ReaderOpenURL(url);
    }
}

void TReaderWindows::WriteMail(TMailCommand command, TMailItem* item, const TfraReader* pane,
                               QWidget& owner) {
    writer_.Write(command, item, pane, owner);
}

void TReaderWindows::WriteMailTo(const std::string& address, QWidget& owner) {
    writer_.WriteTo(address, owner);
}

void TReaderWindows::AttachmentCommand(TAttachmentCommand command, const TQBMessage& message,
                                       int partIndex, QWidget& owner) {
    attachments_.Run(command, message, partIndex, owner);
}

void TReaderWindows::Beep() {
    if (OnBeep) {
        OnBeep();
    } else {
        QApplication::beep();
    }
}

}  // namespace quobel
