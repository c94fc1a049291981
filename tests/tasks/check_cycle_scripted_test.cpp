// A whole check through the controller against a scripted server on the loopback interface, with
// the Inbox not loaded beforehand: its table is read on a thread of its own while the headers
// arrive, as in a check without windows. Run under ThreadSanitizer with the other task tests.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "accounts/accounts.h"
#include "core/digest.h"
#include "core/file_util.h"
#include "core/options.h"
#include "cycle/msg_list_controller.h"
#include "platform/event_loop_dispatcher.h"
#include "platform/sound_player.h"
#include "retrieval/errors.h"
#include "retrieval/tasks.h"
#include "store/mail_box.h"
#include "store/mail_item.h"
#include "support/loopback_listener.h"
#include "support/temp_folder.h"

namespace quobel {
namespace {

class Silence : public SoundPlayer {
  public:
    void PlayAsync(const std::string&) override {}
};

// Answers one session: no capabilities, any login, the unique IDs k1..kN, and a header block
// per message.
class ScriptedServer {
  public:
    explicit ScriptedServer(int messages) : messages_(messages), thread_([this] { Serve(); }) {}
    ~ScriptedServer() {
        listener_.Close();
        thread_.join();
    }
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    int Port() const { return listener_.Port(); }

  private:
    std::string Reply(const std::string& command) const {
        if (command == "CAPA") {
            return "-ERR\r\n";
        }
        if (command == "UIDL") {
            std::string reply = "+OK\r\n";
            for (int n = 1; n <= messages_; ++n) {
                reply += std::to_string(n) + " k" + std::to_string(n) + "\r\n";
            }
            return reply + ".\r\n";
        }
        if (command == "LIST") {
            std::string reply = "+OK\r\n";
            for (int n = 1; n <= messages_; ++n) {
                reply += std::to_string(n) + " 100\r\n";
            }
            return reply + ".\r\n";
        }
        if (command.starts_with("LIST ")) {
            return "+OK " + command.substr(5) + " 100\r\n";
        }
        if (command.starts_with("TOP ")) {
            const std::string number = command.substr(4, command.find(' ', 4) - 4);
            return "+OK\r\nSubject: message " + number + "\r\nFrom: a@example.org\r\n\r\n.\r\n";
        }
        return "+OK\r\n";
    }

    void Serve() {
        const int client = ::accept(listener_.Fd(), nullptr, nullptr);
        if (client < 0) {
            return;
        }
        Send(client, "+OK hello\r\n");
        std::string pending;
        char buffer[4096];
        for (;;) {
            const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
            if (got <= 0) {
                break;
            }
            pending.append(buffer, static_cast<size_t>(got));
            size_t end = 0;
            bool quit = false;
            while ((end = pending.find("\r\n")) != std::string::npos) {
                const std::string command = pending.substr(0, end);
                pending.erase(0, end + 2);
                Send(client, Reply(command));
                quit = quit || command == "QUIT";
            }
            if (quit) {
                break;
            }
        }
        ::close(client);
    }

    static void Send(int fd, const std::string& bytes) {
        size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t count =
                ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (count <= 0) {
                return;
            }
            sent += static_cast<size_t>(count);
        }
    }

    const int messages_;
    testing::LoopbackListener listener_;
    std::thread thread_;  // last: it starts once the listener exists
};

TEST(CheckCycleScriptedTest, AnInboxNotLoadedIsReadOnItsOwnThreadAndTakesTheNewMail) {
    const testing::TempFolder data;
    const std::string accountsFolder = data.File("accounts");
    const std::string store = data.File("mailbox");
    ForceFolders(accountsFolder);
    TAccounts accounts(accountsFolder);
    // Rows filed before: two of the server's messages are known already.
    {
        TMailBoxes boxes(&accounts);
        TMailBox& inbox = boxes.OpenStore(store);
        inbox.EnsureLoaded();
        for (int n = 1; n <= 2; ++n) {
            TMailItem& item = inbox.Items.Add();
            item.Folder = inbox.Path;
            item.UIDL = Md5Hex("k" + std::to_string(n));
            item.Cache = item.UIDL + ".qbe";
            item.AccountID = "0123456789abcdef0123456789abcdef";
            item.Changed();
        }
        inbox.SaveTable();
    }
    ScriptedServer server(5);
    TAccount& account = accounts.Add(false);
    account.ID = "0123456789abcdef0123456789abcdef";
    account.Name = "Scripted";
    account.Synchronize = true;
    account.POP.Host = "127.0.0.1";
    account.POP.Port = server.Port();
    account.POP.Username = "u";
    account.POP.Password = "p";
    account.UIDL.Assign(std::vector<std::string>{Md5Hex("k1"), Md5Hex("k2")});

    TEventLoopDispatcher dispatcher;
    auto tasks = std::make_unique<TTasks>(dispatcher);
    TMailBoxes boxes(&accounts);
    TErrors errors;
    TOptions options(data.File("settings.ini"));
    Silence silence;
    TMailBox& inbox = boxes.OpenStore(store);
    {
        TMsgListController controller(TMsgListController::Services{
            accounts, *tasks, boxes, errors, options, dispatcher, silence, accountsFolder});
        controller.Inbox = &inbox;
        controller.WriteTablesWholeAtExit = false;
        controller.actSynchronize();
        ASSERT_TRUE(
            dispatcher.RunUntil([&] { return tasks->Count() == 0; }, std::chrono::minutes(1)));
        controller.Shutdown();
    }
    for (size_t i = 0; i < errors.Count(); ++i) {
        ADD_FAILURE() << errors.Items(i).Message << ": " << errors.Items(i).Details;
    }
    ASSERT_TRUE(inbox.Loaded);
    std::vector<std::string> keys;
    for (size_t i = 0; i < inbox.Items.Count(); ++i) {
        keys.push_back(inbox.Items.Items(i).UIDL);
    }
    // The server's keys are known by their digests.
    EXPECT_THAT(keys, ::testing::ElementsAre(Md5Hex("k1"), Md5Hex("k2"), Md5Hex("k3"), Md5Hex("k4"),
                                             Md5Hex("k5")));
    EXPECT_EQ(inbox.Items.Items(4).CachedData.Subject, "message 5");
    EXPECT_TRUE(account.UIDL.Contains(Md5Hex("k5")));
}

}  // namespace
}  // namespace quobel
