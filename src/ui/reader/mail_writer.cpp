#include "ui/reader/mail_writer.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>
#include <vector>

#include "accounts/account.h"
#include "message/mailto_uri.h"
#include "message/qb_message.h"
#include "message/shown_text.h"
#include "platform/url_opener.h"
#include "store/mail_item.h"
#include "ui/common/qt_text.h"
#include "ui/reader/fra_reader.h"

namespace quobel {
namespace {

// The wait cursor while the desktop is asked for its mail program.
class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// The text to quote: what the pane shows of this item (decrypted, if it was), else the text of
// a downloaded message that needs no password.
std::string ShownTextOf(const TMailItem& item, const TQBMessage& message, const TfraReader* pane) {
    if (pane != nullptr && pane->Item() == &item && pane->State() == TfraReader::TState::Showing) {
        return S(pane->Text());
    }
    if (!item.Downloaded || item.CachedData.Encrypted) {
        return {};
    }
    return ShownText(message);
}

}  // namespace

const char* const TMailWriter::kNoMailProgramText =
    QT_TRANSLATE_NOOP("MailWriter",
                      "No mail program is set up on this desktop to write mail, so choose a "
                      "default e-mail program in the desktop's settings and try again.");

TMailWriter::TMailWriter(UrlOpener& opener) : opener_(opener) {
    Tell = [](QWidget& owner, const QString& text) {
        QMessageBox::information(&owner, QStringLiteral("Quobel"), text);
    };
}

bool TMailWriter::Hand(const std::string& uri, QWidget& owner) {
    bool opened = false;
    {
        const WaitCursor wait;
        opened = opener_.OpenWithProgram(uri);
    }
    if (!opened && Tell) {
        Tell(owner, QCoreApplication::translate("MailWriter", kNoMailProgramText));
    }
    return opened;
}

void TMailWriter::Write(TMailCommand command, TMailItem* item, const TfraReader* pane,
                        QWidget& owner) {
    if (command == TMailCommand::Compose || item == nullptr) {
        if (command == TMailCommand::Compose) {
            Hand(MailToUri({}), owner);
        }
        return;
    }
    TQBMessage message;
    try {
        std::string bytes;
        item->ReadCacheFile(bytes);
        message.LoadFromText(std::move(bytes));
    } catch (const std::exception& failure) {
        if (Tell) {
            Tell(owner, Q(failure.what()));
        }
        return;
    }
    std::vector<std::string> own;
    if (const TAccount* account = item->Account(); account != nullptr) {
        own.push_back(account->From.Email);
    }
    const std::string shown = ShownTextOf(*item, message, pane);
    Hand(MailToUri(MailToFor(command, message, shown, own)), owner);
}

void TMailWriter::WriteTo(const std::string& address, QWidget& owner) {
    Hand(MailToUri(ParseMailToUri(address)), owner);
}

}  // namespace quobel
