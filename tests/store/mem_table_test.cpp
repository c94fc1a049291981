#include "store/mem_table.h"

#include <gtest/gtest.h>

#include "core/error.h"
#include "store/box_columns.h"

namespace quobel {
namespace {

class MemTableTest : public ::testing::Test {
  protected:
    void SetUp() override {
        table.SetColumns(MailBoxColumns());
        table.SetIndexes(MailBoxIndexes());
        uidl = table.FieldByName("uidl");  // names compare without regard to case
        size = table.FieldByName("Size");
    }

    void AddRow(const std::string& key, int32_t value) {
        table.Append();
        table.SetString(uidl, key);
        table.SetInteger(size, value);
        table.Post();
    }

    int SizeAt(const std::string& key) {
        return table.Locate(uidl, key) ? table.AsInteger(size) : -1;
    }

    TMemTable table;
    int uidl = -1;
    int size = -1;
};

TEST_F(MemTableTest, IndexFollowsAppendEditAndDelete) {
    AddRow("a", 1);
    AddRow("b", 2);
    AddRow("a", 3);  // a second row with the same key (as a file written elsewhere may have)
    EXPECT_EQ(SizeAt("a"), 1);
    EXPECT_EQ(SizeAt("b"), 2);
    EXPECT_EQ(SizeAt("c"), -1);

    ASSERT_TRUE(table.Locate(uidl, "a"));
    table.Delete();  // the next row becomes current
    EXPECT_EQ(table.AsString(uidl), "b");
    EXPECT_EQ(SizeAt("a"), 3);

    ASSERT_TRUE(table.Locate(uidl, "b"));
    table.Edit();
    table.SetString(uidl, "c");
    table.Post();
    EXPECT_EQ(SizeAt("b"), -1);
    EXPECT_EQ(SizeAt("c"), 2);

    // A key moved onto an existing one: the earlier row in row order is found first.
    ASSERT_TRUE(table.Locate(uidl, "c"));
    table.Edit();
    table.SetString(uidl, "a");
    table.Post();
    EXPECT_EQ(SizeAt("a"), 2);

    // The same searches without the hash index.
    table.SetIndexes({});
    EXPECT_EQ(SizeAt("a"), 2);
    table.SetIndexes(MailBoxIndexes());
    EXPECT_EQ(SizeAt("a"), 2);

    // Null keys are found as the empty text.
    table.Append();
    table.Post();
    EXPECT_TRUE(table.Locate(uidl, ""));

    TMemTable moved = std::move(table);
    EXPECT_EQ(moved.RowCount(), 3u);
    EXPECT_TRUE(moved.Locate(uidl, "a"));
    moved.First();
    size_t count = 0;
    for (; !moved.Eof(); moved.Next()) {
        ++count;
    }
    EXPECT_EQ(count, 3u);
}

TEST_F(MemTableTest, CellRules) {
    table.Append();
    table.SetString(uidl, std::string(40, 'k'));
    EXPECT_EQ(table.AsString(uidl).size(), 32u);
    const int subject = table.FieldByName("Subject");
    table.SetString(subject, "");
    EXPECT_TRUE(table.IsNull(subject));
    const int cachedCc = table.FieldByName("CachedCC");
    table.SetString(cachedCc, "x");
    EXPECT_FALSE(table.IsNull(cachedCc));
    EXPECT_EQ(table.AsString(cachedCc), "");
    EXPECT_TRUE(table.IsNull(table.FieldByName("Read")));
    EXPECT_FALSE(table.AsBoolean(table.FieldByName("Read")));
    table.Post();

    EXPECT_EQ(table.FindField("Nope"), -1);
    const auto message = [](const std::function<void()>& action) -> std::string {
        try {
            action();
        } catch (const Error& error) {
            return error.what();
        }
        return "(no error)";
    };
    EXPECT_EQ(message([&] { table.FieldByName("Nope"); }), "Field 'Nope' not found");
    EXPECT_EQ(message([&] { table.SetInteger(size, 1); }), "Dataset not in edit or insert mode");
    table.Edit();
    EXPECT_EQ(message([&] { table.SetBoolean(size, true); }),
              "Invalid value for field 'Size' of type Integer");
    table.Post();
    table.Next();
    EXPECT_TRUE(table.Eof());
    EXPECT_EQ(message([&] { table.Edit(); }), "Cannot perform this operation on an empty dataset");
}

TEST_F(MemTableTest, AppendRowStoresValuesAsSettingThemWould) {
    const auto row = [&](TFieldView key, TFieldView subject, TFieldView sizeValue) {
        std::vector<TFieldView> values(table.Columns().size());
        values[uidl] = key;
        values[table.FieldByName("Subject")] = subject;
        values[size] = sizeValue;
        return values;
    };
    const std::string longKey(40, 'k');  // the key column holds 32 characters
    table.AppendRow(row(std::string_view(longKey), std::string_view(""), 7));
    table.AppendRow(row(std::string_view("b"), std::string_view("Hello"), TFieldView{}));
    ASSERT_TRUE(table.Locate(uidl, std::string(32, 'k')));
    EXPECT_TRUE(table.IsNull(table.FieldByName("Subject")));  // an empty memo is null
    EXPECT_EQ(table.AsInteger(size), 7);
    ASSERT_TRUE(table.Locate(uidl, "b"));
    EXPECT_EQ(table.AsString(table.FieldByName("Subject")), "Hello");
    EXPECT_TRUE(table.IsNull(size));

    // A value of the wrong kind is refused and the table keeps its rows.
    EXPECT_THROW(table.AppendRow(row(std::string_view("c"), TFieldView{}, true)), Error);
    EXPECT_EQ(table.RowCount(), 2u);
    EXPECT_FALSE(table.Locate(uidl, "c"));
}

}  // namespace
}  // namespace quobel
