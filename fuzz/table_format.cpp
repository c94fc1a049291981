// Feeds arbitrary bytes to the table file reader. Whatever it accepts must survive a save and a
// second load unchanged: saving the re-read table gives the same bytes again, whether its rows
// were copied or kept in the bytes read.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/error.h"
#include "store/mem_table.h"
#include "store/table_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const quobel::TTableFormat format;
    quobel::TMemTable table;
    try {
        format.Load(table, std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const quobel::Error&) {
        return 0;
    }
    const std::string saved = format.Save(table);
    // Rows kept in the read bytes must read and save as copied ones do.
    quobel::TMemTable kept;
    const auto bytes =
        std::make_shared<const std::string>(reinterpret_cast<const char*>(data), size);
    format.Load(kept, *bytes, bytes);
    if (format.Save(kept) != saved) {
        __builtin_trap();
    }
    quobel::TMemTable again;
    const auto savedBytes = std::make_shared<const std::string>(saved);
    format.Load(again, *savedBytes, savedBytes);  // must not throw
    if (format.Save(again) != saved || again.RowCount() != table.RowCount()) {
        __builtin_trap();
    }
    // Every key must be found through the index, whatever duplicates the file holds.
    using quobel::TFieldType;
    if (!again.Columns().empty() && again.Columns()[0].Type != TFieldType::Integer &&
        again.Columns()[0].Type != TFieldType::Boolean &&
        again.Columns()[0].Type != TFieldType::DateTime) {
        std::vector<std::string> keys;
        again.ForEachRow([&](std::span<const quobel::TFieldView> values) {
            const auto* text = std::get_if<std::string_view>(&values[0]);
            keys.emplace_back(text != nullptr ? *text : std::string_view());
        });
        for (const std::string& key : keys) {
            if (!again.Locate(0, key) || again.AsString(0) != key) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
