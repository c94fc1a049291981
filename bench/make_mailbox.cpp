// Writes a data folder whose Inbox holds ROWS generated messages, for the start-up benchmark:
//   bench_make_mailbox DATA_FOLDER ROWS
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "box_generator.h"
#include "core/file_util.h"
#include "store/mail_box.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DATA_FOLDER ROWS\n", argv[0]);
        return 2;
    }
    try {
        quobel::TMailBoxes boxes;
        quobel::TMailBox& inbox = boxes.OpenStore(quobel::JoinPath(argv[1], "mailbox"));
        inbox.EnsureLoaded();
        quobel::bench::FillBox(inbox, std::atoi(argv[2]));
        inbox.SaveTable();
        inbox.WriteUnread();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
