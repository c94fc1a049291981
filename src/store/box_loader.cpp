#include "store/box_loader.h"

#include <algorithm>
#include <utility>
#include <variant>

#include "accounts/accounts.h"
#include "core/error.h"

namespace quobel {
namespace {

std::string_view TextOf(const TFieldView& value) {
    const auto* text = std::get_if<std::string_view>(&value);
    return text != nullptr ? *text : std::string_view();
}

bool BooleanOf(const TFieldView& value) {
    const auto* boolean = std::get_if<bool>(&value);
    return boolean != nullptr && *boolean;
}

int32_t IntegerOf(const TFieldView& value) {
    const auto* integer = std::get_if<int32_t>(&value);
    return integer != nullptr ? *integer : 0;
}

TDateTime DateTimeOf(const TFieldView& value) {
    const auto* number = std::get_if<double>(&value);
    return number != nullptr ? *number : 0;
}

// Each value of an item and the column it is kept in.
constexpr std::pair<const char*, int TBoxColumns::*> kColumns[] = {
    {"UIDL", &TBoxColumns::UIDL},
    {"Cache", &TBoxColumns::Cache},
    {"Account", &TBoxColumns::Account},
    {"Online", &TBoxColumns::Online},
    {"Attachments", &TBoxColumns::Attachments},
    {"Read", &TBoxColumns::Read},
    {"Downloaded", &TBoxColumns::Downloaded},
    {"Spam", &TBoxColumns::Spam},
    {"Date", &TBoxColumns::Date},
    {"DateStr", &TBoxColumns::DateStr},
    {"Subject", &TBoxColumns::Subject},
    {"Priority", &TBoxColumns::Priority},
    {"From", &TBoxColumns::From},
    {"To", &TBoxColumns::To},
    {"FromAddr", &TBoxColumns::FromAddr},
    {"Recipients", &TBoxColumns::Recipients},
    {"CC", &TBoxColumns::CC},
    {"BCC", &TBoxColumns::BCC},
    {"Size", &TBoxColumns::Size},
    {"Encrypted", &TBoxColumns::Encrypted},
    {"CachedCC", &TBoxColumns::CachedCC},
};

// Makes the item of one row's values.
void FillItem(TMailItem& item, std::span<const TFieldView> row, const TBoxColumns& c,
              const std::string& folder) {
    item.Folder = folder;
    item.UIDL = TextOf(row[c.UIDL]);
    item.Cache = TextOf(row[c.Cache]);
    if (!std::holds_alternative<std::monostate>(row[c.Account])) {
        item.AccountID = TextOf(row[c.Account]);
    }
    item.Online = BooleanOf(row[c.Online]);
    item.Attachments = BooleanOf(row[c.Attachments]);
    item.Read = BooleanOf(row[c.Read]);
    item.Downloaded = BooleanOf(row[c.Downloaded]);
    item.CachedData.Encrypted = BooleanOf(row[c.Encrypted]);
    item.CachedData.Date = DateTimeOf(row[c.Date]);
    item.CachedData.DateStr = TextOf(row[c.DateStr]);
    item.CachedData.Subject = TextOf(row[c.Subject]);
    item.CachedData.From = TextOf(row[c.From]);
    item.CachedData.To = TextOf(row[c.To]);
    item.CachedData.Priority = IntegerOf(row[c.Priority]);
    item.CachedData.CC = TextOf(row[c.CachedCC]);
    item.FromAddr = TextOf(row[c.FromAddr]);
    item.Recipients = SplitLines(TextOf(row[c.Recipients]));
    item.CCList = SplitLines(TextOf(row[c.CC]));
    item.BCCList = SplitLines(TextOf(row[c.BCC]));
    item.SetSize(IntegerOf(row[c.Size]));
}

}  // namespace

bool TBoxColumns::TryOf(const std::vector<TColumnDef>& columns, TBoxColumns& result) {
    for (const auto& [name, member] : kColumns) {
        result.*member = FindColumn(columns, name);
        if (result.*member < 0) {
            return false;
        }
    }
    return true;
}

TBoxColumns TBoxColumns::Of(const TMemTable& table) {
    TBoxColumns result{};
    for (const auto& [name, member] : kColumns) {
        result.*member = table.FieldByName(name);
    }
    return result;
}

void TBoxRowCollector::Columns(const std::vector<TColumnDef>& columns) {
    rows_.clear();
    unread_ = 0;
    usable_ = TBoxColumns::TryOf(columns, columns_);
}

void TBoxRowCollector::Row(TMemTable::TRowRef row, std::span<const TFieldView> values) {
    if (!usable_) {
        return;
    }
    const TBoxColumns& c = columns_;
    TPendingItem& pending = rows_.emplace_back();
    pending.Row = row;
    TMailItemSummary& summary = pending.Summary;
    summary.Date = DateTimeOf(values[c.Date]);
    summary.Size = IntegerOf(values[c.Size]);
    summary.Priority = IntegerOf(values[c.Priority]);
    summary.Read = BooleanOf(values[c.Read]);
    summary.Attachments = BooleanOf(values[c.Attachments]);
    if (!summary.Read) {
        ++unread_;
    }
}

void TBoxRowCollector::CollectAll(const TMemTable& table) {
    Columns(table.Columns());
    rows_.reserve(table.RowCount());
    table.ForEachRowOf(
        [this](TMemTable::TRowRef row, std::span<const TFieldView> values) { Row(row, values); });
}

void TBoxItemFactory::SetColumns(const TBoxColumns& columns, std::string folder) {
    columns_ = columns;
    // A peek reads a row only as far as the last value it shows.
    peekColumns_ =
        1 + static_cast<size_t>(std::max({columns.UIDL, columns.Subject, columns.From, columns.To,
                                          columns.DateStr, columns.Account}));
    folder_ = std::move(folder);
}

void TBoxItemFactory::Fill(TMailItem& item, TRowRef row) const {
    table_.RowValues(row, values_);
    FillItem(item, values_, columns_, folder_);
}

TMailItemPeek TBoxItemFactory::Peek(TRowRef row, const TMailItemSummary& summary) const {
    table_.RowValues(row, values_, peekColumns_);
    const TBoxColumns& c = columns_;
    TMailItemPeek peek;
    peek.UIDL = TextOf(values_[c.UIDL]);
    peek.Subject = TextOf(values_[c.Subject]);
    peek.From = TextOf(values_[c.From]);
    peek.To = TextOf(values_[c.To]);
    peek.DateStr = TextOf(values_[c.DateStr]);
    if (accounts_ != nullptr && !std::holds_alternative<std::monostate>(values_[c.Account])) {
        peek.Account = accounts_->FindByID(TextOf(values_[c.Account]));
    }
    peek.Summary = summary;
    return peek;
}

}  // namespace quobel
