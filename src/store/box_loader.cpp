#include "store/box_loader.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <variant>

#include "accounts/accounts.h"
#include "core/error.h"

namespace quobel {
namespace {

// Below this size the second thread costs more than it saves.
constexpr size_t kParallelBytes = 1 << 20;
constexpr size_t kRowsPerChunk = 256;

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

// Hands rows from the reading thread to the consuming one in chunks of views.
class RowHandoff : public TTableRowSink {
  public:
    void Columns(const std::vector<TColumnDef>& columns) override {
        std::lock_guard lock(mutex_);
        columns_ = columns;
        hasColumns_ = true;
        ready_.notify_one();
    }

    void Row(std::span<const TFieldView> values) override {
        filling_.insert(filling_.end(), values.begin(), values.end());
        if (++fillingRows_ == kRowsPerChunk) {
            Publish();
        }
    }

    // Called by the reading thread when it is done, successfully or not.
    void Finish(std::exception_ptr error) {
        Publish();
        std::lock_guard lock(mutex_);
        error_ = std::move(error);
        finished_ = true;
        ready_.notify_one();
    }

    // Runs on the consuming thread until the reading thread finished; passes its error on.
    void Drain(TTableRowSink& sink) {
        bool columnsSent = false;
        for (;;) {
            std::vector<TFieldView> chunk;
            bool finished = false;
            {
                std::unique_lock lock(mutex_);
                ready_.wait(lock, [&] {
                    return !chunks_.empty() || finished_ || (hasColumns_ && !columnsSent);
                });
                if (hasColumns_ && !columnsSent) {
                    sink.Columns(columns_);
                    columnsSent = true;
                    rowWidth_ = columns_.size();
                }
                if (!chunks_.empty()) {
                    chunk = std::move(chunks_.front());
                    chunks_.pop_front();
                } else {
                    finished = finished_;
                }
            }
            if (rowWidth_ != 0) {
                for (size_t at = 0; at + rowWidth_ <= chunk.size(); at += rowWidth_) {
                    sink.Row(std::span<const TFieldView>(chunk.data() + at, rowWidth_));
                }
            }
            if (finished) {
                if (error_) {
                    std::rethrow_exception(error_);
                }
                return;
            }
        }
    }

  private:
    void Publish() {
        if (fillingRows_ == 0) {
            return;
        }
        std::lock_guard lock(mutex_);
        chunks_.push_back(std::move(filling_));
        filling_ = {};
        fillingRows_ = 0;
        ready_.notify_one();
    }

    // Touched by the reading thread only.
    std::vector<TFieldView> filling_;
    size_t fillingRows_ = 0;
    // Touched by the consuming thread only.
    size_t rowWidth_ = 0;
    // Shared, under the mutex.
    std::mutex mutex_;
    std::condition_variable ready_;
    std::vector<TColumnDef> columns_;
    bool hasColumns_ = false;
    std::deque<std::vector<TFieldView>> chunks_;
    bool finished_ = false;
    std::exception_ptr error_;
};

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

TBoxItemMaker::TBoxItemMaker(TMailItems& collection, TAccounts* accounts, std::string folder)
    : collection_(collection), accounts_(accounts), folder_(std::move(folder)) {}

void TBoxItemMaker::Columns(const std::vector<TColumnDef>& columns) {
    items_.clear();
    unread_ = 0;
    usable_ = TBoxColumns::TryOf(columns, columns_);
}

TAccount* TBoxItemMaker::AccountOf(std::string_view id) {
    // A box holds the mail of a few accounts: most rows name the previous row's one.
    if (id != lastAccountId_) {
        lastAccountId_ = id;
        lastAccount_ = accounts_->FindByID(lastAccountId_);
    }
    return lastAccount_;
}

void TBoxItemMaker::Row(std::span<const TFieldView> row) {
    if (!usable_) {
        return;
    }
    const TBoxColumns& c = columns_;
    TMailItem& item = *items_.emplace_back(std::make_unique<TMailItem>(collection_));
    item.Folder = folder_;
    item.UIDL = TextOf(row[c.UIDL]);
    item.Cache = TextOf(row[c.Cache]);
    if (accounts_ != nullptr && !std::holds_alternative<std::monostate>(row[c.Account])) {
        item.Account = AccountOf(TextOf(row[c.Account]));
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
    if (!item.Read) {
        ++unread_;
    }
}

void TBoxItemMaker::MakeAll(const TMemTable& table) {
    Columns(table.Columns());
    items_.reserve(table.RowCount());
    table.ForEachRow([this](std::span<const TFieldView> row) { Row(row); });
}

void LoadTableRows(const TTableFormat& format, TMemTable& table, std::string_view bytes,
                   TTableRowSink& sink) {
    if (bytes.size() < kParallelBytes) {
        format.Load(table, bytes, &sink);
        return;
    }
    RowHandoff handoff;
    std::jthread reader([&] {
        std::exception_ptr error;
        try {
            format.Load(table, bytes, &handoff);
        } catch (...) {
            error = std::current_exception();
        }
        handoff.Finish(error);
    });
    handoff.Drain(sink);
}

}  // namespace quobel
