#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>

#include "bar/skin_cuts.h"
#include "bar/skin_fixture.h"
#include "core/ini_file.h"
#include "cycle/msg_list_controller.h"
#include "platform/screen_edge_shell_memory.h"
#include "store/mail_box.h"
#include "store/mail_item.h"
#include "ui/app/mail_cycle.h"
#include "ui/tickerbar/bar_owner.h"
#include "ui_fixture.h"

namespace quobel::testing {
namespace {

// The bar as the running program has it: the main window's Bar command, the check cycle's
// calls and the bar's commands reaching the controller.
class BarOwner : public ::testing::Test, public WindowFixture {
  protected:
    void SetUp() override {
        test::WriteSoundSkin(folder.File("skins"), "Sound");
        context.Skins.LoadFromFolder(folder.File("skins"));
        window = std::make_unique<TfrmMsgList>(context, tasks, opener);
        window->FormCreate();
        cycle = std::make_unique<TMailCycle>(context, *window, tasks);
        cycle->Start();
        cycle->Bar().ShellFactory = [](QWidget&, std::function<void()>, std::function<void(bool)>) {
            return std::make_unique<TScreenEdgeShellMemory>(800, 600);
        };
    }
    // As at exit: the window saves through the cycle, then the cycle goes.
    void TearDown() override {
        window.reset();
        cycle.reset();
    }

    TMailBox& Inbox() { return *cycle->Controller().Inbox; }
    TfrmBar* Bar() { return cycle->Bar().Bar(); }

    std::unique_ptr<TfrmMsgList> window;
    std::unique_ptr<TMailCycle> cycle;
};

TEST_F(BarOwner, OpensAtStartAndFollowsTheBarCommand) {
    cycle->OpenBar();  // "Bar"/"Visible" defaults to true
    ASSERT_NE(Bar(), nullptr);
    EXPECT_TRUE(window->Command(TCommandId::Bar).isChecked());
    EXPECT_TRUE(Bar()->isVisible());
    EXPECT_EQ(Bar()->MailBox, &Inbox());
    EXPECT_EQ(Bar()->Skin(), &context.Skins.Items(0));
    EXPECT_EQ(Bar()->height(), 20);

    // The drop-downs look pressed while the main window is shown.
    const TSkin& skin = *Bar()->Skin();
    const TSkinCut pressed = ArrowCut(skin, TArrowPart::Dropdown, TPartState::Pressed, 26);
    const auto leftDropdown = [this] {
        for (const TSkinCut& cut : Bar()->Layout().Parts) {
            if (cut.DestX == 26 && cut.Image == TSkinImage::Arrows) {
                return cut;
            }
        }
        return TSkinCut{};
    };
    window->show();
    EXPECT_EQ(leftDropdown(), pressed);
    window->hide();
    EXPECT_EQ(leftDropdown(), ArrowCut(skin, TArrowPart::Dropdown, TPartState::Normal, 26));

    // Unchecking the command closes the bar, which frees itself.
    window->Command(TCommandId::Bar).trigger();
    EXPECT_EQ(Bar(), nullptr);
    EXPECT_FALSE(window->Command(TCommandId::Bar).isChecked());
    QCoreApplication::processEvents();

    // Its own Hide command unchecks the main window's command.
    window->Command(TCommandId::Bar).trigger();
    ASSERT_NE(Bar(), nullptr);
    Bar()->actHide->trigger();
    EXPECT_EQ(Bar(), nullptr);
    EXPECT_FALSE(window->Command(TCommandId::Bar).isChecked());

    // The main window closing remembers whether the bar was open.
    window->Command(TCommandId::Bar).trigger();
    window->close();
    EXPECT_EQ(Bar(), nullptr);
    EXPECT_TRUE(TIniFile(folder.File("settings.ini")).ReadBool("Bar", "Visible", false));
}

TEST_F(BarOwner, StaysClosedWhenItWasClosedAtExit) {
    {
        OptionsScope scope(context.Options);
        scope.Ini().WriteBool("Bar", "Visible", false);
    }
    cycle->OpenBar();
    EXPECT_EQ(Bar(), nullptr);
    EXPECT_FALSE(window->Command(TCommandId::Bar).isChecked());
    window->close();
    EXPECT_FALSE(TIniFile(folder.File("settings.ini")).ReadBool("Bar", "Visible", true));
}

TEST_F(BarOwner, MarkingReadFromTheBarGoesThroughTheCheckCycle) {
    TMailItem& item = Inbox().Items.Add();
    item.CachedData.Subject = "Hello";
    Inbox().Unread = 1;
    cycle->OpenBar();
    TfrmBar& bar = *Bar();
    ASSERT_EQ(bar.Layout().Buttons.size(), 1u);

    // A right click on the message and "Mark as read".
    const QPoint at(bar.Layout().Buttons.front().X + 5, 10);
    for (const QEvent::Type type :
         {QEvent::MouseMove, QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::RightButton;
        QMouseEvent event(type, QPointF(at), QPointF(bar.mapToGlobal(at)), button,
                          type == QEvent::MouseButtonPress ? Qt::RightButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&bar, &event);
    }
    ASSERT_TRUE(bar.mnuButton->isVisible());
    bar.actMarkRead->trigger();
    bar.mnuButton->close();
    EXPECT_TRUE(item.Read);
    EXPECT_EQ(Inbox().Unread, 0);
    EXPECT_TRUE(bar.Layout().Buttons.empty());  // repainted by the cycle
}

TEST_F(BarOwner, AccountsMenuAndSkinReachTheBar) {
    cycle->OpenBar();
    context.Accounts.Add(true).Name = "Home";
    cycle->Controller().BuildAccountsMenu();
    const QList<QAction*> entries = Bar()->mnuMainCheckNow->actions();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries.at(2)->text(), QStringLiteral("Home"));

    {
        OptionsScope scope(context.Options);
        scope.Ini().WriteInteger("Bar", "ButtonWidth", 90);
    }
    cycle->Bar().ApplySkin();
    EXPECT_EQ(Bar()->ButtonWidth, 90);
    EXPECT_TRUE(context.Skins.Items(0).Loaded());
}

}  // namespace
}  // namespace quobel::testing
