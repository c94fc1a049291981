#include "retrieval/response_codes.h"

#include <gtest/gtest.h>

namespace quobel {
namespace {

TEST(ResponseCodesTest, KnownCodesAreFollowedByWhatTheyMeanForTheUser) {
    struct Case {
        const char* server;
        const char* explained;  // null: unchanged
    };
    const Case cases[] = {
        {"[IN-USE] Mailbox locked\r\n",
         "[IN-USE] Mailbox locked\r\nThe mailbox is in use by another session, perhaps another "
         "mail program on this or another computer; the server lets only one in at a time. Try "
         "again when it has ended."},
        {"[login-delay] wait\r\n",
         "[login-delay] wait\r\nThe server allows a login only every so often; this account is "
         "checked again later."},
        {"[SYS/TEMP] try later",
         "[SYS/TEMP] try later\r\nThe server has a passing problem of its own; a later check may "
         "succeed."},
        {"[SYS/PERM] gone\r\n",
         "[SYS/PERM] gone\r\nThe server has a problem of its own that will not pass by itself; "
         "ask the mail provider."},
        {"[AUTH] Authentication failed.\r\n",
         "[AUTH] Authentication failed.\r\nThe user name or password was not accepted; check "
         "them in the account."},
        {"[SYS] vague\r\n", nullptr},
        {"no such message [AUTH]\r\n", nullptr},
        {"Connection Closed Gracefully.", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.server);
        EXPECT_EQ(WithResponseCodeExplained(c.server),
                  c.explained == nullptr ? c.server : c.explained);
    }
}

}  // namespace
}  // namespace quobel
