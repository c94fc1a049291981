#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "core/file_util.h"
#include "store/mail_box.h"
#include "support/temp_folder.h"

namespace quobel {
namespace {

struct InspectRun {
    int exitCode = -1;
    std::string out;
};

InspectRun Inspect(const std::string& arguments) {
    InspectRun run;
    const std::string command = std::string(QUOBEL_INSPECT_PATH) + " " + arguments + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.out.append(buffer, got);
    }
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(InspectStore, TableAndMailbox) {
    const quobel::testing::TempFolder scratch;
    const std::string root = scratch.File("inspect_store");
    std::filesystem::remove_all(root);
    TMailBoxes boxes;
    TMailBox& inbox = boxes.OpenStore(root);
    inbox.EnsureLoaded();
    TMailItem& item = inbox.Items.Add();
    item.Folder = inbox.Path;
    item.UIDL = std::string(32, 'c');
    item.Cache = std::string(32, 'd') + ".qbe";
    item.CachedData.Subject = "Hello";
    item.CachedData.Date = 46000.5;
    item.Recipients = {"a@example.org", "b@example.org"};
    item.SetSize(1234);
    item.Changed();
    inbox.SaveTable();

    const InspectRun table = Inspect("table " + inbox.TableFileName());
    ASSERT_EQ(table.exitCode, 0) << table.out;
    const auto tableJson = nlohmann::json::parse(table.out);
    EXPECT_EQ(tableJson["columns"].size(), 21u);
    EXPECT_EQ(tableJson["columns"][0]["type"], "FixedChar");
    EXPECT_EQ(tableJson["indexes"][0]["fields"], "UIDL");
    ASSERT_EQ(tableJson["rows"].size(), 1u);
    EXPECT_EQ(tableJson["rows"][0]["Subject"], "Hello");
    EXPECT_EQ(tableJson["rows"][0]["Date"], 46000.5);
    EXPECT_EQ(tableJson["rows"][0]["Recipients"], "a@example.org\r\nb@example.org\r\n");
    EXPECT_TRUE(tableJson["rows"][0]["Account"].is_null());

    const InspectRun mailbox = Inspect("mailbox " + inbox.Path);
    ASSERT_EQ(mailbox.exitCode, 0) << mailbox.out;
    const auto boxJson = nlohmann::json::parse(mailbox.out);
    EXPECT_EQ(boxJson["Name"], "Inbox");
    EXPECT_EQ(boxJson["Settings"]["Type"], 0);
    EXPECT_EQ(boxJson["Unread"], 1);
    ASSERT_EQ(boxJson["Items"].size(), 1u);
    EXPECT_EQ(boxJson["Items"][0]["UIDL"], std::string(32, 'c'));
    EXPECT_EQ(boxJson["Items"][0]["Recipients"][1], "b@example.org");
    EXPECT_EQ(boxJson["Items"][0]["SizeText"], "1.21 Kb");
    EXPECT_EQ(boxJson["Items"][0]["CacheFileExists"], false);

    WriteFileAtomic(inbox.TableFileName(), "TPF0");
    const InspectRun broken = Inspect("table " + inbox.TableFileName());
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_EQ(broken.out, "quobel-inspect: Stream read error\n");
    std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace quobel
