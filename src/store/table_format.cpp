#include "store/table_format.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "core/error.h"
#include "core/file_util.h"
#include "store/extended_float.h"

namespace quobel {
namespace {

enum Tag : uint8_t {
    kEndOfList = 0,
    kBeginList = 1,
    kInt8 = 2,
    kInt16 = 3,
    kInt32 = 4,
    kExtended = 5,
    kShortText = 6,
    kFalse = 8,
    kTrue = 9,
    kLongText = 12,
};

class Writer {
  public:
    explicit Writer(std::string& out) : out_(out) {}

    void Byte(uint8_t value) { out_.push_back(static_cast<char>(value)); }

    void Integer(int32_t value) {
        if (value >= -128 && value <= 127) {
            Byte(kInt8);
            Byte(static_cast<uint8_t>(value));
        } else if (value >= -32768 && value <= 32767) {
            Byte(kInt16);
            LittleEndian(static_cast<uint32_t>(value), 2);
        } else {
            Byte(kInt32);
            LittleEndian(static_cast<uint32_t>(value), 4);
        }
    }

    void Text(std::string_view text) {
        if (text.size() < 256) {
            Byte(kShortText);
            Byte(static_cast<uint8_t>(text.size()));
        } else {
            Byte(kLongText);
            LittleEndian(static_cast<uint32_t>(text.size()), 4);
        }
        out_.append(text);
    }

    void Boolean(bool value) { Byte(value ? kTrue : kFalse); }

    void Float(double value) {
        Byte(kExtended);
        const TExtended bytes = DoubleToExtended(value);
        out_.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }

  private:
    void LittleEndian(uint32_t value, int count) {
        for (int i = 0; i < count; ++i) {
            Byte(static_cast<uint8_t>(value >> (8 * i)));
        }
    }

    std::string& out_;
};

class Reader {
  public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    uint8_t PeekTag() const {
        Need(1);
        return Byte(pos_);
    }

    uint8_t TakeTag() {
        const uint8_t tag = PeekTag();
        ++pos_;
        return tag;
    }

    std::string_view Take(size_t count) {
        Need(count);
        const std::string_view result(bytes_.data() + pos_, count);
        pos_ += count;
        return result;
    }

    void BeginList() {
        if (TakeTag() != kBeginList) {
            throw Error("Invalid property value");
        }
    }

    void EndList() {
        if (TakeTag() != kEndOfList) {
            throw Error("Invalid property value");
        }
    }

    bool AtEndOfList() const { return PeekTag() == kEndOfList; }

    size_t Position() const { return pos_; }

    int32_t Integer() {
        const uint8_t tag = TakeTag();
        if (!IsIntegerTag(tag)) {
            throw Error("Invalid property value");
        }
        return IntegerBody(tag);
    }

    std::string_view Text() {
        const uint8_t tag = PeekTag();
        if (tag == kShortText) {
            Need(2);
            const uint8_t length = Byte(pos_ + 1);
            pos_ += 2;
            return Take(length);
        }
        ++pos_;
        if (tag == kLongText) {
            const auto length = static_cast<uint32_t>(LittleEndian(4));
            return Take(length);
        }
        throw Error("Invalid property value");
    }

    bool Boolean() { return TakeTag() == kTrue; }

    double Float() {
        const uint8_t tag = TakeTag();
        if (tag == kExtended) {
            return ExtendedToDouble(reinterpret_cast<const uint8_t*>(Take(10).data()));
        }
        if (IsIntegerTag(tag)) {
            return IntegerBody(tag);
        }
        throw Error("Invalid property value");
    }

  private:
    static bool IsIntegerTag(uint8_t tag) { return tag == kInt8 || tag == kInt16 || tag == kInt32; }

    int32_t IntegerBody(uint8_t tag) {
        switch (tag) {
            case kInt8:
                return static_cast<int8_t>(LittleEndian(1));
            case kInt16:
                return static_cast<int16_t>(LittleEndian(2));
            default:
                return static_cast<int32_t>(LittleEndian(4));
        }
    }

    uint32_t LittleEndian(int count) {
        const std::string_view raw = Take(static_cast<size_t>(count));
        uint32_t value = 0;
        for (int i = count - 1; i >= 0; --i) {
            value = (value << 8) | static_cast<uint8_t>(raw[i]);
        }
        return value;
    }

    uint8_t Byte(size_t at) const { return static_cast<uint8_t>(bytes_[at]); }

    void Need(size_t count) const {
        if (bytes_.size() - pos_ < count) {
            throw Error("Stream read error");
        }
    }

    std::string_view bytes_;
    size_t pos_ = 0;
};

void WriteValue(Writer& out, TFieldType type, const TFieldView& value) {
    switch (type) {
        case TFieldType::FixedChar:
        case TFieldType::String:
        case TFieldType::Memo:
            out.Text(std::get<std::string_view>(value));
            break;
        case TFieldType::Integer:
            out.Integer(std::get<int32_t>(value));
            break;
        case TFieldType::Boolean:
            out.Boolean(std::get<bool>(value));
            break;
        case TFieldType::DateTime:
            out.Float(std::get<double>(value));
            break;
    }
}

std::string_view ClipText(std::string_view text, const TColumnDef& column) {
    // As the table cuts texts: a negative size holds nothing.
    const size_t limit = column.Size < 0 ? 0 : static_cast<size_t>(column.Size);
    if (column.Type != TFieldType::Memo && text.size() > limit) {
        text = text.substr(0, limit);
    }
    return text;
}

// Reads one cell by the column's type and applies the rules of setting it into the table.
TFieldView ReadValue(Reader& in, const TColumnDef& column) {
    switch (column.Type) {
        case TFieldType::FixedChar:
        case TFieldType::String:
            return ClipText(in.Text(), column);
        case TFieldType::Memo: {
            const std::string_view text = in.Text();
            if (text.empty()) {
                return std::monostate{};
            }
            return text;
        }
        case TFieldType::Integer:
            return in.Integer();
        case TFieldType::Boolean:
            return in.Boolean();
        case TFieldType::DateTime: {
            const double value = in.Float();
            if (value == 0) {
                return std::monostate{};
            }
            return value;
        }
    }
    return std::monostate{};
}

// Reads the row's first `count` values (all when `count` is larger).
void ReadRowValues(Reader& in, int version, const std::vector<TColumnDef>& columns,
                   std::vector<TFieldView>& values, size_t count = SIZE_MAX) {
    values.resize(columns.size());
    count = std::min(count, columns.size());
    for (size_t i = 0; i < count; ++i) {
        const bool isNull = version >= 249 && in.Boolean();
        values[i] = isNull ? TFieldView{} : ReadValue(in, columns[i]);
    }
}

void WriteRowValues(Writer& out, const std::vector<TColumnDef>& columns,
                    std::span<const TFieldView> values) {
    for (size_t i = 0; i < columns.size(); ++i) {
        const bool isNull = std::holds_alternative<std::monostate>(values[i]);
        out.Boolean(isNull);
        if (!isNull) {
            WriteValue(out, columns[i].Type, values[i]);
        }
    }
}

}  // namespace

std::string TTableFormat::EncodeRow(const std::vector<TColumnDef>& columns,
                                    std::span<const TFieldView> values) {
    if (values.size() != columns.size()) {
        throw Error("Invalid property value");
    }
    std::string bytes;
    Writer out(bytes);
    WriteRowValues(out, columns, values);
    return bytes;
}

void TTableFormat::DecodeRow(std::string_view bytes, const std::vector<TColumnDef>& columns,
                             std::vector<TFieldView>& values) {
    Reader in(bytes);
    ReadRowValues(in, kVersion, columns, values);
    if (in.Position() != bytes.size()) {
        throw Error("Invalid property value");
    }
}

std::string TTableFormat::Save(const TMemTable& table) const {
    std::string bytes;
    // Rows of a mailbox average a few hundred bytes; one reservation avoids most regrowth.
    bytes.reserve(1024 + table.RowCount() * 384);
    Writer out(bytes);
    bytes.append("TPF0");
    out.Integer(kVersion);

    const std::vector<TColumnDef>& columns = table.Columns();
    out.Byte(kBeginList);
    for (const TColumnDef& column : columns) {
        out.Text(column.Name);
        out.Text(FieldTypeName(column.Type));
        out.Integer(column.Size);
        out.Text(column.DisplayLabel);
        out.Text(column.EditMask);
        out.Integer(column.DisplayWidth);
        out.Boolean(column.Required);
        out.Boolean(column.ReadOnly);
        out.Text(column.Kind);
        out.Text(column.DefaultExpression);
    }
    out.Byte(kEndOfList);

    out.Byte(kBeginList);
    for (const TIndexDef& index : table.Indexes()) {
        out.Text(index.Name);
        out.Text(index.Fields);
        out.Text(index.Name);
        out.Boolean(index.Descending);
        out.Boolean(index.CaseInsensitive);
        out.Boolean(index.NonMaintained);
        out.Boolean(index.Unique);
    }
    out.Byte(kEndOfList);

    out.Byte(kBeginList);
    table.ForEachRow([&](std::span<const TFieldView> values) {
        out.Byte(kBeginList);
        out.Integer(0);  // update status
        WriteRowValues(out, columns, values);
        out.Byte(kEndOfList);
    });
    out.Byte(kEndOfList);
    return bytes;
}

void TTableFormat::Load(TMemTable& table, std::string_view bytes, TTableRowSink* sink) const {
    LoadRows(table, bytes, nullptr, sink);
}

void TTableFormat::Load(TMemTable& table, std::string_view bytes,
                        std::shared_ptr<const void> keeper, TTableRowSink* sink) const {
    if (keeper == nullptr) {
        throw Error("Rows kept in their bytes need something to keep them");
    }
    LoadRows(table, bytes, std::move(keeper), sink);
}

void TTableFormat::LoadRows(TMemTable& table, std::string_view bytes,
                            std::shared_ptr<const void> keeper, TTableRowSink* sink) const {
    Reader in(bytes);
    if (in.Take(4) != "TPF0") {
        throw Error("Invalid stream format");
    }
    const int version = in.PeekTag() == kBeginList ? 100 : in.Integer();

    std::vector<TColumnDef> columns;
    in.BeginList();
    while (!in.AtEndOfList()) {
        TColumnDef column;
        column.Name = in.Text();
        const std::string typeName(in.Text());
        column.Size = in.Integer();
        column.DisplayLabel = in.Text();
        column.EditMask = in.Text();
        column.DisplayWidth = in.Integer();
        column.Required = in.Boolean();
        column.ReadOnly = in.Boolean();
        column.Kind = version >= 250 ? std::string(in.Text()) : "Data";
        column.DefaultExpression = version > 250 ? std::string(in.Text()) : std::string();
        const std::optional<TFieldType> type = FieldTypeFromName(typeName);
        if (!type) {
            throw Error("Unknown field type (" + typeName + ")");
        }
        column.Type = *type;
        columns.push_back(std::move(column));
    }
    in.EndList();

    std::vector<TIndexDef> indexes;
    if (version >= 200) {
        in.BeginList();
        while (!in.AtEndOfList()) {
            TIndexDef index;
            index.Name = in.Text();  // replaced by the display name below
            index.Fields = in.Text();
            index.Name = in.Text();
            index.Descending = in.Boolean();
            index.CaseInsensitive = in.Boolean();
            index.NonMaintained = in.Boolean();
            index.Unique = in.Boolean();
            indexes.push_back(std::move(index));
        }
        in.EndList();
    }

    TMemTable loaded;
    loaded.SetColumns(columns);
    if (sink != nullptr) {
        sink->Columns(columns);
    }
    if (keeper != nullptr) {
        // The values decode the same way every time: the file's rules are applied as it is read.
        loaded.SetSource(std::move(keeper),
                         [version, columns](std::string_view row, std::vector<TFieldView>& values,
                                            size_t count) {
                             Reader rowIn(row);
                             ReadRowValues(rowIn, version, columns, values, count);
                         });
    }

    // Views into the file's bytes: the table copies each row into one block of its own, unless
    // the bytes are its source and the row stays in them.
    std::vector<TFieldView> values;
    std::vector<TFieldView> discarded;
    in.BeginList();
    while (!in.AtEndOfList()) {
        if (version <= 229 && columns.empty()) {
            // A row of no columns takes no bytes: anything but the list end would repeat it
            // forever.
            throw Error("Invalid property value");
        }
        if (version > 229) {
            in.BeginList();
            in.Integer();  // update status
        }
        const size_t rowStart = in.Position();
        ReadRowValues(in, version, columns, values);
        const std::string_view rowBytes = bytes.substr(rowStart, in.Position() - rowStart);
        if (version > 229) {
            // Earlier versions of the same row may follow; they are read and dropped.
            while (!in.AtEndOfList()) {
                in.Integer();
                ReadRowValues(in, version, columns, discarded);
            }
            in.EndList();
        }
        if (loaded.HasSource()) {
            loaded.AppendSourceRow(rowBytes, values);
        } else {
            loaded.AppendRow(values);
        }
        if (sink != nullptr) {
            sink->Row(loaded.LastRow(), values);  // the values are in their stored form already
        }
    }
    in.EndList();

    // The index is built once over all rows, with its final size known.
    if (indexes.empty()) {
        indexes = table.Indexes();
    }
    loaded.SetIndexes(std::move(indexes));
    loaded.First();
    table = std::move(loaded);
}

void TTableFormat::SaveToFile(const TMemTable& table, const std::string& fileName) const {
    WriteFileAtomic(fileName, Save(table));
}

std::string TTableFormat::ReadFile(const std::string& fileName) {
    std::string bytes;
    if (!ReadWholeFile(fileName, bytes)) {
        const int error = errno;
        throw Error("Cannot open file \"" + fileName + "\". " + std::strerror(error));
    }
    return bytes;
}

std::shared_ptr<const TFileBytes> TTableFormat::ReadFileBytes(const std::string& fileName) {
    std::shared_ptr<const TFileBytes> bytes = TFileBytes::Read(fileName);
    if (bytes == nullptr) {
        const int error = errno;
        throw Error("Cannot open file \"" + fileName + "\". " + std::strerror(error));
    }
    return bytes;
}

void TTableFormat::LoadFromFile(TMemTable& table, const std::string& fileName) const {
    Load(table, ReadFile(fileName));
}

}  // namespace quobel
