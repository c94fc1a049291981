// quobel-inspect check: a headless check over a data folder.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "accounts/account_file.h"
#include "cycle_fixture.h"
#include "support/run_inspect.h"

namespace quobel {
namespace {

using testing::CreateMailUser;
using testing::Dovecot;
using testing::PutMessage;
using testing::RunInspect;
using testing::SampleMessage;
using testing::TempFolder;

TAccount AccountOn(const std::string& user, int port) {
    TAccount account;
    account.ID = Md5Hex(user);
    account.Name = user;
    account.Synchronize = true;
    account.POP.Host = Dovecot().Host;
    account.POP.Port = port;
    account.POP.Username = user;
    account.POP.Password = "pw";
    return account;
}

TEST(InspectCheckTest, FilesNewMailOnceAndReportsFailures) {
    const TempFolder data;
    ForceFolders(data.File("accounts"));
    const std::string user = CreateMailUser("inschk", "pw");
    PutMessage(user, "m1", SampleMessage(1));
    PutMessage(user, "m2", SampleMessage(2));
    // The report is JSON whatever a header holds: quotes, backslashes, control characters, raw
    // 8-bit bytes (read as Latin-1).
    PutMessage(user, "m3",
               "From: \"Q\\\" <q@example.org>\r\nSubject: =?ISO-8859-1?Q?caf=E9?= \"x\" \\ \x01 "
               "\xE9t\xC3\xA9\r\n\r\nbody\r\n");
    const TAccount account = AccountOn(user, Dovecot().Pop3Port);
    SaveAccount(account, TAccounts::FileNameOf(data.File("accounts"), account));

    auto result = RunInspect({"check", data.Path()});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    auto json = nlohmann::json::parse(result.output);
    ASSERT_EQ(json["accounts"].size(), 1u);
    ASSERT_EQ(json["accounts"][0]["Filed"].size(), 3u);
    EXPECT_EQ(json["accounts"][0]["Filed"][1]["Subject"], "message 2");
    EXPECT_EQ(json["accounts"][0]["Filed"][2]["Subject"],
              "caf\u00e9 \"x\" \\ \x01 \u00e9t\u00c3\u00a9");
    EXPECT_EQ(json["errors"].size(), 0u);

    result = RunInspect({"check", data.Path()});
    ASSERT_EQ(result.exitCode, 0);
    json = nlohmann::json::parse(result.output);
    EXPECT_EQ(json["accounts"][0]["Filed"].size(), 0u);

    const auto mailbox =
        nlohmann::json::parse(RunInspect({"mailbox", data.File("mailbox/Inbox")}).output);
    EXPECT_FALSE(mailbox.dump().empty());

    const TAccount broken = AccountOn("unreachable", 1);
    SaveAccount(broken, TAccounts::FileNameOf(data.File("accounts"), broken));
    result = RunInspect({"check", data.Path()});
    EXPECT_EQ(result.exitCode, 1);
    json = nlohmann::json::parse(result.output);
    ASSERT_EQ(json["errors"].size(), 1u);
    EXPECT_EQ(json["errors"][0]["Message"], "Could not connect to " + Dovecot().Host + "!");

    EXPECT_EQ(RunInspect({"check", data.File("missing")}).exitCode, 1);
}

}  // namespace
}  // namespace quobel
