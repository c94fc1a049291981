#include "store/mem_table.h"

#include <algorithm>
#include <array>
#include <utility>

#include "core/error.h"

namespace quobel {
namespace {

struct TypeName {
    TFieldType Type;
    std::string_view Name;
};

constexpr std::array<TypeName, 6> kTypeNames = {{
    {TFieldType::FixedChar, "FixedChar"},
    {TFieldType::String, "String"},
    {TFieldType::Memo, "Memo"},
    {TFieldType::Integer, "Integer"},
    {TFieldType::Boolean, "Boolean"},
    {TFieldType::DateTime, "DateTime"},
}};

bool SameTextAscii(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

bool IsText(TFieldType type) {
    return type == TFieldType::FixedChar || type == TFieldType::String || type == TFieldType::Memo;
}

const std::string kEmpty;

}  // namespace

std::string_view FieldTypeName(TFieldType type) {
    for (const TypeName& entry : kTypeNames) {
        if (entry.Type == type) {
            return entry.Name;
        }
    }
    return {};
}

std::optional<TFieldType> FieldTypeFromName(std::string_view name) {
    for (const TypeName& entry : kTypeNames) {
        if (entry.Name == name) {
            return entry.Type;
        }
    }
    return std::nullopt;
}

TColumnDef TColumnDef::Make(std::string name, TFieldType type, int32_t size) {
    TColumnDef column;
    column.DisplayLabel = name;
    column.Name = std::move(name);
    column.Type = type;
    column.Size = size;
    switch (type) {
        case TFieldType::FixedChar:
        case TFieldType::String:
            column.DisplayWidth = size;
            break;
        case TFieldType::Memo:
        case TFieldType::Integer:
            column.DisplayWidth = 10;
            break;
        case TFieldType::Boolean:
            column.DisplayWidth = 5;
            break;
        case TFieldType::DateTime:
            column.DisplayWidth = 18;
            break;
    }
    return column;
}

TMemTable::TMemTable(TMemTable&& other) noexcept {
    *this = std::move(other);
}

TMemTable& TMemTable::operator=(TMemTable&& other) noexcept {
    if (this == &other) {
        return *this;
    }
    // A list's end iterator does not survive a move; every other iterator does.
    const bool atEnd = other.current_ == other.rows_.end();
    columns_ = std::move(other.columns_);
    indexes_ = std::move(other.indexes_);
    rows_ = std::move(other.rows_);
    current_ = atEnd ? rows_.end() : other.current_;
    state_ = other.state_;
    nextSeq_ = other.nextSeq_;
    indexColumn_ = other.indexColumn_;
    index_ = std::move(other.index_);
    other.rows_.clear();
    other.index_.clear();
    other.current_ = other.rows_.end();
    other.state_ = State::Browse;
    return *this;
}

void TMemTable::SetColumns(std::vector<TColumnDef> columns) {
    ClearRows();
    columns_ = std::move(columns);
    RebuildIndex();
}

void TMemTable::SetIndexes(std::vector<TIndexDef> indexes) {
    indexes_ = std::move(indexes);
    RebuildIndex();
}

int TMemTable::FindField(std::string_view name) const {
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (SameTextAscii(columns_[i].Name, name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int TMemTable::FieldByName(std::string_view name) const {
    const int column = FindField(name);
    if (column < 0) {
        throw Error("Field '" + std::string(name) + "' not found");
    }
    return column;
}

void TMemTable::ClearRows() {
    index_.clear();
    rows_.clear();
    current_ = rows_.end();
    state_ = State::Browse;
}

void TMemTable::First() {
    current_ = rows_.begin();
    state_ = State::Browse;
}

void TMemTable::Next() {
    if (current_ != rows_.end()) {
        ++current_;
    }
    state_ = State::Browse;
}

bool TMemTable::Locate(int column, std::string_view text) {
    CheckColumn(column);
    if (column == indexColumn_) {
        const auto found = index_.find(text);
        if (found == index_.end()) {
            return false;
        }
        current_ = found->second.First;
        state_ = State::Browse;
        return true;
    }
    for (auto row = rows_.begin(); row != rows_.end(); ++row) {
        if (KeyOf(*row, column) == text) {
            current_ = row;
            state_ = State::Browse;
            return true;
        }
    }
    return false;
}

void TMemTable::Append() {
    rows_.push_back(Row{nextSeq_++, std::vector<TFieldValue>(columns_.size())});
    current_ = std::prev(rows_.end());
    IndexAdd(current_);
    state_ = State::Insert;
}

void TMemTable::AppendRow(std::vector<TFieldValue> values) {
    if (values.size() != columns_.size()) {
        throw Error("Row has " + std::to_string(values.size()) + " values for " +
                    std::to_string(columns_.size()) + " columns");
    }
    rows_.push_back(Row{nextSeq_++, std::move(values)});
    IndexAdd(std::prev(rows_.end()));
}

void TMemTable::Edit() {
    if (current_ == rows_.end()) {
        throw Error("Cannot perform this operation on an empty dataset");
    }
    if (state_ == State::Browse) {
        state_ = State::Edit;
    }
}

void TMemTable::Post() {
    state_ = State::Browse;
}

void TMemTable::Delete() {
    if (current_ == rows_.end()) {
        throw Error("Cannot perform this operation on an empty dataset");
    }
    IndexRemove(current_);
    current_ = rows_.erase(current_);
    state_ = State::Browse;
}

void TMemTable::CheckColumn(int column) const {
    if (column < 0 || static_cast<size_t>(column) >= columns_.size()) {
        throw Error("Field index out of range");
    }
}

const TMemTable::Row& TMemTable::CurrentRow() const {
    if (current_ == rows_.end()) {
        throw Error("Cannot perform this operation on an empty dataset");
    }
    return *current_;
}

TMemTable::Row& TMemTable::CurrentForWrite(int column) {
    CheckColumn(column);
    if (current_ == rows_.end() || state_ == State::Browse) {
        throw Error("Dataset not in edit or insert mode");
    }
    return *current_;
}

bool TMemTable::IsNull(int column) const {
    CheckColumn(column);
    return std::holds_alternative<std::monostate>(CurrentRow().Values[column]);
}

const TFieldValue& TMemTable::Value(int column) const {
    CheckColumn(column);
    return CurrentRow().Values[column];
}

std::string TMemTable::AsString(int column) const {
    const TFieldValue& value = Value(column);
    if (const auto* text = std::get_if<std::string>(&value)) {
        return *text;
    }
    if (const auto* number = std::get_if<int32_t>(&value)) {
        return std::to_string(*number);
    }
    if (const auto* flag = std::get_if<bool>(&value)) {
        return *flag ? "True" : "False";
    }
    if (const auto* date = std::get_if<double>(&value)) {
        return FormatDateTimeMdy(*date);
    }
    return {};
}

std::string_view TMemTable::AsText(int column) const {
    if (const auto* text = std::get_if<std::string>(&Value(column))) {
        return *text;
    }
    return {};
}

int32_t TMemTable::AsInteger(int column) const {
    const TFieldValue& value = Value(column);
    if (const auto* number = std::get_if<int32_t>(&value)) {
        return *number;
    }
    return 0;
}

bool TMemTable::AsBoolean(int column) const {
    const TFieldValue& value = Value(column);
    if (const auto* flag = std::get_if<bool>(&value)) {
        return *flag;
    }
    return false;
}

TDateTime TMemTable::AsDateTime(int column) const {
    const TFieldValue& value = Value(column);
    if (const auto* date = std::get_if<double>(&value)) {
        return *date;
    }
    return 0;
}

TFieldValue TMemTable::Normalised(int column, TFieldValue value) const {
    const TColumnDef& def = columns_[column];
    if (std::holds_alternative<std::monostate>(value)) {
        return value;
    }
    const auto mismatch = [&] {
        return Error("Invalid value for field '" + def.Name + "' of type " +
                     std::string(FieldTypeName(def.Type)));
    };
    if (IsText(def.Type)) {
        auto* text = std::get_if<std::string>(&value);
        if (text == nullptr) {
            throw mismatch();
        }
        if (def.Type == TFieldType::Memo) {
            if (text->empty()) {
                return std::monostate{};
            }
        } else if (text->size() > static_cast<size_t>(std::max(def.Size, 0))) {
            text->resize(static_cast<size_t>(std::max(def.Size, 0)));
        }
        return value;
    }
    const bool fits = (def.Type == TFieldType::Integer && std::holds_alternative<int32_t>(value)) ||
                      (def.Type == TFieldType::Boolean && std::holds_alternative<bool>(value)) ||
                      (def.Type == TFieldType::DateTime && std::holds_alternative<double>(value));
    if (!fits) {
        throw mismatch();
    }
    return value;
}

std::string_view TMemTable::KeyOf(const Row& row, int column) {
    if (const auto* text = std::get_if<std::string>(&row.Values[column])) {
        return *text;
    }
    return kEmpty;
}

void TMemTable::StoreCell(Row& row, int column, TFieldValue value) {
    value = Normalised(column, std::move(value));
    if (column != indexColumn_) {
        row.Values[column] = std::move(value);
        return;
    }
    const RowIterator it = current_;
    IndexRemove(it);
    row.Values[column] = std::move(value);
    IndexAdd(it);
}

void TMemTable::SetValue(int column, TFieldValue value) {
    Row& row = CurrentForWrite(column);
    StoreCell(row, column, std::move(value));
}

void TMemTable::SetString(int column, std::string_view text) {
    SetValue(column, std::string(text));
}

void TMemTable::SetInteger(int column, int32_t value) {
    SetValue(column, value);
}

void TMemTable::SetBoolean(int column, bool value) {
    SetValue(column, value);
}

void TMemTable::SetDateTime(int column, TDateTime value) {
    SetValue(column, value);
}

void TMemTable::SetNull(int column) {
    SetValue(column, std::monostate{});
}

void TMemTable::IndexAdd(RowIterator row) {
    if (indexColumn_ < 0) {
        return;
    }
    auto [entry, inserted] = index_.try_emplace(KeyOf(*row, indexColumn_), IndexEntry{row, 0});
    if (!inserted && row->Seq < entry->second.First->Seq) {
        entry->second.First = row;
    }
    ++entry->second.Count;
}

void TMemTable::IndexRemove(RowIterator row) {
    if (indexColumn_ < 0) {
        return;
    }
    const std::string_view key = KeyOf(*row, indexColumn_);
    const auto entry = index_.find(key);
    if (entry == index_.end()) {
        return;
    }
    if (--entry->second.Count == 0) {
        index_.erase(entry);
        return;
    }
    if (entry->second.First != row) {
        return;
    }
    // Another row shares the key: the map's key view must move to that row's text, and the entry
    // must name the earliest such row. Shared keys only come from files written elsewhere.
    IndexEntry next = entry->second;
    index_.erase(entry);
    for (auto it = std::next(row); it != rows_.end(); ++it) {
        if (KeyOf(*it, indexColumn_) == key) {
            next.First = it;
            break;
        }
    }
    index_.emplace(KeyOf(*next.First, indexColumn_), next);
}

void TMemTable::RebuildIndex() {
    index_.clear();
    indexColumn_ = -1;
    for (const TIndexDef& index : indexes_) {
        if (index.Fields.find(';') == std::string::npos) {
            const int column = FindField(index.Fields);
            if (column >= 0 && IsText(columns_[column].Type)) {
                indexColumn_ = column;
                break;
            }
        }
    }
    if (indexColumn_ < 0) {
        return;
    }
    index_.reserve(rows_.size());
    for (auto row = rows_.begin(); row != rows_.end(); ++row) {
        IndexAdd(row);
    }
}

}  // namespace quobel
