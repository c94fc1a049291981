// A first check of many new messages into a large Inbox, against the bare POP3 conversation
// that the check needs (UIDL, then LIST and TOP for each message), measured in the same run.
//
//   bench_check_cycle FACTS_FILE USER PASSWORD INBOX_ROWS [ROUNDS]
//
// Run by bench/check_cycle.sh, which starts Dovecot with the messages. Prints the ratio of the
// check to the bare conversation on its last line (target: at most 1.5).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "accounts/accounts.h"
#include "core/digest.h"
#include "core/file_util.h"
#include "core/options.h"
#include "cycle/msg_list_controller.h"
#include "dovecot_facts.h"
#include "platform/event_loop_dispatcher.h"
#include "platform/sound_player.h"
#include "retrieval/errors.h"
#include "retrieval/qbpop3.h"
#include "retrieval/tasks.h"
#include "store/mail_box.h"
#include "store/mail_item.h"

namespace quobel {
namespace {

using Clock = std::chrono::steady_clock;

class Silence : public SoundPlayer {
  public:
    void PlayAsync(const std::string&) override {}
};

struct Server {
    std::string Host;
    int Port = 0;
    std::string User;
    std::string Password;
};

double BareConversation(const Server& server, size_t& messages) {
    const auto start = Clock::now();
    TQBPOP3 pop;
    pop.Host = server.Host;
    pop.Port = server.Port;
    pop.Username = server.User;
    pop.Password = server.Password;
    pop.Connect();
    const std::vector<std::string> ids = pop.ListUniqueIds();
    std::vector<std::string> header;
    for (size_t i = 0; i < ids.size(); ++i) {
        const int number = static_cast<int>(i + 1);
        pop.MessageSize(number);
        header.clear();
        pop.RetrieveHeader(number, header);
    }
    pop.Disconnect();
    messages = ids.size();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// An Inbox of the given number of rows, written once as a template table.
void MakeTemplateInbox(const std::string& folder, int rows) {
    std::filesystem::create_directories(folder);
    TMailBox box;
    box.Name = "Inbox";
    box.Path = folder;
    box.WriteSettings();
    box.EnsureLoaded();
    box.Items.Reserve(static_cast<size_t>(rows));
    for (int i = 0; i < rows; ++i) {
        TMailItem& item = box.Items.Add();
        item.Folder = folder;
        item.UIDL = Md5Hex("old message " + std::to_string(i));
        item.Cache = Md5Hex("cache " + std::to_string(i)) + ".qbe";
        item.Online = true;
        item.Read = i % 3 != 0;
        item.CachedData.Date = 45000 + i / 50.0;
        item.CachedData.DateStr = FormatDateTimeMdy(item.CachedData.Date);
        item.CachedData.Subject = "Quarterly report of the project, part " + std::to_string(i);
        item.CachedData.From = "Sender " + std::to_string(i % 997);
        item.FromAddr = "sender" + std::to_string(i % 997) + "@mail.example.com";
        item.CachedData.To = "Demo User";
        item.Recipients = {"demo@quobel.example"};
        item.SetSize(2000 + i % 50000);
        item.Changed();
    }
    box.SaveTable();
}

double CycleCheck(const Server& server, const std::string& templateFolder, const std::string& data,
                  size_t& filed) {
    std::filesystem::remove_all(data);
    std::filesystem::create_directories(data + "/mailbox/Inbox");
    std::filesystem::create_directories(data + "/accounts");
    for (const char* name : {"box.bsf", "box.dat"}) {
        std::filesystem::copy_file(templateFolder + "/" + name, data + "/mailbox/Inbox/" + name);
    }
    TEventLoopDispatcher dispatcher;
    TAccounts accounts(data + "/accounts");
    TOptions options(data + "/settings.ini");
    TMailBoxes boxes(&accounts);
    TErrors errors;
    size_t added = 0;
    Silence silence;
    TTasks tasks(dispatcher);
    TAccount& account = accounts.Add(false);
    account.ID = Md5Hex(server.User);
    account.Synchronize = true;
    account.POP.Host = server.Host;
    account.POP.Port = server.Port;
    account.POP.Username = server.User;
    account.POP.Password = server.Password;
    TMailBox& inbox = boxes.OpenStore(data + "/mailbox");
    inbox.EnsureLoaded();

    TMsgListController controller(TMsgListController::Services{
        accounts, tasks, boxes, errors, options, dispatcher, silence, data + "/accounts"});
    controller.Inbox = &inbox;
    const TSubscription counting = controller.Events.MailFiled.Subscribe(
        [&added](TMailBox&, const std::vector<TMailItem*>& items) { added += items.size(); });
    const auto start = Clock::now();
    controller.actSynchronize();
    dispatcher.RunUntil([&] { return tasks.Count() == 0; }, std::chrono::hours(1));
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    filed = added;
    if (errors.Count() != 0) {
        std::fprintf(stderr, "check failed: %s: %s\n", errors.Items(0).Message.c_str(),
                     errors.Items(0).Details.c_str());
    }
    return seconds;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace
}  // namespace quobel

int main(int argc, char** argv) {
    using namespace quobel;
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr,
                     "usage: bench_check_cycle FACTS_FILE USER PASSWORD INBOX_ROWS [ROUNDS]\n");
        return 1;
    }
    const int rounds = argc == 6 ? std::stoi(argv[5]) : 3;
    if (rounds < 1) {
        std::fprintf(stderr, "bench_check_cycle: ROUNDS must be at least 1\n");
        return 1;
    }
    auto facts = bench::ReadDovecotFacts(argv[1]);
    const Server server{facts["HOST"], std::stoi(facts["POP3_PORT"]), argv[2], argv[3]};
    const int rows = std::stoi(argv[4]);
    const std::string work =
        std::filesystem::temp_directory_path().string() + "/quobel_bench_cycle";
    std::filesystem::remove_all(work);
    std::printf("making an Inbox of %d items...\n", rows);
    MakeTemplateInbox(work + "/template", rows);

    std::vector<double> bare, cycle;
    for (int round = 0; round < rounds; ++round) {
        size_t messages = 0, filed = 0;
        bare.push_back(BareConversation(server, messages));
        // A folder of its own per round: deleting thousands of files just before creating as
        // many makes the file system's inode allocation, not the check, the measure.
        cycle.push_back(
            CycleCheck(server, work + "/template", work + "/data" + std::to_string(round), filed));
        std::printf("round %d: %zu messages, bare %.3f s, check %.3f s (%zu filed)\n", round,
                    messages, bare.back(), cycle.back(), filed);
        if (filed != messages) {
            std::fprintf(stderr, "the check filed %zu of %zu messages\n", filed, messages);
            return 1;
        }
    }
    std::filesystem::remove_all(work);
    std::printf("ratio check/bare POP3 (median of %d): %.2f (target at most 1.5)\n", rounds,
                Median(cycle) / Median(bare));
    return 0;
}
