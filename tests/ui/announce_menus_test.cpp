// "Do not disturb" in the tray icon's menu and the bar's main menu, on one settings file, and
// the bar's view of an account kept off it.
#include <gtest/gtest.h>

#include <QMenu>
#include <QWidget>

#include "bar_fixture.h"
#include "core/options.h"
#include "ui/common/command_set.h"
#include "ui/mainwindow/tray_icon.h"
#include "ui/tickerbar/bar_box_messages.h"
#include "ui/tickerbar/frm_bar.h"

namespace quobel::testing {
namespace {

class AnnounceMenus : public ::testing::Test, public BarFixture {
  protected:
    bool DoNotDisturb() {
        OptionsScope scope(options);
        return scope.Read(settings::kDoNotDisturb);
    }
    // Opens and closes a menu: what it shows is read as it opens.
    static void Open(QMenu& menu) {
        emit menu.aboutToShow();
        menu.close();
    }
};

TEST_F(AnnounceMenus, DoNotDisturbIsOneSettingInTheTrayAndTheBar) {
    QWidget window;
    const TCommandSet commands(
        window, {TCommandId::Synchronize, TCommandId::Options, TCommandId::CloseProgram});
    TTrayIcon tray(window, commands, options);
    auto bar = NewBar();
    QMenu& trayMenu = *window.findChild<QMenu*>(QStringLiteral("mnuTray"));
    QAction& trayEntry = tray.DoNotDisturbEntry();
    QAction& barEntry = bar->DoNotDisturbEntry();
    EXPECT_EQ(trayEntry.text(), QStringLiteral("Do not disturb"));
    EXPECT_TRUE(trayMenu.actions().contains(&trayEntry));
    EXPECT_TRUE(bar->Menu(TBarMenuId::Main).actions().contains(&barEntry));
    EXPECT_FALSE(trayEntry.isChecked());

    trayEntry.trigger();
    EXPECT_TRUE(DoNotDisturb());
    Open(bar->Menu(TBarMenuId::Main));
    EXPECT_TRUE(barEntry.isChecked());

    barEntry.trigger();
    EXPECT_FALSE(DoNotDisturb());
    EXPECT_TRUE(trayEntry.isChecked());  // until its menu opens again
    Open(trayMenu);
    EXPECT_FALSE(trayEntry.isChecked());
}

TEST_F(AnnounceMenus, TheTrayToolTipTellsTheUnreadCount) {
    QWidget window;
    const TCommandSet commands(
        window, {TCommandId::Synchronize, TCommandId::Options, TCommandId::CloseProgram});
    TTrayIcon tray(window, commands, options);
    const struct {
        int count;
        const char* text;
    } cases[] = {
        {0, "Quobel 2 \u2014 no unread messages"},
        {1, "Quobel 2 \u2014 1 unread message"},
        {12, "Quobel 2 \u2014 12 unread messages"},
    };
    for (const auto& c : cases) {
        tray.SetUnreadCount(c.count);
        EXPECT_EQ(tray.ToolTip(), QString::fromUtf8(c.text));
    }
}

TEST_F(AnnounceMenus, MailOfAnAccountKeptOffTheBarReadsAsReadThere) {
    TAccount& shown = AddAccount("Shown");
    TAccount& hidden = AddAccount("Hidden");
    hidden.ShowOnBar = false;
    AddItem("shown", false, &shown);
    AddItem("hidden", false, &hidden);
    AddItem("no account", false);
    AddItem("read", true, &shown);
    const TBoxBarMessages messages(inbox.Items);
    EXPECT_FALSE(messages.Read(0));
    EXPECT_TRUE(messages.Read(1));
    EXPECT_FALSE(messages.Read(2));
    EXPECT_TRUE(messages.Read(3));
}

}  // namespace
}  // namespace quobel::testing
