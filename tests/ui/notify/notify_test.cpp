// New mail announced on a private session bus, with the real windows and check cycle against
// the test's Dovecot: the notifications a recording notification service receives, its users'
// clicks, and Quobel's own D-Bus interface as a script calls it with gdbus.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <atomic>
#include <filesystem>
#include <memory>
#include <string>

#include "accounts/account_passwords.h"
#include "core/digest.h"
#include "core/options.h"
#include "cycle/inbox_queries.h"
#include "dovecot_helper/dovecot.h"
#include "private_bus.h"
#include "store/mail_box.h"
#include "store/mail_item.h"
#include "support/temp_folder.h"
#include "ui/app/desktop_bus.h"
#include "ui/app/mail_cycle.h"
#include "ui/app/quobel_context.h"
#include "ui/common/qt_text.h"
#include "ui/mainwindow/frm_msg_list.h"
#include "ui/mainwindow/mail_rows.h"
#include "ui/mainwindow/tray_icon.h"
#include "ui/tasks/frm_tasks.h"
#include "ui_fixture.h"

namespace quobel::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr int kWaitMs = 30000;

std::string Message(const std::string& sender, const std::string& subject, int minute) {
    return "From: \"" + sender + "\" <x@example.org>\r\nTo: me@example.org\r\nSubject: " + subject +
           "\r\nDate: Tue, 01 Dec 2026 10:" + (minute < 10 ? "0" : "") + std::to_string(minute) +
           ":00 +0000\r\n\r\nBody\r\n";
}

// One bus for the whole program: a daemon per test would cost a second each.
PrivateBus& Bus() {
    static PrivateBus bus;
    return bus;
}

QString UniqueName(const char* what) {
    static std::atomic<int> counter{0};
    return QStringLiteral("%1-%2").arg(QLatin1String(what)).arg(++counter);
}

// The running program's windows and check cycle on a private data folder and the private bus,
// with accounts on the test's Dovecot.
class NotifyTest : public ::testing::Test {
  protected:
    NotifyTest()
        : context(TApp(folder.Path(), folder.Path())),
          tasks(context.Options),
          appBus(Bus().Connect(UniqueName("app"))),
          serverBus(Bus().Connect(UniqueName("server"))) {
        window = std::make_unique<TfrmMsgList>(context, tasks, opener);
        cycle = std::make_unique<TMailCycle>(context, *window, tasks);
        window->FormCreate();
        cycle->Start();
        Inbox = context.MailBoxes.FindByType(0);
        cycle->Controller().TaskConnector = {};
    }

    ~NotifyTest() override {
        desktopBus.reset();
        if (serving) {
            serverBus.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
            serverBus.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
        }
        window.reset();
        cycle.reset();
        QDBusConnection::disconnectFromBus(appBus.name());
        QDBusConnection::disconnectFromBus(serverBus.name());
    }

    // The notification service on the bus, then Quobel's side of it.
    void Start(bool withService = true) {
        if (withService) {
            ASSERT_TRUE(serverBus.registerObject(
                QStringLiteral("/org/freedesktop/Notifications"), &server,
                QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
            ASSERT_TRUE(serverBus.registerService(QStringLiteral("org.freedesktop.Notifications")));
            serving = true;
        }
        desktopBus = std::make_unique<TDesktopBus>(*cycle, context, appBus);
    }

    TAccount& AddAccount(const std::string& name, const std::string& user) {
        TAccount& account = context.Accounts.Add(false);
        account.ID = Md5Hex(name);
        account.Name = name;
        account.Synchronize = true;
        account.POP.Host = Dovecot().Host;
        account.POP.Port = Dovecot().Pop3Port;
        account.POP.Username = user;
        account.POP.Password = "pw";
        return account;
    }

    // Checks every account with the main window's command and waits for the notifications.
    void CheckMail(size_t notesExpected) {
        window->Command(TCommandId::Synchronize).trigger();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return cycle->Tasks().Count() == 0 && server.Notes.size() >= notesExpected; },
            kWaitMs));
        QTest::qWait(100);  // nothing more is on its way
    }

    TMailItem* ItemWithSubject(const std::string& subject) {
        for (size_t i = 0; i < Inbox->Items.Count(); ++i) {
            if (Inbox->Items.Items(i).CachedData.Subject == subject) {
                return &Inbox->Items.Items(i);
            }
        }
        return nullptr;
    }

    void SetSetting(const TSettingKey<bool>& key, bool value) {
        OptionsScope scope(context.Options);
        scope.Write(key, value);
    }
    void SetSetting(const TSettingKey<int32_t>& key, int32_t value) {
        OptionsScope scope(context.Options);
        scope.Write(key, value);
    }

    TempFolder folder;
    TQuobelContext context;
    TfrmTasks tasks;
    RecordingOpener opener;
    std::unique_ptr<TfrmMsgList> window;
    std::unique_ptr<TMailCycle> cycle;
    TMailBox* Inbox = nullptr;
    QDBusConnection appBus;
    QDBusConnection serverBus;
    RecordingNotifications server;
    bool serving = false;
    std::unique_ptr<TDesktopBus> desktopBus;
};

// The test's bus has no keyring: saving the accounts after a check also logs, once, that passwords
// stay in the account files. The other entries are what these tests look at.
std::vector<std::string> LoggedBesidesKeyring(const TErrors& errors) {
    std::vector<std::string> messages;
    for (size_t i = 0; i < errors.Count(); ++i) {
        if (errors.Items(i).Message != kKeyringUnavailable) {
            messages.push_back(errors.Items(i).Message);
        }
    }
    return messages;
}

TEST_F(NotifyTest, OneNotificationPerAccountThatTheNextCheckReplaces) {
    const std::string work = CreateMailUser("ntwork", "pw");
    const std::string home = CreateMailUser("nthome", "pw");
    PutMessage(work, "w1", Message("Ann", "Budget", 1));
    PutMessage(work, "w2", Message("Bob", "Tom & Jerry <b>", 2));
    PutMessage(work, "w3", Message("Cy", "Minutes", 3));
    PutMessage(home, "h1", Message("Mum", "Sunday", 4));
    AddAccount("Work", work);
    AddAccount("Home", home);
    Start();
    CheckMail(2);

    ASSERT_EQ(server.Notes.size(), 2u);
    const RecordingNotifications::Shown workNote = server.Notes[0];
    EXPECT_EQ(workNote.AppName, QStringLiteral("Quobel"));
    EXPECT_EQ(workNote.Replaces, 0u);
    EXPECT_EQ(workNote.Summary, QStringLiteral("3 new messages \u2014 Work"));
    // Newest first, escaped for a service that reads markup.
    EXPECT_EQ(workNote.Body,
              QStringLiteral("Cy: Minutes\nBob: Tom &amp; Jerry &lt;b&gt;\nAnn: Budget"));
    EXPECT_EQ(workNote.Hints.value(QStringLiteral("desktop-entry")).toString(),
              QStringLiteral("org.quobel.Quobel"));
    EXPECT_EQ(workNote.Hints.value(QStringLiteral("category")).toString(),
              QStringLiteral("email.arrived"));
    EXPECT_EQ(workNote.Hints.value(QStringLiteral("urgency")).toInt(), 1);
    EXPECT_EQ(workNote.Actions,
              (QStringList{QStringLiteral("default"), QStringLiteral("Open"),
                           QStringLiteral("mark-read"), QStringLiteral("Mark as read"),
                           QStringLiteral("delete"), QStringLiteral("Delete")}));
    // A single message is announced by its subject.
    EXPECT_EQ(server.Notes[1].Summary, QStringLiteral("Sunday"));
    EXPECT_EQ(server.Notes[1].Body, QStringLiteral("Mum: Sunday"));

    // The next check of Work replaces its notification, which goes on announcing the unread.
    PutMessage(work, "w4", Message("Dee", "Late", 5));
    CheckMail(3);
    ASSERT_EQ(server.Notes.size(), 3u);
    EXPECT_EQ(server.Notes[2].Replaces, workNote.Id);
    EXPECT_EQ(server.Notes[2].Summary, QStringLiteral("4 new messages \u2014 Work"));
    EXPECT_TRUE(server.Closed.empty());
    EXPECT_THAT(LoggedBesidesKeyring(context.Errors), ::testing::IsEmpty());
}

TEST_F(NotifyTest, WhatTheServiceCannotShowIsLeftOut) {
    const std::string user = CreateMailUser("ntplain", "pw");
    PutMessage(user, "p1", Message("Ann", "A <b>", 1));
    PutMessage(user, "p2", Message("Bob", "B & C", 2));
    AddAccount("Plain", user);
    server.Capabilities = {QStringLiteral("body")};
    Start();
    CheckMail(1);
    ASSERT_EQ(server.Notes.size(), 1u);
    EXPECT_EQ(server.Notes[0].Body, QStringLiteral("Bob: B & C\nAnn: A <b>"));
    EXPECT_TRUE(server.Notes[0].Actions.isEmpty());
}

TEST_F(NotifyTest, OnePerMessageUpToFiveAndTheRestSummarised) {
    const std::string user = CreateMailUser("ntmany", "pw");
    for (int n = 1; n <= 7; ++n) {
        PutMessage(user, "m" + std::to_string(n), Message("S", "Subject " + std::to_string(n), n));
    }
    AddAccount("Many", user);
    SetSetting(settings::kNotifyMode, 2);
    Start();
    CheckMail(6);
    ASSERT_EQ(server.Notes.size(), 6u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(server.Notes[i].Summary, QStringLiteral("Subject %1").arg(7 - i));
    }
    EXPECT_EQ(server.Notes[5].Summary, QStringLiteral("2 more new messages \u2014 Many"));
    EXPECT_EQ(server.Notes[5].Body, QStringLiteral("S: Subject 2\nS: Subject 1"));
}

TEST_F(NotifyTest, MarkAsReadMarksExactlyTheAnnouncedMessages) {
    const std::string user = CreateMailUser("ntmark", "pw");
    PutMessage(user, "k1", Message("Old", "Earlier", 1));
    AddAccount("Mark", user);
    SetSetting(settings::kNotifyMode, 0);  // the first check announces nothing
    Start();
    window->Command(TCommandId::Synchronize).trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return cycle->Tasks().Count() == 0; }, kWaitMs));
    ASSERT_EQ(Inbox->Unread, 1);
    ASSERT_TRUE(server.Notes.empty());

    SetSetting(settings::kNotifyMode, 1);
    PutMessage(user, "k2", Message("New", "Fresh one", 2));
    PutMessage(user, "k3", Message("New", "Fresh two", 3));
    CheckMail(1);
    ASSERT_EQ(server.Notes.size(), 1u);
    ASSERT_EQ(Inbox->Unread, 3);
    server.Click(server.Notes[0].Id, QStringLiteral("mark-read"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Inbox->Unread == 1; }, kWaitMs));
    EXPECT_FALSE(ItemWithSubject("Earlier")->Read);
    EXPECT_TRUE(ItemWithSubject("Fresh one")->Read);
    EXPECT_TRUE(ItemWithSubject("Fresh two")->Read);
    // Its messages are read: the notification goes.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.Closed.empty(); }, kWaitMs));
    EXPECT_THAT(server.Closed, ElementsAre(server.Notes[0].Id));
    EXPECT_EQ(window->Tray().ToolTip(), QStringLiteral("Quobel 2 \u2014 1 unread message"));
}

// Whether the server still holds a message: its file in the user's Maildir, read or not.
bool OnServer(const std::string& user, const std::string& uniqueId) {
    const std::string maildir = JoinPath(JoinPath(Dovecot().MailRoot, user), "Maildir");
    for (const char* part : {"new", "cur"}) {
        for (const auto& entry : std::filesystem::directory_iterator(JoinPath(maildir, part))) {
            if (entry.path().filename().string().starts_with(uniqueId)) {
                return true;
            }
        }
    }
    return false;
}

TEST_F(NotifyTest, DeleteDeletesExactlyTheAnnouncedMessagesOnTheServer) {
    const std::string user = CreateMailUser("ntdel", "pw");
    PutMessage(user, "d1", Message("Old", "Earlier", 1));
    AddAccount("Del", user);
    SetSetting(settings::kNotifyMode, 0);  // the first check announces nothing
    // The Delete command's own rule: with the confirmation switched off nothing is asked.
    SetSetting(settings::kConfirmDelete, false);
    Start();
    window->Command(TCommandId::Synchronize).trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return cycle->Tasks().Count() == 0; }, kWaitMs));

    SetSetting(settings::kNotifyMode, 1);
    PutMessage(user, "d2", Message("New", "Fresh one", 2));
    PutMessage(user, "d3", Message("New", "Fresh two", 3));
    CheckMail(1);
    ASSERT_EQ(server.Notes.size(), 1u);
    server.Click(server.Notes[0].Id, QStringLiteral("delete"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return cycle->Tasks().Count() == 0 && ItemWithSubject("Fresh one") == nullptr &&
                   ItemWithSubject("Fresh two") == nullptr;
        },
        kWaitMs));
    EXPECT_NE(ItemWithSubject("Earlier"), nullptr);
    EXPECT_TRUE(OnServer(user, "d1"));
    EXPECT_FALSE(OnServer(user, "d2"));
    EXPECT_FALSE(OnServer(user, "d3"));
    EXPECT_THAT(LoggedBesidesKeyring(context.Errors), ::testing::IsEmpty());
}

TEST_F(NotifyTest, TheClickShowsTheNewestMessageInTheMainWindow) {
    const std::string user = CreateMailUser("ntclick", "pw");
    PutMessage(user, "c1", Message("Ann", "First", 1));
    PutMessage(user, "c2", Message("Bob", "Second", 2));
    AddAccount("Click", user);
    Start();
    CheckMail(1);
    window->hide();
    server.Click(server.Notes[0].Id, QStringLiteral("default"));
    TMailItem* newest = ItemWithSubject("Second");
    ASSERT_NE(newest, nullptr);
    const TRowKey row = RowKeyOf(TMailItems::KeyOf(*newest));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->FocusedRow() == row; }, kWaitMs));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->CurrentBox, Inbox);
}

TEST_F(NotifyTest, ReadingTheMessagesInTheWindowClosesTheirNotification) {
    const std::string user = CreateMailUser("ntread", "pw");
    PutMessage(user, "r1", Message("Ann", "Only", 1));
    AddAccount("Read", user);
    Start();
    CheckMail(1);
    window->CurrentBox = Inbox;
    window->Command(TCommandId::BoxMessages).trigger();
    window->FocusRow(RowKeyOf(TMailItems::KeyOf(*ItemWithSubject("Only"))));
    window->Command(TCommandId::MarkRead).trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.Closed.empty(); }, kWaitMs));
    EXPECT_THAT(server.Closed, ElementsAre(server.Notes[0].Id));
}

TEST_F(NotifyTest, QuietHoursAcrossMidnightAndDoNotDisturbAnnounceQuietly) {
    struct Case {
        const char* name;
        bool quietHours;
        int32_t now;
        bool doNotDisturb;
        bool quiet;
    };
    const Case cases[] = {
        {"before midnight", true, 23 * 60, false, true},
        {"after midnight", true, 2 * 60, false, true},
        {"in the day", true, 12 * 60, false, false},
        {"do not disturb", false, 12 * 60, true, true},
    };
    const std::string user = CreateMailUser("ntquiet", "pw");
    AddAccount("Quiet", user);
    SetSetting(settings::kQuietFrom, 22 * 60);
    SetSetting(settings::kQuietTo, 7 * 60);
    SetSetting(settings::kNotifyMode, 2);
    Start();
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetSetting(settings::kQuietHours, c.quietHours);
        SetSetting(settings::kDoNotDisturb, c.doNotDisturb);
        cycle->Controller().MinuteNow = [now = c.now] { return now; };
        ++n;
        PutMessage(user, "q" + std::to_string(n), Message("Q", c.name, n));
        CheckMail(static_cast<size_t>(n));
        ASSERT_EQ(server.Notes.size(), static_cast<size_t>(n));
        const QVariantMap& hints = server.Notes.back().Hints;
        EXPECT_EQ(hints.value(QStringLiteral("urgency")).toInt(), c.quiet ? 0 : 1);
        EXPECT_EQ(hints.value(QStringLiteral("suppress-sound")).toBool(), c.quiet);
    }
}

TEST_F(NotifyTest, AnAccountNotAnnouncedRaisesNone) {
    const std::string user = CreateMailUser("ntmute", "pw");
    PutMessage(user, "u1", Message("Ann", "Muted", 1));
    AddAccount("Mute", user).Announce = false;
    Start();
    window->Command(TCommandId::Synchronize).trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return cycle->Tasks().Count() == 0; }, kWaitMs));
    QTest::qWait(300);
    EXPECT_EQ(Inbox->Unread, 1);
    EXPECT_TRUE(server.Notes.empty());
}

TEST_F(NotifyTest, WithoutANotificationServiceMailStillArrivesAndOneErrorIsLogged) {
    const std::string user = CreateMailUser("ntnone", "pw");
    PutMessage(user, "n1", Message("Ann", "Nobody listens", 1));
    AddAccount("None", user);
    Start(false);
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        if (round == 2) {
            PutMessage(user, "n2", Message("Bob", "Still nobody", 2));
        }
        window->Command(TCommandId::Synchronize).trigger();
        ASSERT_TRUE(QTest::qWaitFor([&] { return cycle->Tasks().Count() == 0; }, kWaitMs));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return LoggedBesidesKeyring(context.Errors).size() == 1; }, kWaitMs));
        QTest::qWait(300);
        EXPECT_EQ(Inbox->Unread, round);
        EXPECT_THAT(LoggedBesidesKeyring(context.Errors),
                    ::testing::ElementsAre("Could not show a desktop notification!"));
    }
}

// --- the D-Bus interface, as a script uses it -----------------------------------------------

struct CallResult {
    int ExitCode = -1;
    QString Out;
    QString Err;
};

class BusInterfaceTest : public NotifyTest {
  protected:
    // gdbus on the private bus; the event loop runs meanwhile, so that Quobel can answer.
    CallResult Gdbus(QStringList arguments) {
        QProcess process;
        arguments.insert(1, QStringLiteral("--address"));
        arguments.insert(2, Bus().Address);
        process.start(QStringLiteral("gdbus"), arguments);
        EXPECT_TRUE(process.waitForStarted(10000)) << "gdbus (package libglib2.0-bin)";
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, kWaitMs));
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()).trimmed(),
                QString::fromUtf8(process.readAllStandardError()).trimmed()};
    }
    CallResult Call(const QString& method, const QStringList& arguments = {}) {
        QStringList all{QStringLiteral("call"),
                        QStringLiteral("--dest"),
                        QStringLiteral("org.quobel.Quobel"),
                        QStringLiteral("--object-path"),
                        QStringLiteral("/org/quobel/Quobel"),
                        QStringLiteral("--method"),
                        QStringLiteral("org.quobel.Quobel1.") + method};
        return Gdbus(all + arguments);
    }
};

TEST_F(BusInterfaceTest, EveryMethodAndSignalAsAScriptCallsThem) {
    const std::string user = CreateMailUser("ntbus", "pw");
    PutMessage(user, "b1", Message("Ann", "Older", 1));
    PutMessage(user, "b2", Message("Bob", "Newer", 2));
    TAccount& account = AddAccount("Bus", user);
    Start();
    ASSERT_TRUE(desktopBus->ServiceRegistered());

    // The signals, as a script watches them.
    QProcess monitor;
    monitor.start(QStringLiteral("gdbus"),
                  {QStringLiteral("monitor"), QStringLiteral("--address"), Bus().Address,
                   QStringLiteral("--dest"), QStringLiteral("org.quobel.Quobel")});
    ASSERT_TRUE(monitor.waitForStarted(10000));
    QString watched;
    const auto watch = [&] {
        watched += QString::fromUtf8(monitor.readAllStandardOutput());
        return watched;
    };
    // It says whom it watches once it has subscribed.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return watch().contains(QStringLiteral("owned by")); }, kWaitMs));

    EXPECT_EQ(Call(QStringLiteral("UnreadCount")).Out, QStringLiteral("(uint32 0,)"));
    CallResult check = Call(QStringLiteral("CheckMail"), {Q(account.ID)});
    EXPECT_EQ(check.Out, QStringLiteral("(true,)")) << check.Err.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return cycle->Tasks().Count() == 0 && Inbox->Unread == 2; },
                                kWaitMs));
    EXPECT_EQ(Call(QStringLiteral("UnreadCount")).Out, QStringLiteral("(uint32 2,)"));

    const TMailItem& newer = *ItemWithSubject("Newer");
    const TMailItem& older = *ItemWithSubject("Older");
    const QString newerKey = Q(MessageKeyOf(newer));
    const QString olderKey = Q(MessageKeyOf(older));
    const CallResult unread = Call(QStringLiteral("GetUnread"));
    EXPECT_EQ(unread.Out, QStringLiteral("([('%1', 'Bus', 'Bob', 'Newer', '2026-12-01T10:02:00'), "
                                         "('%2', 'Bus', 'Ann', 'Older', '2026-12-01T10:01:00')],)")
                              .arg(newerKey, olderKey))
        << unread.Err.toStdString();

    // An unknown key among known ones: a clear error, and nothing is marked.
    const CallResult unknownKey =
        Call(QStringLiteral("MarkRead"), {QStringLiteral("['%1', 'no-such-key']").arg(olderKey)});
    EXPECT_NE(unknownKey.ExitCode, 0);
    EXPECT_THAT(unknownKey.Err.toStdString(),
                HasSubstr("org.quobel.Quobel1.Error.UnknownMessage: There is no message with the "
                          "key \"no-such-key\" in the Inbox; nothing was marked."));
    EXPECT_FALSE(older.Read);
    EXPECT_EQ(Call(QStringLiteral("MarkRead"), {QStringLiteral("['%1']").arg(newerKey)}).Out,
              QStringLiteral("(uint32 1,)"));
    EXPECT_TRUE(newer.Read);
    EXPECT_EQ(Call(QStringLiteral("MarkRead"), {QStringLiteral("['%1']").arg(newerKey)}).Out,
              QStringLiteral("(uint32 0,)"));
    EXPECT_EQ(Call(QStringLiteral("UnreadCount")).Out, QStringLiteral("(uint32 1,)"));

    // The preview shows the message, which reads it.
    EXPECT_EQ(Call(QStringLiteral("ShowMessage"), {olderKey}).Out, QStringLiteral("(true,)"));
    const TRowKey olderRow = RowKeyOf(TMailItems::KeyOf(older));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->FocusedRow() == olderRow; }, kWaitMs));
    EXPECT_EQ(Call(QStringLiteral("ShowMessage"), {QStringLiteral("nobody:nothing")}).Out,
              QStringLiteral("(false,)"));

    // Other bad arguments: errors, and the program answers on.
    const CallResult unknownAccount = Call(QStringLiteral("CheckMail"), {QStringLiteral("nope")});
    EXPECT_NE(unknownAccount.ExitCode, 0);
    EXPECT_THAT(unknownAccount.Err.toStdString(),
                HasSubstr("org.quobel.Quobel1.Error.UnknownAccount: There is no account with the "
                          "id \"nope\"."));
    const CallResult wrongType = Call(QStringLiteral("CheckMail"), {QStringLiteral("42")});
    EXPECT_NE(wrongType.ExitCode, 0);
    const CallResult noSuchMethod = Call(QStringLiteral("Explode"));
    EXPECT_NE(noSuchMethod.ExitCode, 0);
    EXPECT_EQ(Call(QStringLiteral("UnreadCount")).ExitCode, 0);

    // A check is refused while one runs, as the command refuses it: a server that accepts and
    // never greets holds the check until it lets go.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    TAccount& stuck = AddAccount("Stuck", "nobody");
    stuck.POP.Host = "127.0.0.1";
    stuck.POP.Port = silent.serverPort();
    PutMessage(user, "b3", Message("Cy", "Third", 3));
    window->Command(TCommandId::Synchronize).trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return silent.hasPendingConnections(); }, kWaitMs));
    EXPECT_EQ(Call(QStringLiteral("CheckMail"), {QString()}).Out, QStringLiteral("(false,)"));
    EXPECT_EQ(Call(QStringLiteral("CheckMail"), {Q(account.ID)}).Out, QStringLiteral("(false,)"));
    delete silent.nextPendingConnection();
    silent.close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return cycle->Tasks().Count() == 0; }, kWaitMs));
    ASSERT_NE(ItemWithSubject("Third"), nullptr);
    EXPECT_EQ(Call(QStringLiteral("CheckMail"), {QString()}).Out, QStringLiteral("(true,)"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return cycle->Tasks().Count() == 0; }, kWaitMs));

    EXPECT_TRUE(
        QTest::qWaitFor([&] { return watch().count(QStringLiteral("NewMail")) >= 2; }, kWaitMs));
    monitor.terminate();
    monitor.waitForFinished(10000);
    watch();
    EXPECT_THAT(watched.toStdString(),
                HasSubstr("org.quobel.Quobel1.NewMail ([('" + S(newerKey) +
                          "', 'Bus', 'Bob', 'Newer', '2026-12-01T10:02:00'), ('" + S(olderKey) +
                          "', 'Bus', 'Ann', 'Older', '2026-12-01T10:01:00')],)"));
    EXPECT_THAT(watched.toStdString(),
                HasSubstr("'Bus', 'Cy', 'Third', '2026-12-01T10:03:00')],)"));
    EXPECT_THAT(watched.toStdString(), HasSubstr("org.quobel.Quobel1.UnreadChanged (uint32 2,)"));
    EXPECT_THAT(watched.toStdString(), HasSubstr("org.quobel.Quobel1.UnreadChanged (uint32 1,)"));
}

TEST_F(BusInterfaceTest, TheRunningInterfaceIsTheOneInTheRepository) {
    Start(false);
    const CallResult introspection =
        Gdbus({QStringLiteral("introspect"), QStringLiteral("--dest"),
               QStringLiteral("org.quobel.Quobel"), QStringLiteral("--object-path"),
               QStringLiteral("/org/quobel/Quobel"), QStringLiteral("--xml")});
    ASSERT_EQ(introspection.ExitCode, 0) << introspection.Err.toStdString();
    QProcess compare;
    compare.start(QStringLiteral("python3"),
                  {QStringLiteral(QUOBEL_SOURCE_DIR "/tests/ui/notify/same_interface.py"),
                   QStringLiteral(QUOBEL_SOURCE_DIR "/src/ui/app/org.quobel.Quobel1.xml")});
    compare.write(introspection.Out.toUtf8());
    compare.closeWriteChannel();
    ASSERT_TRUE(compare.waitForFinished(30000));
    EXPECT_EQ(compare.exitCode(), 0) << compare.readAllStandardError().toStdString();
}

}  // namespace
}  // namespace quobel::testing
