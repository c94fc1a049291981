// The attachments menu of the main window's preview and of the reader windows: opening through
// a private temporary folder (gone at exit), asking before a program or script is opened, Save
// as and Save all, which never replace a file without asking.
#include <gmock/gmock.h>

#include <QAction>
#include <QMenu>
#include <filesystem>

#include "reader_fixture.h"
#include "ui/reader/attachment_actions.h"
#include "ui/reader/reader_headers.h"

namespace quobel::testing {
namespace {

namespace fs = std::filesystem;

// The attachments' lines; decoded, each ends with CR LF.
const std::string kReport = "%PDF-1.4 a small report\r\n";
const std::string kScript = "#!/bin/sh\r\necho hello\r\n";
const std::string kTable = "day,count\r\n";

std::string Attached(const std::string& headers, const std::string& data) {
    return "--b\r\n" + headers + "\r\n\r\n" + data;
}

// A message with three attachments: a document, a script whose name climbs out of any folder,
// and a table.
std::string ThreeAttachments() {
    return "From: \"Mara\" <mara@example.org>\r\nTo: me@example.org\r\nSubject: Files\r\n"
           "Content-Type: multipart/mixed; boundary=b\r\n\r\n" +
           Attached("Content-Type: text/plain", "see attached\r\n") +
           Attached(
               "Content-Type: application/pdf\r\nContent-Disposition: attachment; "
               "filename=\"report.pdf\"",
               kReport) +
           Attached(
               "Content-Type: application/octet-stream\r\nContent-Disposition: attachment; "
               "filename=\"../../bin/hello.sh\"",
               kScript) +
           Attached(
               "Content-Type: text/csv\r\nContent-Disposition: attachment; "
               "filename=\"a&b.csv\"",
               kTable) +
           "--b--\r\n";
}

fs::perms Mode(const std::string& path) {
    return fs::status(path).permissions() & fs::perms::all;
}

std::string Contents(const std::string& path) {
    std::string bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}

class AttachmentActionsTest : public ReaderTest {
  protected:
    AttachmentActionsTest() {
        TAttachmentActions& actions = Readers().Attachments();
        actions.AskYesNo = [this](QWidget&, const QString&, const QString& text) {
            Asked.push_back(text.toStdString());
            return Answer;
        };
        actions.ChooseFile = [this](QWidget&, const QString& suggested) {
            Suggested.push_back(suggested.toStdString());
            return QString::fromStdString(ChosenFile);
        };
        actions.ChooseFolder = [this](QWidget&, const QString&) {
            return QString::fromStdString(target.Path());
        };
        actions.ShowError = [this](QWidget&, const QString& text) {
            Failures.push_back(text.toStdString());
        };
    }

    // An entry of an attachment's submenu in the menu, by the attachment's position and the
    // entry's caption.
    static QAction& Entry(QMenu& menu, int attachment, const QString& caption) {
        QMenu* actions = menu.actions().at(attachment)->menu();
        if (actions == nullptr) {
            throw std::runtime_error("an attachment entry without its submenu");
        }
        for (QAction* action : actions->actions()) {
            if (action->text() == caption) {
                return *action;
            }
        }
        throw std::runtime_error("no entry " + caption.toStdString());
    }

    TempFolder target;
    std::vector<std::string> Asked;
    std::vector<std::string> Suggested;
    std::vector<std::string> Failures;
    std::string ChosenFile;
};

TEST_F(AttachmentActionsTest, OpenWritesAPrivateCopyAndAsksBeforeAScript) {
    TMailItem& item = AddItem("files", ThreeAttachments(), true);
    Pane().ShowItem(item);
    QMenu& menu = *Readers().MainHeaders()->mnuAttachments;
    ASSERT_EQ(menu.actions().size(), 3);
    std::vector<QString> captions;
    for (QAction* entry : menu.actions().at(0)->menu()->actions()) {
        captions.push_back(entry->isSeparator() ? QStringLiteral("-") : entry->text());
    }
    EXPECT_EQ(captions,
              (std::vector<QString>{QStringLiteral("&Open"), QStringLiteral("Save as\u2026"),
                                    QStringLiteral("-"), QStringLiteral("Save all\u2026")}));

    Entry(menu, 0, TReaderHeaders::kOpenCaption).trigger();
    ASSERT_EQ(opener.Opened.size(), 1u);
    const std::string folder = Readers().Attachments().TemporaryFolder().toStdString();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(opener.Opened[0], JoinPath(folder, "report.pdf"));
    EXPECT_EQ(Contents(opener.Opened[0]), kReport);
    EXPECT_EQ(Mode(folder), fs::perms::owner_all);
    EXPECT_EQ(Mode(opener.Opened[0]), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(Asked.empty());

    // Opened again: a second copy beside the first, which a viewer may still hold.
    Entry(menu, 0, TReaderHeaders::kOpenCaption).trigger();
    EXPECT_EQ(opener.Opened.back(), JoinPath(folder, "report (2).pdf"));

    // A script asks first; No leaves nothing behind.
    Answer = false;
    Entry(menu, 1, TReaderHeaders::kOpenCaption).trigger();
    ASSERT_EQ(Asked.size(), 1u);
    EXPECT_THAT(Asked[0], ::testing::HasSubstr("\"hello.sh\" is a program or a script"));
    EXPECT_EQ(opener.Opened.size(), 2u);
    EXPECT_FALSE(FileExists(JoinPath(folder, "hello.sh")));
    Answer = true;
    Entry(menu, 1, TReaderHeaders::kOpenCaption).trigger();
    EXPECT_EQ(opener.Opened.back(), JoinPath(folder, "hello.sh"));
    EXPECT_EQ(Contents(opener.Opened.back()), kScript);

    // A reader window's menu does the same.
    TfrmExtReader& reader = Readers().ShowInReader(item, true);
    QMenu& readerMenu = *ChildNamed<QMenu>(reader, "mnuAttachments");
    Entry(readerMenu, 2, TReaderHeaders::kOpenCaption).trigger();
    EXPECT_EQ(opener.Opened.back(), JoinPath(folder, "a&b.csv"));
    EXPECT_TRUE(Failures.empty());

    // The folder goes at exit, with everything in it.
    window.reset();
    cycle.reset();
    EXPECT_FALSE(fs::exists(folder));
}

TEST_F(AttachmentActionsTest, SavingNeverReplacesAFileWithoutAsking) {
    TMailItem& item = AddItem("files", ThreeAttachments(), true);
    TfrmExtReader& reader = Readers().ShowInReader(item, true);
    QMenu& menu = *ChildNamed<QMenu>(reader, "mnuAttachments");

    // Save as: the dialog gets the safe name (and asks itself before replacing a file).
    ChosenFile = target.File("kept.pdf");
    Entry(menu, 1, TReaderHeaders::kSaveAsCaption).trigger();
    ASSERT_EQ(Suggested.size(), 1u);
    EXPECT_THAT(Suggested[0], ::testing::EndsWith("/hello.sh"));
    EXPECT_EQ(Contents(ChosenFile), kScript);
    ChosenFile.clear();  // cancelled: nothing written
    Entry(menu, 0, TReaderHeaders::kSaveAsCaption).trigger();
    EXPECT_EQ(Suggested.size(), 2u);
    EXPECT_THAT(Suggested[1], ::testing::StartsWith(target.Path() + "/"));  // the last folder

    // Save all into a folder that has one of the names already: asked, and No keeps it.
    WriteFileAtomic(target.File("a&b.csv"), "mine");
    Answer = false;
    Entry(menu, 0, TReaderHeaders::kSaveAllCaption).trigger();
    ASSERT_EQ(Asked.size(), 1u);
    EXPECT_THAT(Asked[0], ::testing::HasSubstr("\"a&b.csv\" already exists"));
    EXPECT_EQ(Contents(target.File("a&b.csv")), "mine");
    EXPECT_EQ(Contents(target.File("report.pdf")), kReport);
    EXPECT_EQ(Contents(target.File("hello.sh")), kScript);
    EXPECT_FALSE(fs::exists(target.File("bin")));
    Answer = true;
    Pane().ShowItem(item);
    Entry(*Readers().MainHeaders()->mnuAttachments, 2, TReaderHeaders::kSaveAllCaption).trigger();
    EXPECT_EQ(Contents(target.File("a&b.csv")), kTable);

    // A folder that cannot be written: one report, nothing else.
    ChosenFile = target.File("missing/sub/x.pdf");
    Entry(menu, 0, TReaderHeaders::kSaveAsCaption).trigger();
    ASSERT_EQ(Failures.size(), 1u);
    EXPECT_THAT(Failures[0], ::testing::HasSubstr("missing/sub/x.pdf"));
}

}  // namespace
}  // namespace quobel::testing
