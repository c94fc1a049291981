#include "core/handle.h"

#include <gtest/gtest.h>

#include <type_traits>
#include <unordered_set>

#include "store/mail_item.h"
#include "store/table_row_ref.h"

namespace quobel {
namespace {

using TAppleKey = THandle<struct TAppleKind>;
using TPearKey = THandle<struct TPearKind>;

// Kinds do not mix, and no address becomes a handle unasked.
static_assert(!std::is_convertible_v<TAppleKey, TPearKey>);
static_assert(!std::is_constructible_v<TPearKey, TAppleKey>);
static_assert(!std::is_convertible_v<const void*, TAppleKey>);
static_assert(!std::is_convertible_v<TAppleKey, bool>);
static_assert(!std::is_convertible_v<TMailItemKey, TTableRowRef>);
static_assert(!std::is_convertible_v<TTableRowRef, TMailItemKey>);
static_assert(std::is_convertible_v<std::nullptr_t, TAppleKey>);
static_assert(std::is_trivially_copyable_v<TAppleKey>);

TEST(Handle, NullEqualityOrderAndHash) {
    const int things[2] = {1, 2};
    const TAppleKey none;
    const TAppleKey first(&things[0]);
    const TAppleKey second(&things[1]);
    struct Case {
        TAppleKey a, b;
        bool equal, less;
    };
    const Case cases[] = {
        {none, nullptr, true, false}, {first, TAppleKey(&things[0]), true, false},
        {first, second, false, true}, {second, first, false, false},
        {none, first, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a.Address() << " " << c.b.Address());
        EXPECT_EQ(c.a == c.b, c.equal);
        EXPECT_EQ(c.a != c.b, !c.equal);
        EXPECT_EQ(c.a < c.b, c.less);
        EXPECT_EQ(c.a < c.b, std::less<const void*>{}(c.a.Address(), c.b.Address()));
        EXPECT_EQ(std::hash<TAppleKey>{}(c.a) == std::hash<TAppleKey>{}(c.b), c.equal);
    }
    EXPECT_FALSE(none);
    EXPECT_TRUE(none == nullptr);
    EXPECT_TRUE(first);
    EXPECT_TRUE(first != nullptr);
    EXPECT_EQ(first.Address(), &things[0]);
    const std::unordered_set<TAppleKey> keys = {first, second, TAppleKey(&things[0])};
    EXPECT_EQ(keys.size(), 2u);
}

}  // namespace
}  // namespace quobel
