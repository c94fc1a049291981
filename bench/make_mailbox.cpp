// Writes a data folder whose Inbox holds ROWS generated messages, for the start-up benchmark:
//   bench_make_mailbox DATA_FOLDER ROWS [HOST PORT USER PASSWORD]
// With a server, the folder also gets an account on it that takes part in checks.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "accounts/account_file.h"
#include "accounts/accounts.h"
#include "box_generator.h"
#include "core/digest.h"
#include "core/file_util.h"
#include "store/mail_box.h"

int main(int argc, char** argv) {
    if (argc != 3 && argc != 7) {
        std::fprintf(stderr, "usage: %s DATA_FOLDER ROWS [HOST PORT USER PASSWORD]\n", argv[0]);
        return 2;
    }
    try {
        quobel::TMailBoxes boxes;
        quobel::TMailBox& inbox = boxes.OpenStore(quobel::JoinPath(argv[1], "mailbox"));
        inbox.EnsureLoaded();
        quobel::bench::FillBox(inbox, std::atoi(argv[2]));
        inbox.SaveTable();
        inbox.WriteUnread();
        if (argc == 7) {
            const std::string accounts = quobel::JoinPath(argv[1], "accounts");
            quobel::ForceFolders(accounts);
            quobel::TAccount account;
            account.ID = quobel::Md5Hex(std::string(argv[5]) + "@" + argv[3]);
            account.Name = argv[5];
            account.Synchronize = true;
            account.POP.Host = argv[3];
            account.POP.Port = std::atoi(argv[4]);
            account.POP.Username = argv[5];
            account.POP.Password = argv[6];
            quobel::SaveAccount(account, quobel::TAccounts::FileNameOf(accounts, account));
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
