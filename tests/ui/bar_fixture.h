#pragma once

#include <QApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <memory>
#include <string>
#include <vector>

#include "accounts/account.h"
#include "accounts/accounts.h"
#include "bar/skin.h"
#include "bar/skin_fixture.h"
#include "core/options.h"
#include "platform/screen_edge_shell_memory.h"
#include "store/mail_box.h"
#include "store/mail_item.h"
#include "support/temp_folder.h"
#include "ui/tickerbar/frm_bar.h"

namespace quobel::testing {

// The main window as the bar sees it: every call is recorded.
class FakeBarHost : public TBarHost {
  public:
    void OpenMessage(TMailItem& item) override {
        Calls.push_back("Open " + item.CachedData.Subject);
        item.Read = true;
    }
    void MarkMessageRead(TMailItem& item, bool notify) override {
        Calls.push_back("MarkRead " + item.CachedData.Subject + (notify ? " notify" : ""));
        item.Read = true;
        if (notify && Bar != nullptr) {
            Bar->FormPaint();
        }
    }
    void DeleteMessage(TMailItem& item) override {
        Calls.push_back("Delete " + item.CachedData.Subject);
    }
    void StartNext() override { Calls.push_back("StartNext"); }
    bool MainWindowVisible() override { return Visible; }
    void HideToTray() override { Calls.push_back(std::string("HideToTray") + StickText()); }
    void LeaveTray() override { Calls.push_back(std::string("LeaveTray") + StickText()); }
    void CheckAllAccounts() override { Calls.push_back("CheckAll"); }
    void CheckAccount(TAccount& account) override { Calls.push_back("Check " + account.Name); }
    std::vector<TAccount*> Accounts() override {
        std::vector<TAccount*> result;
        for (TAccount* account : AccountList) {
            result.push_back(account);
        }
        return result;
    }
    void ShowOptions() override { Calls.push_back("Options"); }
    void ComposeMail() override { Calls.push_back("Compose"); }
    void CloseProgram() override { Calls.push_back("Close"); }

    std::string StickText() const {
        return Bar != nullptr && Bar->AppBar().Stick ? " (stuck)" : "";
    }

    bool Visible = true;
    TfrmBar* Bar = nullptr;
    std::vector<TAccount*> AccountList;  // the accounts of the check menu
    std::vector<std::string> Calls;
};

// A bar on a private settings file and sound skin, over an Inbox held in memory, docking through
// an in-memory shell as large as the offscreen screen.
class BarFixture {
  public:
    BarFixture() : options(folder.File("settings.ini")) {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        screenWidth = screen.width();
        screenHeight = screen.height();
        skin = TSkin("Sound", test::WriteSoundSkin(folder.Path(), "Sound"));
    }

    ~BarFixture() {
        for (QWidget* popup = QApplication::activePopupWidget(); popup != nullptr;
             popup = QApplication::activePopupWidget()) {
            popup->close();
        }
    }

    // Settings as the bar reads them; call before NewBar.
    void Set(const std::string& key, int value) {
        OptionsScope scope(options);
        scope.Ini().WriteInteger("Bar", key, value);
    }

    std::unique_ptr<TfrmBar> NewBar(bool show = true) {
        auto bar = std::make_unique<TfrmBar>(
            host, options,
            [this](QWidget&, std::function<void()> workArea, std::function<void(bool)> fullScreen) {
                workAreaChanged = std::move(workArea);
                fullScreenApp = std::move(fullScreen);
                auto memory = std::make_unique<TScreenEdgeShellMemory>(screenWidth, screenHeight);
                shell = memory.get();
                return memory;
            });
        host.Bar = bar.get();
        bar->OnInformation = [this](const std::string& title, const std::string& text) {
            information.push_back(title + ": " + text);
        };
        bar->AppBar().SlideEffect = false;
        bar->MailBox = &inbox;
        bar->ApplySkin(&skin);
        if (show) {
            bar->show();
            QCoreApplication::processEvents();
        }
        return bar;
    }

    TMailItem& AddItem(const std::string& subject, bool read = false, TAccount* account = nullptr) {
        TMailItem& item = inbox.Items.Add();
        item.CachedData.Subject = subject;
        item.CachedData.From = "Ann Example";
        item.CachedData.To = "Bob, Carol";
        item.CachedData.DateStr = "12-09-2026 10:00:00";
        item.Read = read;
        item.AccountID = account != nullptr ? account->ID : std::string();
        return item;
    }

    TAccount& AddAccount(const std::string& name, uint32_t color = kNoSkinColor) {
        TAccount& account = registry.Add(true);
        account.Name = name;
        account.SkinColor = color;
        host.AccountList.push_back(&account);
        return account;
    }

    static void Mouse(TfrmBar& bar, QEvent::Type type, QPoint pos,
                      Qt::MouseButton button = Qt::NoButton,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const Qt::MouseButtons buttons =
            type == QEvent::MouseButtonPress || type == QEvent::MouseMove ? Qt::MouseButtons(button)
                                                                          : Qt::NoButton;
        QMouseEvent event(type, QPointF(pos), QPointF(bar.mapToGlobal(pos)), button, buttons,
                          modifiers);
        QApplication::sendEvent(&bar, &event);
    }
    // A press and release at the same place, after the pointer came there.
    static void Click(TfrmBar& bar, QPoint pos, Qt::MouseButton button = Qt::LeftButton) {
        Mouse(bar, QEvent::MouseMove, pos);
        Mouse(bar, QEvent::MouseButtonPress, pos, button);
        Mouse(bar, QEvent::MouseButtonRelease, pos, button);
    }
    static void Leave(TfrmBar& bar) {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&bar, &leave);
    }

    quobel::testing::TempFolder folder;
    TOptions options;
    TSkin skin;
    TAccounts registry;  // items find their accounts here by ID
    TMailBox inbox{&registry};
    FakeBarHost host;
    TScreenEdgeShellMemory* shell = nullptr;
    // What the shell reports.
    std::function<void()> workAreaChanged;
    std::function<void(bool)> fullScreenApp;
    std::vector<std::string> information;
    int screenWidth = 0;
    int screenHeight = 0;
};

}  // namespace quobel::testing
