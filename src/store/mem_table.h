#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "core/date_time.h"
#include "store/table_row_ref.h"

namespace quobel {

// The column types a mailbox table uses.
enum class TFieldType { FixedChar, String, Memo, Integer, Boolean, DateTime };

// "FixedChar", "String", "Memo", "Integer", "Boolean", "DateTime".
std::string_view FieldTypeName(TFieldType type);
std::optional<TFieldType> FieldTypeFromName(std::string_view name);

struct TColumnDef {
    std::string Name;
    TFieldType Type = TFieldType::String;
    int32_t Size = 0;
    std::string DisplayLabel;
    std::string EditMask;
    int32_t DisplayWidth = 0;
    bool Required = false;
    bool ReadOnly = false;
    std::string Kind = "Data";
    std::string DefaultExpression;

    // A column as the mailbox defines it: labelled with its name, display width by type.
    static TColumnDef Make(std::string name, TFieldType type, int32_t size = 0);
    bool operator==(const TColumnDef&) const = default;
};

struct TIndexDef {
    std::string Name;
    std::string Fields;  // column names separated by ";"
    bool Descending = false;
    bool CaseInsensitive = false;
    bool NonMaintained = false;
    bool Unique = false;
    bool operator==(const TIndexDef&) const = default;
};

// The position of the column of that name (compared without regard to ASCII case), or -1.
int FindColumn(const std::vector<TColumnDef>& columns, std::string_view name);

// One cell: null, a text (FixedChar, String, Memo), an integer, a boolean or a date-time.
using TFieldValue = std::variant<std::monostate, std::string, int32_t, bool, double>;
// The same without owning its text: how rows are read out and appended in bulk.
using TFieldView = std::variant<std::monostate, std::string_view, int32_t, bool, double>;

// The in-memory table behind a mailbox: rows in a fixed order with a cursor, cells by column,
// and a hash index on the column of a single-column index definition, so that finding a row by
// its key and updating it take constant time however many rows there are.
class TMemTable {
  public:
    TMemTable() = default;
    TMemTable(TMemTable&& other) noexcept;
    TMemTable& operator=(TMemTable&& other) noexcept;
    TMemTable(const TMemTable&) = delete;
    TMemTable& operator=(const TMemTable&) = delete;

    const std::vector<TColumnDef>& Columns() const { return columns_; }
    const std::vector<TIndexDef>& Indexes() const { return indexes_; }
    // Replacing the columns drops every row; replacing the indexes rebuilds the hash index.
    void SetColumns(std::vector<TColumnDef> columns);
    void SetIndexes(std::vector<TIndexDef> indexes);

    // -1 when there is no such column (names compare without regard to ASCII case).
    int FindField(std::string_view name) const;
    // Throws Error("Field 'NAME' not found").
    int FieldByName(std::string_view name) const;

    size_t RowCount() const { return rows_.size(); }
    // Counts every change of rows or cells: whoever saves the table can tell whether anything
    // changed besides what it knows of.
    uint64_t Revision() const { return revision_; }
    void ClearRows();

    // Cursor.
    void First();
    void Next();
    bool Eof() const { return current_ == rows_.end(); }
    // Moves to the first row (in row order) whose cell equals the text exactly; a null cell
    // equals the empty text. Returns false and leaves the cursor where it was when none does.
    bool Locate(int column, std::string_view text);
    bool Locate(std::string_view column, std::string_view text) {
        return Locate(FieldByName(column), text);
    }
    // Builds the hash index now rather than at the first Locate (for a table read on another
    // thread than the one that uses it).
    void BuildIndex() { EnsureIndex(); }

    // Appends an empty (all null) row at the end and makes it current, in insert state.
    void Append();
    // Puts the current row into edit state (throws at the end of rows).
    void Edit();
    // Ends the insert or edit state.
    void Post();
    // Removes the current row; the next row becomes current.
    void Delete();

    // Cells of the current row. Reading a null cell gives "", 0, false or 0.0.
    bool IsNull(int column) const;
    TFieldValue Value(int column) const;
    std::string AsString(int column) const;
    // The text of a text cell without a copy; empty for null and for other types. Valid until the
    // cell changes.
    std::string_view AsText(int column) const;
    int32_t AsInteger(int column) const;
    bool AsBoolean(int column) const;
    TDateTime AsDateTime(int column) const;

    // Setting needs the insert or edit state. Texts are cut to the column's size for the two
    // fixed-size text types; an empty text makes a memo null.
    void SetString(int column, std::string_view text);
    void SetInteger(int column, int32_t value);
    void SetBoolean(int column, bool value);
    void SetDateTime(int column, TDateTime value);
    void SetNull(int column);
    // Stores a cell as it is (a null, or a value of the column's kind), with the same rules.
    void SetValue(int column, TFieldValue value);

    // Whole-row access in row order for readers, writers and copies: the visitor gets one view
    // per column, valid during the call.
    template <typename F>
    void ForEachRow(F&& visit) const {
        std::vector<TFieldView> views(columns_.size());
        for (const Row& row : rows_) {
            if (row.InSource()) {
                decoder_(row.Source(), views, views.size());
            } else {
                for (size_t i = 0; i < views.size(); ++i) {
                    views[i] = row.Cells()[i].View();
                }
            }
            visit(std::span<const TFieldView>(views));
        }
    }
    // The same with each row's identity.
    template <typename F>
    void ForEachRowOf(F&& visit) const {
        std::vector<TFieldView> views;
        for (const Row& row : rows_) {
            RowValues(TRowRef(&row), views);
            visit(TRowRef(&row), std::span<const TFieldView>(views));
        }
    }
    // Appends a row (one value per column; the cell rules apply) without touching the cursor.
    void AppendRow(std::span<const TFieldView> values);

    // Reads the values of a row's first `count` columns, in their stored form, from its bytes.
    // The texts point into those bytes.
    using TRowDecoder =
        std::function<void(std::string_view bytes, std::vector<TFieldView>& values, size_t count)>;
    // Rows read from a file can stay in the file's bytes: such a row is decoded when one of its
    // cells is first read or written, so that loading a large table costs little more than
    // finding where its rows are. The table keeps the bytes while any row points into them.
    void SetSource(std::shared_ptr<const void> keeper, TRowDecoder decoder);
    // Appends a row kept in the source's bytes (a part of them, which the decoder reads as
    // `values`) without touching the cursor. Values not in the form the table stores (a text
    // longer than its column, say) are stored as AppendRow stores them instead.
    void AppendSourceRow(std::string_view bytes, std::span<const TFieldView> values);
    bool HasSource() const { return decoder_ != nullptr; }

    using TRowRef = TTableRowRef;
    TRowRef LastRow() const { return rows_.empty() ? nullptr : TRowRef(&rows_.back()); }
    // The row under the cursor; null at the end of rows.
    TRowRef CurrentRef() const { return current_ == rows_.end() ? nullptr : TRowRef(&*current_); }
    // The values of a row, as ForEachRow gives them, valid until the row changes. When fewer than
    // all are asked for, only the first `count` are read and the others left as they were.
    void RowValues(TRowRef ref, std::vector<TFieldView>& values, size_t count = SIZE_MAX) const;

  private:
    // A cell in 16 bytes. A text points either into its row's block (texts that came with the
    // row) or to its own allocation (texts set later).
    struct Cell {
        enum Kind : uint8_t { kNull, kText, kInteger, kBoolean, kFloat };
        Kind kind = kNull;
        bool owned = false;
        uint32_t size = 0;
        union {
            const char* text;
            int32_t integer;
            bool boolean;
            double number;
        };
        Cell() : text(nullptr) {}

        std::string_view Text() const {
            return kind == kText ? std::string_view(text, size) : std::string_view();
        }
        TFieldView View() const;
    };

    // One allocation per row holds its cells followed by the bytes of their texts. A row still
    // in the source has no cells yet: only where its bytes are.
    class Row {
      public:
        Row(uint64_t seq, size_t columns, size_t textBytes);
        Row(uint64_t seq, std::string_view source);
        ~Row();
        Row(const Row&) = delete;
        Row& operator=(const Row&) = delete;

        uint64_t Seq() const { return seq_; }
        bool InSource() const { return block_ == nullptr; }
        std::string_view Source() const { return source_; }
        Cell* Cells() { return reinterpret_cast<Cell*>(block_.get()); }
        const Cell* Cells() const { return reinterpret_cast<const Cell*>(block_.get()); }
        // Gives a row still in the source its cells; their texts stay in the source's bytes.
        void Decode(const TRowDecoder& decoder, size_t columns, std::vector<TFieldView>& scratch);
        // Stores a text in the row's block (only while the row is being built).
        void PutPacked(size_t column, std::string_view text);
        // Replaces a cell, freeing an owned text it held.
        void Put(size_t column, const TFieldView& value);

      private:
        void Release(Cell& cell);

        uint64_t seq_;
        size_t columns_ = 0;
        size_t packedUsed_ = 0;
        std::string_view source_;
        std::unique_ptr<std::byte[]> block_;
    };

    using RowIterator = std::list<Row>::iterator;
    struct IndexEntry {
        RowIterator First;  // first row with this key in row order
        uint32_t Count = 0;
    };

    Row& CurrentForWrite(int column);
    const Row& CurrentRow() const;
    // The row with its cells, decoding it first when it is still in the source.
    const Row& Decoded(const Row& row) const;
    // The row a reference stands for: the one place that turns a reference back.
    static const Row& RowOf(TRowRef ref) { return *static_cast<const Row*>(ref.Address()); }
    void CheckColumn(int column) const;
    // Applies the column's rules; throws for a value of the wrong kind.
    TFieldView Normalised(int column, TFieldView value) const;
    // Whether a value is what Normalised would make of it.
    static bool IsStoredForm(const TColumnDef& column, const TFieldView& value);
    void StoreCell(Row& row, int column, const TFieldView& value);
    std::string_view KeyOf(const Row& row, int column) const;
    // The index is built when first needed, over all rows: a table read from a file may never
    // need it. Finding, editing and deleting build it first; appended rows join it once it
    // exists.
    void EnsureIndex();
    void IndexAdd(RowIterator row);
    void IndexRemove(RowIterator row);
    void RebuildIndex();

    enum class State { Browse, Edit, Insert };

    std::vector<TColumnDef> columns_;
    std::vector<TIndexDef> indexes_;
    std::list<Row> rows_;
    RowIterator current_ = rows_.end();
    State state_ = State::Browse;
    uint64_t nextSeq_ = 0;
    uint64_t revision_ = 0;
    int indexColumn_ = -1;
    bool indexBuilt_ = false;
    // Keys are views of the text cells of the indexed column (null cells index as "").
    std::unordered_map<std::string_view, IndexEntry> index_;
    // Keeps the bytes that rows still in the source point into.
    std::shared_ptr<const void> source_;
    TRowDecoder decoder_;
    std::vector<TFieldView> scratch_;  // AppendRow's checked values, kept to avoid reallocation
    mutable std::vector<TFieldView> decoded_;  // a decoded source row, kept likewise
};

}  // namespace quobel
