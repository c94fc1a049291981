#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>
#include <variant>

#include "commands.h"
#include "store/mem_table.h"
#include "store/table_format.h"

namespace quobel::inspect {

int RunTable(const Arguments& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: quobel-inspect table FILE\n");
        return 1;
    }
    TMemTable table;
    TTableFormat().LoadFromFile(table, args[0]);

    nlohmann::ordered_json json;
    json["columns"] = nlohmann::ordered_json::array();
    for (const TColumnDef& column : table.Columns()) {
        json["columns"].push_back({{"name", column.Name},
                                   {"type", FieldTypeName(column.Type)},
                                   {"size", column.Size},
                                   {"displayLabel", column.DisplayLabel},
                                   {"editMask", column.EditMask},
                                   {"displayWidth", column.DisplayWidth},
                                   {"required", column.Required},
                                   {"readOnly", column.ReadOnly},
                                   {"kind", column.Kind},
                                   {"defaultExpression", column.DefaultExpression}});
    }
    json["indexes"] = nlohmann::ordered_json::array();
    for (const TIndexDef& index : table.Indexes()) {
        json["indexes"].push_back({{"name", index.Name},
                                   {"fields", index.Fields},
                                   {"descending", index.Descending},
                                   {"caseInsensitive", index.CaseInsensitive},
                                   {"nonMaintained", index.NonMaintained},
                                   {"unique", index.Unique}});
    }
    json["rows"] = nlohmann::ordered_json::array();
    table.ForEachRow([&](std::span<const TFieldView> values) {
        nlohmann::ordered_json row = nlohmann::ordered_json::object();
        for (size_t i = 0; i < values.size(); ++i) {
            nlohmann::ordered_json cell;  // null
            std::visit(
                [&](const auto& value) {
                    using T = std::decay_t<decltype(value)>;
                    if constexpr (std::is_same_v<T, std::string_view>) {
                        cell = std::string(value);
                    } else if constexpr (!std::is_same_v<T, std::monostate>) {
                        cell = value;
                    }
                },
                values[i]);
            row[table.Columns()[i].Name] = std::move(cell);
        }
        json["rows"].push_back(std::move(row));
    });
    std::cout << json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    return 0;
}

}  // namespace quobel::inspect
