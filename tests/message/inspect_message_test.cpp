#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <nlohmann/json.hpp>

#include "core/file_util.h"
#include "message_test_util.h"
#include "support/temp_folder.h"

namespace quobel {
namespace {

struct RunResult {
    int exitCode = -1;
    std::string out;
};

RunResult RunInspect(const std::string& arguments) {
    const std::string command =
        std::string(QUOBEL_INSPECT_PATH) + " message " + arguments + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    RunResult result;
    if (pipe == nullptr)
        return result;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.out.append(buffer, got);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

TEST(InspectMessageTest, DumpsTheParsedMessage) {
    const RunResult run = RunInspect(message_test::SamplePath("mixed_attachment.eml"));
    ASSERT_EQ(run.exitCode, 0);
    const nlohmann::json json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["Subject"], "Report with attachment");
    EXPECT_EQ(json["From"]["Address"], "carl@example.com");
    EXPECT_EQ(json["To"][0]["Address"], "carl@quobel.test");
    EXPECT_EQ(json["Date"]["Text"], "03-10-2026 09:00:00");
    EXPECT_EQ(json["Priority"], 1);
    EXPECT_EQ(json["Received"][1]["SourceIP"], "198.51.100.2");
    EXPECT_EQ(json["DeliveredFor"], "carl@quobel.test");
    EXPECT_EQ(json["AttachmentCount"], 2);
    const auto& pdf = json["Parts"][2];
    EXPECT_EQ(pdf["FileName"], "report.pdf");
    EXPECT_EQ(pdf["Size"], 1280);
    EXPECT_EQ(pdf["SHA256"].get<std::string>().size(), 64u);
    EXPECT_EQ(pdf["IsAttachment"], true);
    EXPECT_EQ(json["ShownText"], "See the attached report.\r\n");
}

TEST(InspectMessageTest, BadInputAndBadUse) {
    const quobel::testing::TempFolder scratch;
    const std::string folder = scratch.File("inspect_message");
    ForceFolders(folder);
    const std::string garbage = JoinPath(folder, "garbage.eml");
    std::string bytes =
        "Subject: =?utf-8?b?/w==?=\xff\r\nContent-Type: multipart/x; boundary=a\r\n\r\n";
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(i);
    WriteFileAtomic(garbage, bytes);
    const RunResult run = RunInspect(garbage);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(nlohmann::json::accept(run.out));
    EXPECT_EQ(RunInspect(JoinPath(folder, "missing.eml")).exitCode, 1);
    EXPECT_EQ(RunInspect("").exitCode, 1);
    EXPECT_EQ(RunInspect(garbage + " --unknown").exitCode, 1);
}

}  // namespace
}  // namespace quobel
