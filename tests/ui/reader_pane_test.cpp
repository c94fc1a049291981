// The preview pane: what it shows, the fetch of a message known by its header only, links, the
// context menu and encrypted bodies.
#include <gmock/gmock.h>

#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTextBlock>

#include "accounts/base64.h"
#include "message/encryption.h"
#include "reader_fixture.h"
#include "ui/reader/reader_headers.h"
#include "ui/reader/reader_text_view.h"
#include "ui/tasks/frm_tasks.h"

namespace quobel::testing {
namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;

// The point of the viewport over the middle of the character at that position.
QPoint PointOf(TReaderTextView& view, int position) {
    QTextCursor cursor(view.document());
    cursor.setPosition(position);
    const QRect left = view.cursorRect(cursor);
    cursor.setPosition(position + 1);
    const QRect right = view.cursorRect(cursor);
    return QPoint((left.x() + right.x()) / 2, left.center().y());
}

using ReaderPaneTest = ReaderTest;

TEST_F(ReaderPaneTest, ShowsThePartTheMessageCallsForAndTheWholeSource) {
    struct Case {
        const char* name;
        std::string message;
        const char* shown;  // a text the Text page holds, or "" for an empty page
        const char* hidden;
    };
    const std::string alternative =
        "Subject: alt\r\nContent-Type: multipart/alternative; boundary=b\r\n\r\n"
        "--b\r\nContent-Type: text/html\r\n\r\n<p>the <b>html</b> part</p>\r\n"
        "--b\r\nContent-Type: text/plain\r\n\r\nthe plain part\r\n--b--\r\n";
    const Case cases[] = {
        {"no content type: reduced as HTML", "Subject: a\r\n\r\n<p>Hello &amp; <b>bye</b></p>\r\n",
         "Hello & bye", "<b>"},
        {"plain part after an HTML part", alternative, "the plain part", "html"},
        {"no part that qualifies",
         "Subject: c\r\nContent-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\n"
         "Content-Type: image/png\r\n\r\nxxxx\r\n--b--\r\n",
         "", "xxxx"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TMailItem& item = AddItem(c.name, c.message, true);
        Pane().ShowItem(item);
        EXPECT_EQ(Pane().State(), TfraReader::TState::Showing);
        const QString text = Pane().Text();
        if (*c.shown == '\0') {
            EXPECT_TRUE(text.isEmpty()) << text.toStdString();
        } else {
            EXPECT_THAT(text.toStdString(), HasSubstr(c.shown));
        }
        EXPECT_THAT(text.toStdString(), Not(HasSubstr(c.hidden)));
        QString source = QString::fromStdString(c.message);
        source.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        EXPECT_EQ(Pane().SourceText(), source);
        EXPECT_EQ(Pane().ActivePage(), TfraReader::kTextPage);
    }
}

TEST_F(ReaderPaneTest, ReaderFontIsReadAgainWhenTheSettingsChange) {
    TMailItem& item = AddItem("font", SimpleMessage("font", "Some text"), true);
    Pane().ShowItem(item);
    TFontRecord font;
    font.Name = "DejaVu Sans Mono";
    font.Size = 13;
    font.Bold = true;
    {
        OptionsScope scope(context.Options);
        context.Options.WriteFont("Reader.Font", font);
    }
    EXPECT_NE(Pane().rtfText->font().pointSize(), 13);
    Pane().ApplySettings();
    EXPECT_EQ(Pane().rtfText->font().pointSize(), 13);
    EXPECT_TRUE(Pane().rtfText->font().bold());
}

TEST_F(ReaderPaneTest, NothingInAMessageIsTakenAsMarkup) {
    const std::string body = "<img src=\"http://tracker.example/x.png\"> <b>bold</b> &amp;";
    TMailItem& item = AddItem("markup", SimpleMessage("markup", body), true);
    Pane().ShowItem(item);
    EXPECT_EQ(Pane().rtfText->toPlainText().toStdString(), body + "\n");
}

TEST_F(ReaderPaneTest, MessageKnownByItsHeaderIsFetchedShownAndStored) {
    const std::string message = SimpleMessage("Fetched", "The whole text.\r\n.dotted line");
    TMailItem& item = AddItem("uid-1", message, false);
    ListInbox();  // the newest row is focused: its preview loads after a pause
    Serve(FetchScript("uid-1", message));
    Pane().ShowItem(item);

    EXPECT_EQ(Pane().State(), TfraReader::TState::Waiting);
    EXPECT_EQ(Pane().Text(), QString::fromUtf8(TfraReader::kWaitingText));
    EXPECT_EQ(Pane().rtfText->font().family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(cycle->Tasks().Count(), 1u);
    EXPECT_TRUE(tasks.isVisible());
    EXPECT_TRUE(item.Read);  // the waiting text counts as shown
    EXPECT_EQ(window->ReaderPaneArea().From->text(), QStringLiteral("Mara"));

    ASSERT_TRUE(RunTasks());
    EXPECT_EQ(Pane().State(), TfraReader::TState::Showing);
    EXPECT_EQ(Pane().Text(), QStringLiteral("The whole text.\n.dotted line\n"));
    EXPECT_TRUE(item.Downloaded);
    const std::string cached = CacheOf(item);
    EXPECT_THAT(cached, EndsWith("\r\n.\r\n"));
    EXPECT_THAT(cached, HasSubstr("\r\n.dotted line\r\n"));
    EXPECT_EQ(Peer->Connects, 1);
    ASSERT_EQ(window->ReaderPaneArea().Tabs->count(), 2);
    EXPECT_EQ(window->ReaderPaneArea().Tabs->tabText(0), QStringLiteral(" Text "));
    EXPECT_EQ(window->ReaderPaneArea().Tabs->tabText(1), QStringLiteral(" Source "));

    // Shown again, it comes from its cache file.
    Pane().Clear();
    Pane().ShowItem(item);
    EXPECT_EQ(cycle->Tasks().Count(), 0u);
    EXPECT_EQ(Pane().Text(), QStringLiteral("The whole text.\n.dotted line\n"));
}

TEST_F(ReaderPaneTest, FetchResultGoesToItsOwnItemWhateverThePaneShowsBySoon) {
    const std::string fetched = SimpleMessage("Pending", "fetched body");
    TMailItem& pending = AddItem("uid-p", fetched, false);
    TMailItem& other = AddItem("uid-o", SimpleMessage("Other", "other body"), true);
    const std::string otherFile = CacheOf(other);
    Serve(FetchScript("uid-p", fetched));

    Pane().ShowItem(pending);
    Pane().ShowItem(other);  // before the fetch has come back
    ASSERT_TRUE(RunTasks());
    EXPECT_EQ(Pane().Item(), &other);
    EXPECT_EQ(Pane().Text(), QStringLiteral("other body\n"));
    EXPECT_EQ(CacheOf(other), otherFile);
    EXPECT_TRUE(pending.Downloaded);
    EXPECT_THAT(CacheOf(pending), HasSubstr("fetched body\r\n"));

    Pane().ShowItem(pending);
    EXPECT_EQ(cycle->Tasks().Count(), 0u);
    EXPECT_EQ(Pane().Text(), QStringLiteral("fetched body\n"));
}

TEST_F(ReaderPaneTest, ShowingAPendingMessageAgainQueuesNoSecondFetch) {
    const std::string message = SimpleMessage("Twice", "body");
    TMailItem& item = AddItem("uid-t", message, false);
    TMailItem& other = AddItem("uid-x", SimpleMessage("Other", "x"), true);
    Serve(FetchScript("uid-t", message));
    Pane().ShowItem(item);
    Pane().ShowItem(other);
    Pane().ShowItem(item);
    EXPECT_EQ(cycle->Tasks().Count(), 1u);
    ASSERT_TRUE(RunTasks());
    EXPECT_EQ(Pane().Text(), QStringLiteral("body\n"));
    EXPECT_EQ(Peer->Connects, 1);
}

TEST_F(ReaderPaneTest, MessageGoneFromTheServerIsNotFetchedAgain) {
    TMailItem& item = AddItem("gone", SimpleMessage("Gone", "never seen"), false);
    Serve(kLogin + "+OK\r\n1 something-else\r\n.\r\n");
    Pane().ShowItem(item);
    ASSERT_TRUE(RunTasks());
    EXPECT_EQ(Pane().State(), TfraReader::TState::Removed);
    EXPECT_EQ(Pane().Text(), QString::fromUtf8(TfraReader::kRemovedText));
    EXPECT_TRUE(item.Downloaded);

    Pane().ShowItem(item);  // what the cache file holds: the header block
    EXPECT_EQ(cycle->Tasks().Count(), 0u);
    EXPECT_EQ(Pane().State(), TfraReader::TState::Showing);
    EXPECT_THAT(Pane().SourceText().toStdString(), HasSubstr("Subject: Gone"));
}

TEST_F(ReaderPaneTest, BrokenTransferIsListedAndTheMessageIsFetchedAgainLater) {
    const std::string message = SimpleMessage("Broken", "line one\r\nline two");
    TMailItem& item = AddItem("uid-b", message, false);
    const std::string header = CacheOf(item);
    Serve(kLogin + "+OK\r\n1 uid-b\r\n.\r\n+OK 1 99\r\n+OK\r\nFrom: Mara\r\n");  // then closed
    Pane().ShowItem(item);
    ASSERT_TRUE(RunTasks());
    EXPECT_EQ(Pane().State(), TfraReader::TState::Failed);
    EXPECT_FALSE(item.Downloaded);
    EXPECT_EQ(CacheOf(item), header);
    ASSERT_GE(context.Errors.Count(), 1u);
    EXPECT_EQ(context.Errors.Items(0).Message, "Could not retrieve message!");

    Serve(FetchScript("uid-b", message));
    Pane().ShowItem(item);
    ASSERT_TRUE(RunTasks());
    EXPECT_EQ(Pane().Text(), QStringLiteral("line one\nline two\n"));
    EXPECT_TRUE(item.Downloaded);
}

TEST_F(ReaderPaneTest, PaneFreedDuringItsFetchHearsNothingButTheMessageIsStored) {
    const std::string message = SimpleMessage("Closed", "stored anyway");
    TMailItem& item = AddItem("uid-c", message, false);
    Serve(FetchScript("uid-c", message));
    WriteSetting("Reader", "NewWindow", true);
    TfrmExtReader& reader = Readers().ShowInReader(item, true);
    reader.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(Readers().Windows().empty());
    ASSERT_TRUE(RunTasks());
    EXPECT_TRUE(item.Downloaded);
    EXPECT_THAT(CacheOf(item), EndsWith("stored anyway\r\n.\r\n"));
    EXPECT_TRUE(Errors.empty());
}

TEST_F(ReaderPaneTest, LinksOpenTheBrowserAndMailAddressesGoElsewhere) {
    const std::string body =
        "Web: https://example.org/a?b=1. Mail: MailTo:mara@example.org, or www.example.com.";
    TMailItem& item = AddItem("links", SimpleMessage("Links", body), true);
    std::vector<std::string> mailTo;
    Pane().OnMailTo = [&](TfraReader&, const std::string& address) { mailTo.push_back(address); };
    window->show();
    Pane().ShowItem(item);
    TReaderTextView& view = *Pane().rtfText;
    const QString text = Pane().Text();
    const auto click = [&](const char* word) {
        const int at = static_cast<int>(text.indexOf(QString::fromLatin1(word))) + 2;
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, PointOf(view, at));
    };
    click("https");
    click("MailTo");
    click("www");
    click("Mail:");  // not a link
    EXPECT_EQ(opener.Opened,
              (std::vector<std::string>{"https://example.org/a?b=1", "www.example.com"}));
    EXPECT_EQ(mailTo, std::vector<std::string>{"mara@example.org"});
}

TEST_F(ReaderPaneTest, CopyActsOnTheActivePage) {
    TMailItem& item = AddItem("copy", SimpleMessage("Copy", "body text"), true);
    Pane().ShowItem(item);
    window->ReaderPaneArea().Tabs->setCurrentIndex(1);
    EXPECT_EQ(Pane().ActivePage(), TfraReader::kSourcePage);
    Pane().mnuSelectAll->trigger();
    Pane().mnuCopy->trigger();
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(copied.startsWith(QStringLiteral("From: \"Mara\""))) << copied.toStdString();
    EXPECT_TRUE(copied.contains(QStringLiteral("body text")));

    Pane().ShowItem(item);  // a new showing starts on the Text page
    EXPECT_EQ(Pane().ActivePage(), TfraReader::kTextPage);
    EXPECT_EQ(window->ReaderPaneArea().Tabs->currentIndex(), 0);
    Pane().mnuSelectAll->trigger();
    Pane().mnuCopy->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("body text\n"));
}

TEST_F(ReaderPaneTest, EncryptedBodyAsksOncePerShowing) {
    TdmEncryption ciphers;
    TCipher& cipher = *ciphers.FindCipher("Twofish");
    cipher.InitStr("secret");
    const std::string body = Base64Encode(cipher.EncryptCBC("The secret text."));
    TMailItem& item =
        AddItem("enc", SimpleMessage("Sealed", body, "x-quobel-encryption: twofish\r\n"), true);

    Password.Answer = "secret";
    Pane().ShowItem(item);
    EXPECT_TRUE(Pane().Encrypted());
    EXPECT_EQ(Password.Asked, 1);
    EXPECT_EQ(Pane().Text(), QStringLiteral("The secret text."));

    Password.Answer.clear();  // cancelled: the body as it came, and no second question
    Pane().ShowItem(item);
    EXPECT_EQ(Password.Asked, 2);
    EXPECT_EQ(Pane().Text().trimmed().toStdString(), body);
}

TEST_F(ReaderPaneTest, HeaderPanelShowsSenderRecipientSourceAndAttachments) {
    const std::string message =
        "Received: from relay (relay.example [192.0.2.7]) by mx for <me@example.org>; x\r\n"
        "From: \"Mara\" <mara@example.org>\r\nTo: \"Me\" <me@example.org>\r\n"
        "Cc: \"Bo\" <bo@example.org>\r\n"
        "Subject: Report\r\nContent-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\n"
        "Content-Type: text/plain\r\n\r\nsee attached\r\n--b\r\n"
        "Content-Type: text/csv; name=\"a&b.csv\"\r\nContent-Disposition: attachment; "
        "filename=\"a&b.csv\"\r\n\r\nday,count\r\n--b--\r\n";
    TMailItem& item = AddItem("hdr", message, true);
    Pane().ShowItem(item);
    EXPECT_EQ(window->ReaderPaneArea().From->text(), QStringLiteral("Mara"));
    EXPECT_EQ(window->ReaderPaneArea().To->text(), QStringLiteral("Me"));
    EXPECT_EQ(window->ReaderPaneArea().CC->text(), QStringLiteral("Bo"));
    EXPECT_EQ(window->ReaderPaneArea().Recipient->text(), QStringLiteral("me@example.org"));
    TReaderHeaders& headers = *Readers().MainHeaders();
    EXPECT_EQ(headers.SourceIP(), QStringLiteral("192.0.2.7"));
    EXPECT_TRUE(item.Attachments);
    EXPECT_FALSE(window->ReaderPaneArea().Attachments->isHidden());
    ASSERT_EQ(headers.mnuAttachments->actions().size(), 1);
    EXPECT_EQ(headers.mnuAttachments->actions()[0]->text(), QStringLiteral("a&&b.csv (11 bytes)"));

    emit window->ReaderPaneArea().SourceIP->linkActivated(
        TReaderHeaders::WhoisLink(headers.SourceIP()));
    ASSERT_EQ(opener.Opened.size(), 1u);
    EXPECT_THAT(opener.Opened[0], HasSubstr("/cgi-bin/proxy.cgi?query=192.0.2.7&targetnic=auto"));
    headers.mnuSourceCopy->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("192.0.2.7"));
}

TEST_F(ReaderPaneTest, DeletedMessageLeavesNoPreviewBehind) {
    TMailItem& item = AddItem("del", SimpleMessage("Del", "x"), true);
    item.Online = false;
    WriteSetting("Confirmations", "Delete", false);
    ListInbox();
    Pane().ShowItem(item);
    cycle->Controller().DeleteMessage(item);
    EXPECT_EQ(Pane().Item(), nullptr);
    EXPECT_EQ(Pane().State(), TfraReader::TState::Empty);
}

TEST(ReaderTextViewTest, LongTextGoesInPieceByPieceWithItsLinks) {
    TReaderTextView view;
    view.Links = true;
    QString text;
    for (int i = 0; i < 20000; ++i) {
        text += QStringLiteral("line %1 see http://example.org/%1 now\r\n").arg(i);
    }
    view.SetText(text);
    EXPECT_TRUE(view.Filling());
    EXPECT_LT(view.document()->characterCount(), text.size());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.Filling(); }, 20000));
    QString expected = text;
    expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_TRUE(view.toPlainText() == expected);
    const QTextBlock last = view.document()->findBlockByNumber(19999);
    QTextCursor cursor(last);
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 20);
    EXPECT_EQ(cursor.charFormat().anchorHref(), QStringLiteral("http://example.org/19999"));
}

}  // namespace
}  // namespace quobel::testing
