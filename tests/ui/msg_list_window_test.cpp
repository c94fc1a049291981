#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QSplitter>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

#include "core/file_util.h"
#include "core/ini_file.h"
#include "store/mail_box.h"
#include "store/mail_item.h"
#include "ui/mainwindow/height_split.h"
#include "ui/mainwindow/list_header.h"
#include "ui_fixture.h"

namespace quobel::testing {
namespace {

class MainWindow : public ::testing::Test, public WindowFixture {
  protected:
    std::string LayoutFile() const { return folder.File("listhdrs.dat"); }
};

void ClickHeader(TfrmMsgList& window, int column, Qt::MouseButton button) {
    QHeaderView* header = window.tvMailBox->header();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    if (button == Qt::RightButton) {
        // The right button opens the column menu; close it once it is up.
        QTimer::singleShot(50, [] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                popup->close();
            }
        });
    }
    QTest::mouseClick(header->viewport(), button, {}, at);
}

TEST_F(MainWindow, HeaderClicksSortWithTheLeftButtonOnly) {
    auto window = NewWindow();
    window->show();
    QCoreApplication::processEvents();
    const TMessageListModel& model = window->Messages();
    ASSERT_EQ(model.SortColumn(), kColDate);

    ClickHeader(*window, kColDate, Qt::LeftButton);
    EXPECT_EQ(model.SortColumn(), kColDate);
    EXPECT_EQ(model.SortDirection(), TSortDirection::Descending);

    ClickHeader(*window, kColSubject, Qt::RightButton);
    EXPECT_EQ(model.SortColumn(), kColDate);
    EXPECT_EQ(model.SortDirection(), TSortDirection::Descending);

    ClickHeader(*window, kColSubject, Qt::LeftButton);
    EXPECT_EQ(model.SortColumn(), kColSubject);
    EXPECT_EQ(model.SortDirection(), TSortDirection::Ascending);
    EXPECT_EQ(window->tvMailBox->header()->sortIndicatorSection(), kColSubject);
}

TEST_F(MainWindow, FirstRunWritesTheDesignLayout) {
    NewWindow().reset();
    const TIniFile ini(LayoutFile());
    EXPECT_EQ(ini.ReadInteger("General", "SortColumn", -2), 5);
    EXPECT_EQ(ini.ReadInteger("General", "SortDirection", -2), 0);
    const int width[] = {-1, -1, -1, 100, 225, 125, 100, 150, 100, -1};
    const int position[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0};
    const int visible[] = {1, 1, 1, 1, 1, 1, 0, 0, 1, 1};
    for (int i = 0; i < 10; ++i) {
        const std::string section = std::to_string(i);
        EXPECT_EQ(ini.ReadInteger(section, "Width", -1), width[i]) << i;  // image columns: none
        EXPECT_EQ(ini.ReadInteger(section, "Position", -1), position[i]) << i;
        EXPECT_EQ(ini.ReadInteger(section, "Visible", -1), visible[i]) << i;
    }
}

TEST_F(MainWindow, ColumnLayoutSurvivesARestart) {
    TListLayout saved;
    {
        auto window = NewWindow();
        QHeaderView* header = window->tvMailBox->header();
        window->ShowColumn(kColSize, false);
        window->ShowColumn(kColAccount, true);
        header->resizeSection(kColSubject, 310);
        header->moveSection(header->visualIndex(kColDate), 1);
        window->HeaderClick(kColFrom, TMouseButton::Left);
        window->HeaderClick(kColFrom, TMouseButton::Left);
        saved = window->Layout();
    }
    EXPECT_EQ(TIniFile(LayoutFile()).ReadInteger("8", "Visible", -1), 0);

    auto window = NewWindow();
    const TListLayout& loaded = window->Layout();
    EXPECT_EQ(loaded.SortColumn, kColFrom);
    EXPECT_EQ(loaded.SortDirection, TSortDirection::Descending);
    EXPECT_EQ(window->Messages().SortDirection(), TSortDirection::Descending);
    ASSERT_EQ(loaded.Columns.size(), saved.Columns.size());
    for (size_t i = 0; i < saved.Columns.size(); ++i) {
        EXPECT_EQ(loaded.Columns[i].Visible, saved.Columns[i].Visible) << i;
        EXPECT_EQ(loaded.Columns[i].Width, saved.Columns[i].Width) << i;
        EXPECT_EQ(loaded.Columns[i].Position, saved.Columns[i].Position) << i;
    }
    EXPECT_EQ(loaded.Columns[kColSubject].Width, 310);
    EXPECT_EQ(loaded.Columns[kColDate].Position, 1);
    EXPECT_TRUE(window->tvMailBox->header()->isSectionHidden(kColSize));
}

TEST_F(MainWindow, LayoutFileOfAnOlderFormatIsReplaced) {
    WriteFileAtomic(LayoutFile(), "SortColumn=3\r\n");
    {
        auto window = NewWindow();
        const TListLayout& layout = window->Layout();
        const TListLayout design = MessageListDesignLayout();
        EXPECT_EQ(layout.SortColumn, design.SortColumn);
        EXPECT_EQ(layout.Columns[kColHand].Position, 1);
    }
    std::string contents;
    ASSERT_TRUE(ReadWholeFile(LayoutFile(), contents));
    EXPECT_EQ(contents.front(), '[');
}

TEST(HeightSplit, ReaderTakesHalfOfEachChangeCarryingTheOddPixel) {
    THeightSplit split;
    EXPECT_EQ(split.Resize(500), 0);  // the first resize only records the height
    EXPECT_EQ(split.Resize(505), 2);
    EXPECT_EQ(split.Resize(510), 3);
    EXPECT_EQ(split.Resize(507), -1);
    EXPECT_EQ(split.Resize(504), -2);
}

TEST_F(MainWindow, GrowingTheWindowGrowsTheReaderByHalf) {
    auto window = NewWindow();
    window->show();
    QCoreApplication::processEvents();
    const int before = window->ReaderHeight();
    window->resize(window->width(), window->height() + 5);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->ReaderHeight(), before + 2);
    window->resize(window->width(), window->height() + 5);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->ReaderHeight(), before + 5);
    EXPECT_EQ(window->spltReader->sizes().value(1), before + 5);
}

TEST_F(MainWindow, PreviewAndContactsTogglesAreStored) {
    {
        auto window = NewWindow();
        EXPECT_TRUE(window->actPreview->isChecked());
        window->actPreview->trigger();
        EXPECT_TRUE(window->pnlReader->isHidden());
    }
    {
        OptionsScope scope(context.Options);
        EXPECT_FALSE(scope.Ini().ReadBool("View", "Preview", true));
        EXPECT_TRUE(scope.Ini().ReadBool("View", "Contacts", false));
        EXPECT_EQ(scope.Ini().ReadInteger("View", "ReaderHeight", -1), 196);
    }
    auto window = NewWindow();
    EXPECT_FALSE(window->actPreview->isChecked());
    EXPECT_TRUE(window->pnlReader->isHidden());
    EXPECT_FALSE(window->tvContacts->isHidden());
}

TEST_F(MainWindow, TrayStates) {
    auto window = NewWindow();
    window->TrayAvailable = [] { return true; };
    window->show();
    QCoreApplication::processEvents();

    window->actHide->trigger();
    EXPECT_TRUE(window->InTray());
    EXPECT_FALSE(window->isVisible());
    window->HideToTray();  // already there: nothing
    EXPECT_TRUE(window->InTray());

    window->SecondInstance();  // a later start brings it back
    EXPECT_FALSE(window->InTray());
    EXPECT_TRUE(window->isVisible());
    window->SecondInstance();  // a shown window stays as it is
    EXPECT_FALSE(window->InTray());
    EXPECT_TRUE(window->isVisible());

    window->setWindowState(Qt::WindowMinimized);  // minimising hides to the tray
    QTRY_VERIFY_WITH_TIMEOUT(window->InTray(), 2000);
    window->mnuTrayOpen->trigger();
    EXPECT_FALSE(window->InTray());
    EXPECT_FALSE(window->isMinimized());

    // Without a status area the window minimises instead of vanishing.
    window->TrayAvailable = [] { return false; };
    window->actHide->trigger();
    EXPECT_FALSE(window->InTray());
    EXPECT_TRUE(window->isMinimized());
    window->SecondInstance();
    EXPECT_FALSE(window->isMinimized());
}

TEST_F(MainWindow, HintsAndHelp) {
    auto window = NewWindow();
    EXPECT_EQ(window->actSynchronize->statusTip(), "Check for new email");
    EXPECT_EQ(window->actSynchronize->toolTip(), "Send and receive");
    EXPECT_EQ(window->actHide->statusTip(), "Hide Quobel to the system tray");
    EXPECT_FALSE(window->actDelete->isEnabled());
    EXPECT_EQ(window->mnuTray->defaultAction(), window->mnuTrayOpen);
    window->actHelpContents->trigger();
    ASSERT_EQ(opener.Opened.size(), 1u);
    EXPECT_EQ(opener.Opened[0], folder.File("Quobel.html"));
    window->SetStatusText("2|Checking for new mail...");
    EXPECT_EQ(window->StatusText(), "2|Checking for new mail...");
    EXPECT_TRUE(window->sbHint->text().isEmpty());
    // The long hint of what is under the mouse goes to panel 0, not over the task status.
    QStatusTipEvent tip(window->actHide->statusTip());
    QCoreApplication::sendEvent(window.get(), &tip);
    EXPECT_EQ(window->sbHint->text(), "Hide Quobel to the system tray");
    EXPECT_EQ(window->StatusText(), "2|Checking for new mail...");
}

}  // namespace
}  // namespace quobel::testing

namespace quobel::testing {
namespace {

TEST_F(MainWindow, PlacementIsKeptInSectionMsgList) {
    {
        auto window = NewWindow();
        window->setGeometry(40, 50, 640, 480);
    }
    {
        OptionsScope scope(context.Options);
        EXPECT_EQ(scope.Ini().ReadInteger("MsgList", "State", -1), 0);
        EXPECT_EQ(scope.Ini().ReadInteger("MsgList", "Width", -1), 640);
        EXPECT_EQ(scope.Ini().ReadInteger("MsgList", "Height", -1), 480);
    }
    auto window = NewWindow();
    EXPECT_EQ(window->geometry(), QRect(40, 50, 640, 480));
}

}  // namespace
}  // namespace quobel::testing

namespace quobel::testing {
namespace {

TEST_F(MainWindow, StartUpCreatesAndListsTheInbox) {
    {
        TMailBoxes boxes;
        TMailBox& inbox = boxes.OpenStore(folder.File("mailbox"));
        inbox.EnsureLoaded();
        for (const char* subject : {"First", "Second"}) {
            TMailItem& item = inbox.Items.Add();
            item.CachedData.Subject = subject;
            item.CachedData.Date = subject[0] == 'F' ? 2.0 : 1.0;
            item.Folder = inbox.Path;
            item.UIDL = subject;
            item.Cache = subject;
            item.Changed();
        }
        inbox.SaveTable();
    }
    TfrmMsgList window(context, tasks, opener);
    window.FormCreate();
    ASSERT_EQ(window.Folders().Count(), 1);
    ASSERT_NE(window.CurrentBox, nullptr);
    EXPECT_EQ(window.CurrentBox->Name, "Inbox");
    EXPECT_EQ(window.lblBoxName->text(), "Inbox");
    ASSERT_EQ(window.Messages().Count(), 2);
    // Sorted by date ascending, the newest (last) row is focused.
    EXPECT_EQ(window.Messages().data(window.Messages().index(0, kColSubject), Qt::DisplayRole),
              "Second");
    EXPECT_EQ(window.FocusedRow(), RowKeyOf(window.CurrentBox->Items.KeyAt(0)));
}

TEST_F(MainWindow, AFreshDataFolderGetsAnInbox) {
    NewWindow().reset();
    EXPECT_TRUE(FileExists(folder.File("mailbox/Inbox/box.bsf")));
    EXPECT_TRUE(FolderExists(folder.File("accounts")));
}

}  // namespace
}  // namespace quobel::testing
