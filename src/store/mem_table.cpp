#include "store/mem_table.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#include "core/error.h"
#include "core/strings.h"

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

bool IsText(TFieldType type) {
    return type == TFieldType::FixedChar || type == TFieldType::String || type == TFieldType::Memo;
}

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
    // A table replaced whole has changed.
    revision_ = other.revision_ + 1;
    indexColumn_ = other.indexColumn_;
    indexBuilt_ = other.indexBuilt_;
    index_ = std::move(other.index_);
    source_ = std::move(other.source_);
    decoder_ = std::move(other.decoder_);
    scratch_.clear();
    other.rows_.clear();
    other.index_.clear();
    other.source_.reset();
    other.decoder_ = nullptr;
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

int FindColumn(const std::vector<TColumnDef>& columns, std::string_view name) {
    for (size_t i = 0; i < columns.size(); ++i) {
        if (SameTextAscii(columns[i].Name, name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int TMemTable::FindField(std::string_view name) const {
    return FindColumn(columns_, name);
}

int TMemTable::FieldByName(std::string_view name) const {
    const int column = FindField(name);
    if (column < 0) {
        throw Error("Field '" + std::string(name) + "' not found");
    }
    return column;
}

void TMemTable::ClearRows() {
    ++revision_;
    index_.clear();
    rows_.clear();
    source_.reset();
    decoder_ = nullptr;
    current_ = rows_.end();
    state_ = State::Browse;
}

void TMemTable::SetSource(std::shared_ptr<const void> keeper, TRowDecoder decoder) {
    source_ = std::move(keeper);
    decoder_ = std::move(decoder);
}

void TMemTable::AppendSourceRow(std::string_view bytes, std::span<const TFieldView> values) {
    if (!decoder_) {
        throw Error("Table rows need a source to stay in");
    }
    bool stored = values.size() == columns_.size();
    for (size_t i = 0; i < values.size() && stored; ++i) {
        stored = IsStoredForm(columns_[i], values[i]);
    }
    if (!stored) {
        AppendRow(values);
        return;
    }
    rows_.emplace_back(nextSeq_++, bytes);
    ++revision_;
    if (indexBuilt_) {
        IndexAdd(std::prev(rows_.end()));
    }
}

void TMemTable::RowValues(TRowRef ref, std::vector<TFieldView>& values, size_t count) const {
    const Row& row = RowOf(ref);
    values.resize(columns_.size());
    count = std::min(count, values.size());
    if (row.InSource()) {
        decoder_(row.Source(), values, count);
        return;
    }
    for (size_t i = 0; i < count; ++i) {
        values[i] = row.Cells()[i].View();
    }
}

const TMemTable::Row& TMemTable::Decoded(const Row& row) const {
    if (row.InSource()) {
        // Rows are never const themselves: only this view of the table is.
        const_cast<Row&>(row).Decode(decoder_, columns_.size(), decoded_);
    }
    return row;
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

TFieldView TMemTable::Cell::View() const {
    switch (kind) {
        case kText:
            return std::string_view(text, size);
        case kInteger:
            return integer;
        case kBoolean:
            return boolean;
        case kFloat:
            return number;
        case kNull:
            break;
    }
    return std::monostate{};
}

TMemTable::Row::Row(uint64_t seq, size_t columns, size_t textBytes)
    : seq_(seq), columns_(columns), block_(new std::byte[columns * sizeof(Cell) + textBytes]) {
    static_assert(std::is_trivially_destructible_v<Cell>);
    for (size_t i = 0; i < columns; ++i) {
        new (Cells() + i) Cell();
    }
}

TMemTable::Row::Row(uint64_t seq, std::string_view source) : seq_(seq), source_(source) {}

TMemTable::Row::~Row() {
    if (block_ == nullptr) {
        return;
    }
    for (size_t i = 0; i < columns_; ++i) {
        Release(Cells()[i]);
    }
}

void TMemTable::Row::Decode(const TRowDecoder& decoder, size_t columns,
                            std::vector<TFieldView>& scratch) {
    scratch.resize(columns);
    decoder(source_, scratch, columns);
    auto block = std::make_unique<std::byte[]>(columns * sizeof(Cell));
    Cell* cells = reinterpret_cast<Cell*>(block.get());
    for (size_t i = 0; i < columns; ++i) {
        new (cells + i) Cell();
    }
    block_ = std::move(block);
    columns_ = columns;
    for (size_t i = 0; i < columns; ++i) {
        if (const auto* text = std::get_if<std::string_view>(&scratch[i])) {
            // Not owned: the text stays in the source, which the table keeps.
            Cell& cell = Cells()[i];
            cell.kind = Cell::kText;
            cell.text = text->empty() ? "" : text->data();
            cell.size = static_cast<uint32_t>(text->size());
        } else {
            Put(i, scratch[i]);
        }
    }
}

void TMemTable::Row::Release(Cell& cell) {
    if (cell.kind == Cell::kText && cell.owned) {
        delete[] cell.text;
    }
    cell = Cell();
}

void TMemTable::Row::PutPacked(size_t column, std::string_view text) {
    Cell& cell = Cells()[column];
    Release(cell);
    char* target = reinterpret_cast<char*>(block_.get()) + columns_ * sizeof(Cell) + packedUsed_;
    if (!text.empty()) {
        std::memcpy(target, text.data(), text.size());
    }
    packedUsed_ += text.size();
    cell.kind = Cell::kText;
    cell.text = target;
    cell.size = static_cast<uint32_t>(text.size());
}

void TMemTable::Row::Put(size_t column, const TFieldView& value) {
    Cell& cell = Cells()[column];
    Release(cell);
    if (const auto* text = std::get_if<std::string_view>(&value)) {
        cell.kind = Cell::kText;
        cell.size = static_cast<uint32_t>(text->size());
        if (text->empty()) {
            cell.text = "";
        } else {
            char* copy = new char[text->size()];
            std::memcpy(copy, text->data(), text->size());
            cell.text = copy;
            cell.owned = true;
        }
    } else if (const auto* integer = std::get_if<int32_t>(&value)) {
        cell.kind = Cell::kInteger;
        cell.integer = *integer;
    } else if (const auto* boolean = std::get_if<bool>(&value)) {
        cell.kind = Cell::kBoolean;
        cell.boolean = *boolean;
    } else if (const auto* number = std::get_if<double>(&value)) {
        cell.kind = Cell::kFloat;
        cell.number = *number;
    }
}

bool TMemTable::Locate(int column, std::string_view text) {
    CheckColumn(column);
    if (column == indexColumn_) {
        EnsureIndex();
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
    EnsureIndex();
    rows_.emplace_back(nextSeq_++, columns_.size(), 0);
    ++revision_;
    current_ = std::prev(rows_.end());
    IndexAdd(current_);
    state_ = State::Insert;
}

void TMemTable::AppendRow(std::span<const TFieldView> values) {
    if (values.size() != columns_.size()) {
        throw Error("Row has " + std::to_string(values.size()) + " values for " +
                    std::to_string(columns_.size()) + " columns");
    }
    // Rows read from a file come in their stored form already; only others are normalised (and
    // checked first, so that a bad value leaves the table as it was).
    size_t textBytes = 0;
    bool stored = true;
    for (size_t i = 0; i < values.size() && stored; ++i) {
        stored = IsStoredForm(columns_[i], values[i]);
        if (const auto* text = std::get_if<std::string_view>(&values[i])) {
            textBytes += text->size();
        }
    }
    std::span<const TFieldView> row = values;
    if (!stored) {
        std::vector<TFieldView>& normalised = scratch_;
        normalised.resize(values.size());
        textBytes = 0;
        for (size_t i = 0; i < values.size(); ++i) {
            normalised[i] = Normalised(static_cast<int>(i), values[i]);
            if (const auto* text = std::get_if<std::string_view>(&normalised[i])) {
                textBytes += text->size();
            }
        }
        row = normalised;
    }
    Row& added = rows_.emplace_back(nextSeq_++, columns_.size(), textBytes);
    ++revision_;
    for (size_t i = 0; i < row.size(); ++i) {
        const TFieldView& value = row[i];
        if (const auto* text = std::get_if<std::string_view>(&value)) {
            added.PutPacked(i, *text);
        } else {
            added.Put(i, value);
        }
    }
    if (indexBuilt_) {
        IndexAdd(std::prev(rows_.end()));
    }
}

bool TMemTable::IsStoredForm(const TColumnDef& column, const TFieldView& value) {
    switch (value.index()) {
        case 0:
            return true;
        case 1: {
            const size_t size = std::get<std::string_view>(value).size();
            if (column.Type == TFieldType::Memo) {
                return size != 0;
            }
            return IsText(column.Type) && size <= static_cast<size_t>(std::max(column.Size, 0));
        }
        case 2:
            return column.Type == TFieldType::Integer;
        case 3:
            return column.Type == TFieldType::Boolean;
        default:
            return column.Type == TFieldType::DateTime;
    }
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
    EnsureIndex();
    IndexRemove(current_);
    current_ = rows_.erase(current_);
    ++revision_;
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
    return Decoded(*current_);
}

TMemTable::Row& TMemTable::CurrentForWrite(int column) {
    CheckColumn(column);
    if (current_ == rows_.end() || state_ == State::Browse) {
        throw Error("Dataset not in edit or insert mode");
    }
    Decoded(*current_);
    return *current_;
}

bool TMemTable::IsNull(int column) const {
    CheckColumn(column);
    return CurrentRow().Cells()[column].kind == Cell::kNull;
}

TFieldValue TMemTable::Value(int column) const {
    CheckColumn(column);
    const Cell& cell = CurrentRow().Cells()[column];
    switch (cell.kind) {
        case Cell::kText:
            return std::string(cell.Text());
        case Cell::kInteger:
            return cell.integer;
        case Cell::kBoolean:
            return cell.boolean;
        case Cell::kFloat:
            return cell.number;
        case Cell::kNull:
            break;
    }
    return std::monostate{};
}

std::string TMemTable::AsString(int column) const {
    CheckColumn(column);
    const Cell& cell = CurrentRow().Cells()[column];
    switch (cell.kind) {
        case Cell::kText:
            return std::string(cell.Text());
        case Cell::kInteger:
            return std::to_string(cell.integer);
        case Cell::kBoolean:
            return cell.boolean ? "True" : "False";
        case Cell::kFloat:
            return FormatDateTimeMdy(cell.number);
        case Cell::kNull:
            break;
    }
    return {};
}

std::string_view TMemTable::AsText(int column) const {
    CheckColumn(column);
    return CurrentRow().Cells()[column].Text();
}

int32_t TMemTable::AsInteger(int column) const {
    CheckColumn(column);
    const Cell& cell = CurrentRow().Cells()[column];
    return cell.kind == Cell::kInteger ? cell.integer : 0;
}

bool TMemTable::AsBoolean(int column) const {
    CheckColumn(column);
    const Cell& cell = CurrentRow().Cells()[column];
    return cell.kind == Cell::kBoolean ? cell.boolean : false;
}

TDateTime TMemTable::AsDateTime(int column) const {
    CheckColumn(column);
    const Cell& cell = CurrentRow().Cells()[column];
    return cell.kind == Cell::kFloat ? cell.number : 0;
}

TFieldView TMemTable::Normalised(int column, TFieldView value) const {
    const TColumnDef& def = columns_[column];
    if (std::holds_alternative<std::monostate>(value)) {
        return value;
    }
    const auto mismatch = [&] {
        return Error("Invalid value for field '" + def.Name + "' of type " +
                     std::string(FieldTypeName(def.Type)));
    };
    if (IsText(def.Type)) {
        auto* text = std::get_if<std::string_view>(&value);
        if (text == nullptr) {
            throw mismatch();
        }
        if (def.Type == TFieldType::Memo) {
            if (text->empty()) {
                return std::monostate{};
            }
        } else if (text->size() > static_cast<size_t>(std::max(def.Size, 0))) {
            *text = text->substr(0, static_cast<size_t>(std::max(def.Size, 0)));
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

std::string_view TMemTable::KeyOf(const Row& row, int column) const {
    if (row.InSource()) {
        // Only as far as the key: the row itself stays in the source.
        decoded_.resize(columns_.size());
        decoder_(row.Source(), decoded_, static_cast<size_t>(column) + 1);
        const auto* text = std::get_if<std::string_view>(&decoded_[column]);
        return text != nullptr ? *text : std::string_view();
    }
    return row.Cells()[column].Text();
}

void TMemTable::StoreCell(Row& row, int column, const TFieldView& value) {
    ++revision_;
    const TFieldView normalised = Normalised(column, value);
    if (column != indexColumn_) {
        row.Put(static_cast<size_t>(column), normalised);
        return;
    }
    const RowIterator it = current_;
    EnsureIndex();
    IndexRemove(it);
    row.Put(static_cast<size_t>(column), normalised);
    IndexAdd(it);
}

void TMemTable::SetValue(int column, TFieldValue value) {
    Row& row = CurrentForWrite(column);
    TFieldView view;
    std::visit(
        [&](const auto& v) {
            if constexpr (std::is_same_v<std::decay_t<decltype(v)>, std::string>) {
                view = std::string_view(v);
            } else {
                view = v;
            }
        },
        value);
    StoreCell(row, column, view);
}

void TMemTable::SetString(int column, std::string_view text) {
    Row& row = CurrentForWrite(column);
    StoreCell(row, column, text);
}

void TMemTable::SetInteger(int column, int32_t value) {
    Row& row = CurrentForWrite(column);
    StoreCell(row, column, value);
}

void TMemTable::SetBoolean(int column, bool value) {
    Row& row = CurrentForWrite(column);
    StoreCell(row, column, value);
}

void TMemTable::SetDateTime(int column, TDateTime value) {
    Row& row = CurrentForWrite(column);
    StoreCell(row, column, value);
}

void TMemTable::SetNull(int column) {
    Row& row = CurrentForWrite(column);
    StoreCell(row, column, std::monostate{});
}

void TMemTable::EnsureIndex() {
    if (indexBuilt_) {
        return;
    }
    indexBuilt_ = true;
    if (indexColumn_ < 0) {
        return;
    }
    index_.reserve(rows_.size());
    for (auto row = rows_.begin(); row != rows_.end(); ++row) {
        IndexAdd(row);
    }
}

void TMemTable::IndexAdd(RowIterator row) {
    if (indexColumn_ < 0) {
        return;
    }
    auto [entry, inserted] = index_.try_emplace(KeyOf(*row, indexColumn_), IndexEntry{row, 0});
    if (!inserted && row->Seq() < entry->second.First->Seq()) {
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
    indexBuilt_ = false;
}

}  // namespace quobel
