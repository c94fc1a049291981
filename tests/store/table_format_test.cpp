#include "store/table_format.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/error.h"
#include "core/file_util.h"
#include "store/box_columns.h"
#include "support/error_of.h"
#include "support/temp_folder.h"
#include "table_test_util.h"

namespace quobel {
namespace {

using test::Bytes;
using test::Hex;

using testing::ErrorOf;

TMemTable OneColumn(TFieldType type, int32_t size = 0) {
    TMemTable table;
    table.SetColumns({TColumnDef::Make("C", type, size)});
    return table;
}

// The bytes of one row's cells as the writer produces them.
std::string CellBytes(TFieldType type, int32_t size, const TFieldValue& value) {
    const TTableFormat format;
    TMemTable table = OneColumn(type, size);
    const std::string empty = format.Save(table);
    table.Append();
    table.SetValue(0, value);
    table.Post();
    const std::string full = format.Save(table);
    // Without rows the file ends with the row list 01 00; a row adds 01, status 02 00, the
    // cells and 00 before the final 00.
    const std::string prefix = empty.substr(0, empty.size() - 1) + std::string("\x01\x02\x00", 3);
    EXPECT_EQ(full.substr(0, prefix.size()), prefix);
    EXPECT_EQ(full.substr(full.size() - 2), std::string("\0\0", 2));
    return full.substr(prefix.size(), full.size() - prefix.size() - 2);
}

TEST(TableFormat, CellEncodings) {
    struct Case {
        TFieldType type;
        int32_t size;
        TFieldValue value;
        std::string bytes;
    };
    const std::string text255(255, 'a');
    const std::string text256(256, 'b');
    const std::vector<Case> cases = {
        {TFieldType::Integer, 0, 3, "08 02 03"},
        {TFieldType::Integer, 0, 127, "08 02 7F"},
        {TFieldType::Integer, 0, -128, "08 02 80"},
        {TFieldType::Integer, 0, 128, "08 03 80 00"},
        {TFieldType::Integer, 0, -129, "08 03 7F FF"},
        {TFieldType::Integer, 0, -32768, "08 03 00 80"},
        {TFieldType::Integer, 0, 32768, "08 04 00 80 00 00"},
        {TFieldType::Integer, 0, 70000, "08 04 70 11 01 00"},
        {TFieldType::Integer, 0, -32769, "08 04 FF 7F FF FF"},
        {TFieldType::Boolean, 0, true, "08 09"},
        {TFieldType::Boolean, 0, false, "08 08"},
        {TFieldType::Memo, 0, std::monostate{}, "09"},
        {TFieldType::Memo, 0, std::string(), "09"},  // an empty memo is null
        {TFieldType::Memo, 0, std::string("Hi"), "08 06 02 48 69"},
        {TFieldType::String, 0, std::string("dropped"), "08 06 00"},  // size 0 keeps nothing
        {TFieldType::FixedChar, 3, std::string(), "08 06 00"},        // set, never null
        {TFieldType::FixedChar, 3, std::string("abcd"), "08 06 03 61 62 63"},
        {TFieldType::DateTime, 0, 1.0, "08 05 00 00 00 00 00 00 00 80 FF 3F"},
        {TFieldType::DateTime, 0, 38000.5, "08 05 00 00 00 00 00 80 70 94 0E 40"},
        {TFieldType::Integer, 0, std::monostate{}, "09"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Hex(CellBytes(c.type, c.size, c.value)), c.bytes)
            << FieldTypeName(c.type) << " " << c.bytes;
    }
    EXPECT_EQ(Hex(CellBytes(TFieldType::Memo, 0, text255)).substr(0, 8), "08 06 FF");
    EXPECT_EQ(CellBytes(TFieldType::Memo, 0, text255).size(), 3u + 255u);
    EXPECT_EQ(Hex(CellBytes(TFieldType::Memo, 0, text256)).substr(0, 17), "08 0C 00 01 00 00");
    EXPECT_EQ(CellBytes(TFieldType::Memo, 0, text256).size(), 6u + 256u);
}

TEST(TableFormat, EmptyMailboxTable) {
    TMemTable table;
    table.SetColumns(MailBoxColumns());
    table.SetIndexes(MailBoxIndexes());
    const std::string bytes = TTableFormat().Save(table);

    const std::string head = Bytes()
                                 .Raw("TPF0")
                                 .Raw({3, 0xFB, 0, 1})
                                 .Text("UIDL")
                                 .Text("FixedChar")
                                 .Int(32)
                                 .Text("UIDL")
                                 .Text("")
                                 .Int(32)
                                 .Bool(false)
                                 .Bool(false)
                                 .Text("Data")
                                 .Text("")
                                 .str();
    EXPECT_EQ(Hex(bytes.substr(0, head.size())), Hex(head));
    const std::string tail = Bytes()
                                 .Text("CachedCC")
                                 .Text("String")
                                 .Int(0)
                                 .Text("CachedCC")
                                 .Text("")
                                 .Int(0)
                                 .Bool(false)
                                 .Bool(false)
                                 .Text("Data")
                                 .Text("")
                                 .End()
                                 .Begin()
                                 .Text("Index1")
                                 .Text("UIDL")
                                 .Text("Index1")
                                 .Raw({8, 8, 8, 8})
                                 .End()
                                 .Begin()
                                 .End()
                                 .str();
    ASSERT_GT(bytes.size(), tail.size());
    EXPECT_EQ(Hex(bytes.substr(bytes.size() - tail.size())), Hex(tail));
    // Display widths by type: Memo 10, Boolean 5, DateTime 18, Integer 10.
    const std::string date =
        Bytes().Text("Date").Text("DateTime").Int(0).Text("Date").Text("").Int(18).str();
    EXPECT_NE(bytes.find(date), std::string::npos);
    const std::string read =
        Bytes().Text("Read").Text("Boolean").Int(0).Text("Read").Text("").Int(5).str();
    EXPECT_NE(bytes.find(read), std::string::npos);
    const std::string cache =
        Bytes().Text("Cache").Text("Memo").Int(0).Text("Cache").Text("").Int(10).str();
    EXPECT_NE(bytes.find(cache), std::string::npos);

    TMemTable back;
    TTableFormat().Load(back, bytes);
    EXPECT_EQ(back.Columns(), MailBoxColumns());
    EXPECT_EQ(back.Indexes(), MailBoxIndexes());
    EXPECT_EQ(back.RowCount(), 0u);
}

TEST(TableFormat, RowsRoundTrip) {
    TMemTable table;
    table.SetColumns(MailBoxColumns());
    table.SetIndexes(MailBoxIndexes());
    const std::string longText(70000, 'x');
    for (int i = 0; i < 3; ++i) {
        table.Append();
        table.SetString(table.FieldByName("UIDL"), std::string(32, char('a' + i)));
        table.SetString(table.FieldByName("Subject"), i == 1 ? longText : "Subject");
        table.SetDateTime(table.FieldByName("Date"), i == 2 ? 0.0 : 46000.25 + i);
        table.SetInteger(table.FieldByName("Size"), -70000 * i);
        table.SetBoolean(table.FieldByName("Read"), i == 1);
        table.Post();
    }
    const TTableFormat format;
    const std::string bytes = format.Save(table);
    TMemTable back;
    format.Load(back, bytes);
    ASSERT_EQ(back.RowCount(), 3u);
    EXPECT_EQ(format.Save(back).size(), bytes.size() - 11);  // the zero date became null (09)
    back.First();
    for (int i = 0; i < 3; ++i, back.Next()) {
        ASSERT_FALSE(back.Eof());
        EXPECT_EQ(back.AsString(back.FieldByName("UIDL")), std::string(32, char('a' + i)));
        EXPECT_EQ(back.AsString(back.FieldByName("Subject")), i == 1 ? longText : "Subject");
        EXPECT_EQ(back.IsNull(back.FieldByName("Date")), i == 2);
        EXPECT_EQ(back.AsDateTime(back.FieldByName("Date")), i == 2 ? 0.0 : 46000.25 + i);
        EXPECT_EQ(back.AsInteger(back.FieldByName("Size")), -70000 * i);
        EXPECT_EQ(back.AsBoolean(back.FieldByName("Read")), i == 1);
        EXPECT_TRUE(back.IsNull(back.FieldByName("Account")));
    }
    EXPECT_TRUE(back.Eof());
    EXPECT_TRUE(back.Locate("UIDL", std::string(32, 'b')));
    EXPECT_EQ(back.AsInteger(back.FieldByName("Size")), -70000);
}

// One file in the layout of an older (or the current) version: columns Key (FixedChar 8),
// Count (Integer), Seen (Boolean), When (DateTime), Note (Memo); two rows.
std::string VersionedFile(int version, int keySize = 8) {
    Bytes b;
    b.Raw("TPF0");
    if (version != 100) {
        b.Int(version);
    }
    b.Begin();
    const struct {
        const char* name;
        const char* type;
        int size;
    } columns[] = {{"Key", "FixedChar", keySize},
                   {"Count", "Integer", 0},
                   {"Seen", "Boolean", 0},
                   {"When", "DateTime", 0},
                   {"Note", "Memo", 0}};
    for (const auto& c : columns) {
        b.Text(c.name).Text(c.type).Int(c.size).Text(c.name).Text("").Int(c.size).Bool(false).Bool(
            false);
        if (version >= 250) {
            b.Text("Data");
        }
        if (version > 250) {
            b.Text("");
        }
    }
    b.End();
    if (version >= 200) {
        b.Begin().Text("I").Text("Key").Text("ByKey").Raw({8, 8, 8, 8}).End();
    }
    b.Begin();
    const auto cells = [&](const char* key, int count, bool seen, double when, const char* note) {
        const auto flag = [&] {
            if (version >= 249) {
                b.Bool(false);
            }
        };
        flag();
        b.Text(key);
        flag();
        b.Int(count);
        flag();
        b.Bool(seen);
        flag();
        b.Float(when);
        if (version >= 249 && note == nullptr) {
            b.Bool(true);
        } else {
            flag();
            b.Text(note == nullptr ? "" : note);
        }
    };
    if (version > 229) {
        b.Begin().Int(0);
        cells("first", 1, true, 45000.5, "note");
        b.Int(0);  // an earlier version of the same row, read and dropped
        cells("OLD", 9, false, 1, "old");
        b.End();
        b.Begin().Int(0);
        cells("second", -300, false, 0, nullptr);
        b.End();
    } else {
        cells("first", 1, true, 45000.5, "note");
        cells("second", -300, false, 0, nullptr);
    }
    b.End();
    return b.str();
}

// Loads the bytes either copied into the table or kept by it, the rows staying in them.
void LoadEither(TMemTable& table, const std::string& bytes, bool kept) {
    if (kept) {
        const auto kept = std::make_shared<const std::string>(bytes);
        TTableFormat().Load(table, *kept, kept);
    } else {
        TTableFormat().Load(table, bytes);
    }
}

TEST(TableFormat, ReadsEveryVersion) {
    for (const bool kept : {false, true})
        for (int version : {100, 200, 229, 230, 249, 250, 251}) {
            SCOPED_TRACE(std::to_string(version) + (kept ? " kept" : " copied"));
            TMemTable table;
            table.SetIndexes({TIndexDef{"Keep", "Key"}});
            ASSERT_NO_THROW(LoadEither(table, VersionedFile(version), kept));
            ASSERT_EQ(table.Columns().size(), 5u);
            EXPECT_EQ(table.Columns()[0].Kind, "Data");
            EXPECT_EQ(table.Indexes()[0].Name, version >= 200 ? "ByKey" : "Keep");
            ASSERT_EQ(table.RowCount(), 2u);
            table.First();
            EXPECT_EQ(table.AsString(0), "first");
            EXPECT_EQ(table.AsInteger(1), 1);
            EXPECT_TRUE(table.AsBoolean(2));
            EXPECT_EQ(table.AsDateTime(3), 45000.5);
            EXPECT_EQ(table.AsString(4), "note");
            table.Next();
            EXPECT_EQ(table.AsString(0), "second");
            EXPECT_EQ(table.AsInteger(1), -300);
            EXPECT_FALSE(table.AsBoolean(2));
            EXPECT_TRUE(table.IsNull(3));  // a date-time of 0 reads back as null
            EXPECT_TRUE(table.IsNull(4));
            EXPECT_TRUE(table.Locate(0, "second"));
        }
}

TEST(TableFormat, RowsKeptInTheFileBytesBehaveAsCopiedOnes) {
    TMemTable source;
    source.SetColumns(MailBoxColumns());
    source.SetIndexes(MailBoxIndexes());
    for (int i = 0; i < 6; ++i) {
        source.Append();
        // Rows 1 and 4 share a key, as files written elsewhere may.
        source.SetString(source.FieldByName("UIDL"), std::string(32, char('a' + i % 3 + i / 5)));
        source.SetString(source.FieldByName("Subject"), "Subject " + std::to_string(i));
        source.SetDateTime(source.FieldByName("Date"), 46000.5 + i);
        source.SetBoolean(source.FieldByName("Read"), i % 2 == 0);
        if (i != 2) {
            source.SetString(source.FieldByName("Recipients"), "r" + std::to_string(i) + "\r\n");
        }
        source.Post();
    }
    const std::string bytes = TTableFormat().Save(source);

    TMemTable copied;
    TMemTable kept;
    LoadEither(copied, bytes, false);
    LoadEither(kept, bytes, true);
    const int uidl = kept.FieldByName("UIDL");
    const int subject = kept.FieldByName("Subject");
    const auto key = [](char c) { return std::string(32, c); };
    // Each step runs on both tables; they must read and save alike after every one.
    const std::vector<std::pair<std::string, std::function<void(TMemTable&)>>> steps = {
        {"read a cell", [&](TMemTable& t) { ASSERT_TRUE(t.Locate(uidl, key('c'))); }},
        {"edit a text",
         [&](TMemTable& t) {
             ASSERT_TRUE(t.Locate(uidl, key('b')));
             t.Edit();
             t.SetString(subject, "Changed");
             t.Post();
         }},
        {"change a key",
         [&](TMemTable& t) {
             ASSERT_TRUE(t.Locate(uidl, key('a')));
             t.Edit();
             t.SetString(uidl, key('z'));
             t.Post();
         }},
        {"delete the first of a shared key",
         [&](TMemTable& t) {
             ASSERT_TRUE(t.Locate(uidl, key('b')));
             t.Delete();
         }},
        {"append",
         [&](TMemTable& t) {
             t.Append();
             t.SetString(uidl, key('y'));
             t.Post();
         }},
        {"null a text",
         [&](TMemTable& t) {
             ASSERT_TRUE(t.Locate(uidl, key('c')));
             t.Edit();
             t.SetNull(t.FieldByName("Recipients"));
             t.Post();
         }},
    };
    const auto cells = [&](TMemTable& t) {
        std::vector<std::string> out;
        for (t.First(); !t.Eof(); t.Next()) {
            for (int c = 0; c < static_cast<int>(t.Columns().size()); ++c) {
                out.push_back(t.AsString(c));
            }
        }
        return out;
    };
    for (const auto& [name, step] : steps) {
        SCOPED_TRACE(name);
        step(copied);
        step(kept);
        EXPECT_EQ(TTableFormat().Save(kept), TTableFormat().Save(copied));
        for (const char c : {'a', 'b', 'c', 'y', 'z'}) {
            const bool found = copied.Locate(uidl, key(c));
            ASSERT_EQ(kept.Locate(uidl, key(c)), found) << c;
            if (found) {
                EXPECT_EQ(kept.AsString(subject), copied.AsString(subject)) << c;
            }
        }
    }
    EXPECT_EQ(cells(kept), cells(copied));

    // A column of a negative size holds no text, whichever way its rows are read.
    for (const bool keep : {false, true}) {
        TMemTable table;
        LoadEither(table, VersionedFile(251, -1), keep);
        table.First();
        EXPECT_EQ(table.AsString(0), "") << keep;
        EXPECT_EQ(table.AsInteger(1), 1) << keep;
    }

    // Row identities lead to the same values, and a moved table keeps its rows' bytes.
    TMemTable moved = std::move(kept);
    std::vector<std::vector<TFieldView>> viaRefs;
    moved.ForEachRowOf([&](TMemTable::TRowRef row, std::span<const TFieldView>) {
        std::vector<TFieldView> values;
        moved.RowValues(row, values);
        viaRefs.push_back(values);
    });
    std::vector<std::vector<TFieldView>> viaRows;
    copied.ForEachRow([&](std::span<const TFieldView> values) {
        viaRows.emplace_back(values.begin(), values.end());
    });
    EXPECT_EQ(viaRefs, viaRows);
}

TEST(TableFormat, LenientValues) {
    // A boolean is any single tag (only 9 is true); a date-time may be written as an integer.
    const std::string file = Bytes()
                                 .Raw("TPF0")
                                 .Int(251)
                                 .Begin()
                                 .Text("B")
                                 .Text("Boolean")
                                 .Int(0)
                                 .Text("B")
                                 .Text("")
                                 .Int(5)
                                 .Raw({7, 8})  // required: tag 7 reads as false
                                 .Text("Data")
                                 .Text("")
                                 .Text("D")
                                 .Text("DateTime")
                                 .Int(0)
                                 .Text("D")
                                 .Text("")
                                 .Int(18)
                                 .Bool(false)
                                 .Bool(false)
                                 .Text("Data")
                                 .Text("")
                                 .End()
                                 .Begin()
                                 .End()
                                 .Begin()
                                 .Begin()
                                 .Int(0)
                                 .Raw({8, 0x0D})
                                 .Raw({8})
                                 .Int(40000)
                                 .End()
                                 .End()
                                 .str();
    TMemTable table;
    TTableFormat().Load(table, file);
    table.First();
    EXPECT_FALSE(table.Columns()[0].Required);
    EXPECT_FALSE(table.AsBoolean(0));
    EXPECT_FALSE(table.IsNull(0));
    EXPECT_EQ(table.AsDateTime(1), 40000.0);
}

TEST(TableFormat, Errors) {
    const std::string good = VersionedFile(251);
    struct Case {
        std::string bytes;
        std::string error;
    };
    std::string badType = good;
    badType.replace(badType.find("\x07Integer"), 8, std::string("\x07Numeric"));
    std::string badTag = good;
    badTag[4] = 0x07;  // the version is not an integer
    const std::vector<Case> cases = {
        {"", "Stream read error"},
        {"TPF", "Stream read error"},
        {"TPF1\x03\xFB", "Invalid stream format"},
        {"TPF0", "Stream read error"},
        {badType, "Unknown field type (Numeric)"},
        {badTag, "Invalid property value"},
        {Bytes().Raw("TPF0").Int(251).Raw({2}).str(), "Invalid property value"},
        {Bytes().Raw("TPF0").Int(251).Begin().Int(5).str(), "Invalid property value"},
        // Rows of no columns in a file without row lists would never end.
        {Bytes().Raw("TPF0").Int(200).Begin().End().Begin().End().Begin().Int(0).str(),
         "Invalid property value"},
        // A long text longer than the file.
        {Bytes().Raw("TPF0").Int(251).Begin().Raw({12, 0xFF, 0xFF, 0xFF, 0x7F}).str(),
         "Stream read error"},
    };
    for (const Case& c : cases) {
        TMemTable table;
        EXPECT_EQ(ErrorOf([&] { TTableFormat().Load(table, c.bytes); }), c.error) << Hex(c.bytes);
    }
}

TEST(TableFormat, TruncatedFileAtEveryLengthFailsCleanly) {
    TMemTable table;
    table.SetColumns(MailBoxColumns());
    table.SetIndexes(MailBoxIndexes());
    table.Append();
    table.SetString(0, std::string(32, 'k'));
    table.SetString(10, std::string(300, 's'));
    table.SetDateTime(8, 45000.75);
    table.Post();
    const std::string bytes = TTableFormat().Save(table);
    for (size_t length = 0; length < bytes.size(); ++length) {
        TMemTable target;
        target.SetColumns({TColumnDef::Make("Untouched", TFieldType::Integer)});
        ASSERT_EQ(ErrorOf([&] { TTableFormat().Load(target, bytes.substr(0, length)); }),
                  "Stream read error")
            << length;
        // A failed load leaves the table as it was.
        ASSERT_EQ(target.Columns().size(), 1u);
    }
}

TEST(TableFormat, FilesAreReplacedWhole) {
    const quobel::testing::TempFolder scratch;
    const std::string folder = scratch.File("table_format_files");
    std::filesystem::remove_all(folder);
    ASSERT_TRUE(ForceFolders(folder));
    const std::string file = folder + "/box.dat";
    TMemTable table;
    table.SetColumns(MailBoxColumns());
    table.SetIndexes(MailBoxIndexes());
    const TTableFormat format;
    format.SaveToFile(table, file);
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(file, bytes));
    EXPECT_EQ(bytes, format.Save(table));
    EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    TMemTable back;
    format.LoadFromFile(back, file);
    EXPECT_EQ(back.Columns().size(), 21u);
    EXPECT_THAT(ErrorOf([&] { format.LoadFromFile(back, folder + "/missing.dat"); }),
                ::testing::StartsWith("Cannot open file \""));
    EXPECT_THAT(ErrorOf([&] { format.SaveToFile(table, folder + "/gone/box.dat"); }),
                ::testing::StartsWith("Unable to write to "));
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace quobel
