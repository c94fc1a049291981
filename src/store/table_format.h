#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/file_util.h"
#include "store/mem_table.h"

namespace quobel {

// The table file "box.dat": a stream of tagged values holding the column definitions, the index
// definitions and the rows of a TMemTable. Writing always produces the current version (251);
// reading accepts every older version (100, 200, 229, 249, 250).
//
// Reading fails with Error("Stream read error") when the bytes run out, "Invalid stream format"
// for a wrong signature, "Invalid property value" for an unexpected tag and
// "Unknown field type (NAME)" for a column type it does not know. A failed read leaves the
// target table as it was.
// Receives what a read delivers while it reads: a consumer can take the rows as they come.
class TTableRowSink {
  public:
    virtual ~TTableRowSink() = default;
    // The table's columns, before any row.
    virtual void Columns(const std::vector<TColumnDef>& columns) = 0;
    // One row as the table stores it, a view per column; the texts point into the bytes being
    // read. `row` names it in the table that the read fills.
    virtual void Row(TMemTable::TRowRef row, std::span<const TFieldView> values) = 0;
};

class TTableFormat {
  public:
    static constexpr int kVersion = 251;

    std::string Save(const TMemTable& table) const;
    void Load(TMemTable& table, std::string_view bytes, TTableRowSink* sink = nullptr) const;
    // The same, but the rows stay in the bytes until they are used: the table keeps `keeper`,
    // which keeps the bytes.
    void Load(TMemTable& table, std::string_view bytes, std::shared_ptr<const void> keeper,
              TTableRowSink* sink = nullptr) const;

    // One row's values as this version writes them within a row (without the list marks and
    // the update status), and read back by the same rules as a file's rows; the journal of
    // added rows keeps rows so. Decoding throws Error as Load does; the texts point into
    // `bytes`.
    static std::string EncodeRow(const std::vector<TColumnDef>& columns,
                                 std::span<const TFieldView> values);
    static void DecodeRow(std::string_view bytes, const std::vector<TColumnDef>& columns,
                          std::vector<TFieldView>& values);

    // Replaces the file atomically (temporary file, flush, rename).
    void SaveToFile(const TMemTable& table, const std::string& fileName) const;
    void LoadFromFile(TMemTable& table, const std::string& fileName) const;
    // A table file's bytes; throws Error("Cannot open file \"NAME\". REASON").
    static std::string ReadFile(const std::string& fileName);
    static std::shared_ptr<const TFileBytes> ReadFileBytes(const std::string& fileName);

  private:
    void LoadRows(TMemTable& table, std::string_view bytes, std::shared_ptr<const void> keeper,
                  TTableRowSink* sink) const;
};

}  // namespace quobel
