// Writing mail is handed to the user's mail program: Compose, Reply, Reply to all and Forward of
// the main window, the reader windows and the bar, and the mailto: links of messages, give the
// desktop a mailto: URI that Qt's own URL parser reads back as the command means it. Redirect
// stays unavailable; a desktop without a mail program is told so.
#include <gmock/gmock.h>

#include <QAction>
#include <QUrl>
#include <QUrlQuery>
#include <cstdlib>
#include <optional>

#include "message/mailto_uri.h"
#include "reader_fixture.h"
#include "ui/common/qt_platform.h"
#include "ui/reader/mail_writer.h"
#include "ui/reader/reader_text_view.h"
#include "ui/tickerbar/bar_owner.h"

namespace quobel::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

// A mailto: URI as Qt reads it.
struct ReadBack {
    QStringList To;
    QStringList Cc;
    QString Subject;
    QString Body;
    QString InReplyTo;
};

QStringList Addresses(const QString& list) {
    return list.isEmpty() ? QStringList() : list.split(QLatin1Char(','));
}

ReadBack ReadWithQt(const std::string& uri) {
    const QUrl url = QUrl::fromEncoded(QByteArray::fromStdString(uri), QUrl::StrictMode);
    EXPECT_TRUE(url.isValid()) << uri;
    EXPECT_EQ(url.scheme(), QStringLiteral("mailto"));
    const QUrlQuery query(url);
    const auto field = [&](const char* name) {
        return query.queryItemValue(QString::fromLatin1(name), QUrl::FullyDecoded);
    };
    return {Addresses(url.path(QUrl::FullyDecoded)), Addresses(field("cc")), field("subject"),
            field("body"), field("in-reply-to")};
}

class MailWritingTest : public ReaderTest {
  protected:
    MailWritingTest() {
        Account->From.Email = "me@example.org";
        Readers().Writer().Tell = [this](QWidget&, const QString& text) {
            Told.push_back(text.toStdString());
        };
    }

    // The URI the last command handed over.
    std::string Handed() {
        EXPECT_FALSE(opener.Opened.empty());
        return opener.Opened.empty() ? std::string() : opener.Opened.back();
    }

    void Focus(TMailItem& item) {
        ListInbox();
        window->FocusRow(RowKeyOf(TMailItems::KeyOf(item)));
    }

    std::vector<std::string> Told;
};

std::string ManyRecipients(int count) {
    std::string list;
    for (int i = 0; i < count; ++i) {
        list += (i > 0 ? ", " : "") + std::string("\"Person ") + std::to_string(i) + "\" <p" +
                std::to_string(i) + "@example.org>";
    }
    return list;
}

TEST_F(MailWritingTest, CommandsOfEveryWindowHandTheMailProgramWhatTheyMean) {
    const std::string oddSubject = "50% off? A&B = \"deal\" #1 + more/less";
    std::string longBody;
    for (int i = 0; i < 300; ++i) {
        longBody += "Line " + std::to_string(i) + " of a long letter \xE2\x80\x94 caf\xC3\xA9\r\n";
    }
    TMailItem& odd =
        AddItem("odd",
                SimpleMessage(
                    oddSubject, "Hello there\r\n\r\nBye",
                    "Cc: Bo <bo@example.org>, me@example.org\r\nMessage-ID: <m1@example.org>\r\n"),
                true);
    TMailItem& foreign =
        AddItem("foreign",
                "From: =?utf-8?q?Zo=C3=AB_=C3=9Cnal?= <zoe@example.org>\r\nTo: "
                "=?utf-8?b?5bGx55Sw?= <yamada@example.jp>, me@example.org\r\nSubject: "
                "=?utf-8?q?Gr=C3=BC=C3=9Fe_=E6=97=A5=E6=9C=AC?=\r\nDate: Wed, 02 Dec 2026 08:30:00 "
                "+0100\r\nContent-Type: text/plain; charset=utf-8\r\n\r\n" +
                    longBody,
                true);
    TMailItem& crowd = AddItem("crowd",
                               "From: boss@example.org\r\nTo: " + ManyRecipients(70) +
                                   "\r\nSubject: All hands\r\n\r\nMeeting at ten\r\n",
                               true);
    TMailItem& headerOnly =
        AddItem("header", SimpleMessage("Not here yet", "the body stays on the server"), false);

    enum class Where { MainWindow, ReaderWindow };
    struct Case {
        const char* what;
        TMailItem* item;
        TCommandId command;
        Where where;
        QStringList to;
        QStringList cc;
        QString subject;
        QString bodyStart;  // empty: no body at all
        QString inReplyTo;
    };
    const QString oddQ = QString::fromStdString(oddSubject);
    const QString fromMara = QStringLiteral("On Tue, 01 Dec 2026 10:00:00 +0000, Mara wrote:\r\n");
    const std::vector<Case> cases = {
        {"compose", nullptr, TCommandId::Compose, Where::MainWindow, {}, {}, {}, {}, {}},
        {"reply to an odd subject",
         &odd,
         TCommandId::Reply,
         Where::MainWindow,
         {QStringLiteral("mara@example.org")},
         {},
         QStringLiteral("Re: ") + oddQ,
         fromMara + QStringLiteral("> Hello there\r\n>\r\n> Bye\r\n"),
         QStringLiteral("<m1@example.org>")},
        {"reply to all from a reader window",
         &odd,
         TCommandId::ReplyAll,
         Where::ReaderWindow,
         {QStringLiteral("mara@example.org")},
         {QStringLiteral("bo@example.org")},
         QStringLiteral("Re: ") + oddQ,
         fromMara,
         QStringLiteral("<m1@example.org>")},
        {"forward from a reader window",
         &odd,
         TCommandId::Forward,
         Where::ReaderWindow,
         {},
         {},
         QStringLiteral("Fwd: ") + oddQ,
         QStringLiteral("\r\n-------- Forwarded message --------\r\nSubject: ") + oddQ,
         {}},
        {"non-ASCII names and a long body",
         &foreign,
         TCommandId::ReplyAll,
         Where::MainWindow,
         {QStringLiteral("zoe@example.org"), QStringLiteral("yamada@example.jp")},
         {},
         QStringLiteral("Re: Gr\u00fc\u00dfe \u65e5\u672c"),
         QStringLiteral("On Wed, 02 Dec 2026 08:30:00 +0100, Zo\u00eb \u00dcnal wrote:\r\n> Line "
                        "0 of a long letter \u2014 caf\u00e9\r\n"),
         {}},
        {"a message not downloaded yet: no quote",
         &headerOnly,
         TCommandId::Reply,
         Where::MainWindow,
         {QStringLiteral("mara@example.org")},
         {},
         QStringLiteral("Re: Not here yet"),
         {},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        opener.Opened.clear();
        if (c.where == Where::MainWindow) {
            if (c.item != nullptr) {
                Focus(*c.item);
            }
            window->Command(c.command).trigger();
        } else {
            TfrmExtReader& reader = Readers().ShowInReader(*c.item, true);
            reader.Command(c.command).trigger();
            reader.close();
        }
        const std::string uri = Handed();
        ASSERT_THAT(uri, StartsWith("mailto:"));
        EXPECT_LE(uri.size(), kMaxMailToLength);
        const ReadBack mail = ReadWithQt(uri);
        EXPECT_EQ(mail.To, c.to);
        EXPECT_EQ(mail.Cc, c.cc);
        EXPECT_EQ(mail.Subject, c.subject);
        EXPECT_EQ(mail.InReplyTo, c.inReplyTo);
        EXPECT_TRUE(mail.Body.startsWith(c.bodyStart)) << mail.Body.left(200).toStdString();
        EXPECT_EQ(mail.Body.isEmpty(), c.bodyStart.isEmpty());
    }
    EXPECT_TRUE(Told.empty());

    // The long letter was cut at a line to fit, and says so.
    Focus(foreign);
    window->Command(TCommandId::Reply).trigger();
    const QString cut = ReadWithQt(Handed()).Body;
    EXPECT_TRUE(cut.endsWith(QStringLiteral("\r\n[...]"))) << cut.right(40).toStdString();
    EXPECT_TRUE(cut.contains(QStringLiteral("\r\n> Line 3 of")));

    // Many recipients are all kept, even past the length others are cut to.
    Focus(crowd);
    window->Command(TCommandId::ReplyAll).trigger();
    const ReadBack all = ReadWithQt(Handed());
    EXPECT_EQ(all.To.size(), 71);
    EXPECT_EQ(all.To.front(), QStringLiteral("boss@example.org"));
    EXPECT_EQ(all.To.back(), QStringLiteral("p69@example.org"));
}

TEST_F(MailWritingTest, LinksTheBarAndRedirect) {
    TMailItem& item = AddItem("l", SimpleMessage("Links", "write to joe"), true);
    Pane().ShowItem(item);

    // A mailto: link of a message: only what writing needs reaches the mail program.
    emit Pane().rtfText->LinkClicked(QStringLiteral(
        "MAILTO:joe@example.org?subject=Hi%20Joe&attach=/home/me/.ssh/id_rsa&bcc=x@example.org"));
    EXPECT_EQ(Handed(), "mailto:joe@example.org?subject=Hi%20Joe");
    TfrmExtReader& reader = Readers().ShowInReader(item, true);
    emit reader.Pane().rtfText->LinkClicked(QStringLiteral("mailto:ann@example.org"));
    EXPECT_EQ(Handed(), "mailto:ann@example.org");

    // The bar's Compose is the main window's.
    cycle->Bar().ComposeMail();
    EXPECT_EQ(Handed(), "mailto:");

    // Redirect stays unavailable, also once a message is shown, and says why.
    ListInbox();
    window->FocusRow(RowKeyOf(TMailItems::KeyOf(item)));
    for (QAction* redirect :
         {&window->Command(TCommandId::Redirect), &reader.Command(TCommandId::Redirect)}) {
        EXPECT_FALSE(redirect->isEnabled());
        EXPECT_EQ(redirect->statusTip(), QString::fromLatin1(kRedirectHint));
    }
    EXPECT_TRUE(window->Command(TCommandId::Reply).isEnabled());
    EXPECT_TRUE(reader.Command(TCommandId::Reply).isEnabled());

    // A desktop without a mail program: one sentence, nothing handed over.
    opener.HasProgram = false;
    opener.Opened.clear();
    window->Command(TCommandId::Compose).trigger();
    reader.Command(TCommandId::Reply).trigger();
    EXPECT_TRUE(opener.Opened.empty());
    EXPECT_EQ(Told, (std::vector<std::string>(2, TMailWriter::kNoMailProgramText)));
}

// The desktop's answer, from the real opener: xdg-mime reads the default handlers from the
// freedesktop.org locations, here private ones.
TEST(MailProgramTest, TheDesktopIsAskedForItsMailProgram) {
    const TempFolder folder;
    const std::vector<const char*> names = {"XDG_CONFIG_HOME",     "XDG_DATA_HOME",
                                            "XDG_CONFIG_DIRS",     "XDG_DATA_DIRS",
                                            "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION"};
    std::vector<std::optional<std::string>> saved;
    for (const char* name : names) {
        const char* value = std::getenv(name);
        saved.push_back(value ? std::optional<std::string>(value) : std::nullopt);
    }
    const std::string config = folder.File("config");
    const std::string applications = folder.File("data/applications");
    ForceFolders(config);
    ForceFolders(applications);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("XDG_DATA_HOME", folder.File("data").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", folder.File("none").c_str(), 1);
    setenv("XDG_DATA_DIRS", folder.File("none").c_str(), 1);
    unsetenv("XDG_CURRENT_DESKTOP");
    unsetenv("DESKTOP_SESSION");

    EXPECT_FALSE(QtUrlOpener::DesktopHasProgramFor(QStringLiteral("mailto")));
    EXPECT_FALSE(QtUrlOpener().OpenWithProgram("mailto:joe@example.org"));
    WriteFileAtomic(JoinPath(applications, "test-mail.desktop"),
                    "[Desktop Entry]\nType=Application\nName=Test mail\nExec=true %u\n"
                    "MimeType=x-scheme-handler/mailto;\n");
    WriteFileAtomic(JoinPath(config, "mimeapps.list"),
                    "[Default Applications]\nx-scheme-handler/mailto=test-mail.desktop\n");
    EXPECT_TRUE(QtUrlOpener::DesktopHasProgramFor(QStringLiteral("mailto")));

    for (size_t i = 0; i < names.size(); ++i) {
        if (saved[i]) {
            setenv(names[i], saved[i]->c_str(), 1);
        } else {
            unsetenv(names[i]);
        }
    }
}

}  // namespace
}  // namespace quobel::testing
