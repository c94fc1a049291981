#include "ui/mainwindow/message_list_model.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "core/strings.h"
#include "ui/common/icons.h"
#include "ui/common/qt_text.h"

namespace quobel {
namespace {

// The first 16 bytes of a text, folded as CompareTextAscii folds them, as two big-endian numbers:
// numbers that differ order the texts as CompareTextAscii would.
std::pair<uint64_t, uint64_t> FoldedPrefix(std::string_view text) {
    uint64_t parts[2] = {0, 0};
    for (size_t i = 0; i < 16; ++i) {
        const auto c = static_cast<unsigned char>(i < text.size() ? LowerAscii(text[i]) : 0);
        parts[i / 8] = (parts[i / 8] << 8) | c;
    }
    return {parts[0], parts[1]};
}

template <typename T>
int CompareValue(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

}  // namespace

int CompareItems(const TMessageRowFields& a, const TMessageRowFields& b, int column) {
    switch (column) {
        case kColPriority:
            return CompareValue(a.Priority, b.Priority);
        case kColAttachment:
            return CompareValue(a.Attachments, b.Attachments);
        case kColFrom:
            return CompareTextAscii(a.From, b.From);
        case kColSubject:
            return CompareTextAscii(a.Subject, b.Subject);
        case kColTo:
            return CompareTextAscii(a.To, b.To);
        case kColDate:
            return CompareValue(a.Date, b.Date);
        case kColAccount:
            return CompareTextAscii(a.Account, b.Account);
        case kColSize:
            return CompareValue(a.Size, b.Size);
        default:
            return 0;
    }
}

TMessageListModel::TMessageListModel(QObject* parent) : QAbstractTableModel(parent) {}

void TMessageListModel::BeginUpdate() {
    ++updateCount_;
}

void TMessageListModel::EndUpdate() {
    if (updateCount_ == 0 || --updateCount_ > 0) {
        return;
    }
    if (resetPending_) {
        SortRows();
        indexDirty_ = true;
        resetPending_ = false;
        endResetModel();
        return;
    }
    Sort();
}

void TMessageListModel::Clear() {
    if (updateCount_ > 0) {
        if (!resetPending_) {
            beginResetModel();
            resetPending_ = true;
        }
        rows_.clear();
        indexDirty_ = true;
        inGivenOrder_ = true;
        return;
    }
    beginResetModel();
    rows_.clear();
    indexDirty_ = true;
    inGivenOrder_ = true;
    endResetModel();
}

void TMessageListModel::AddRow(TRowKey key) {
    if (resetPending_) {
        rows_.push_back(key);
        indexDirty_ = true;
        return;
    }
    auto place = rows_.end();
    if (updateCount_ == 0 && sortColumn_ >= 0 && source_ != nullptr) {
        place = std::upper_bound(rows_.begin(), rows_.end(), key,
                                 [this](TRowKey a, TRowKey b) { return LessBySort(a, b); });
    }
    const int row = static_cast<int>(place - rows_.begin());
    inGivenOrder_ = inGivenOrder_ && place == rows_.end();
    beginInsertRows({}, row, row);
    rows_.insert(place, key);
    indexDirty_ = true;
    endInsertRows();
}

bool TMessageListModel::RemoveRow(TRowKey key) {
    const int row = RowOf(key);
    if (row < 0) {
        return false;
    }
    if (resetPending_) {
        rows_.erase(rows_.begin() + row);
        indexDirty_ = true;
        return true;
    }
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    indexDirty_ = true;
    endRemoveRows();
    return true;
}

int TMessageListModel::RowOf(TRowKey key) const {
    if (indexDirty_ && scansSinceChange_ < kScansBeforeIndex) {
        // After a change, the first few lookups (focusing a row, say) scan the keys, which is
        // far cheaper than indexing a large list that may change again before it is asked much.
        ++scansSinceChange_;
        const auto found = std::find(rows_.begin(), rows_.end(), key);
        return found == rows_.end() ? -1 : static_cast<int>(found - rows_.begin());
    }
    if (indexDirty_) {
        rowOf_.clear();
        rowOf_.reserve(rows_.size());
        for (size_t i = 0; i < rows_.size(); ++i) {
            rowOf_.emplace(rows_[i], static_cast<int>(i));
        }
        indexDirty_ = false;
        scansSinceChange_ = 0;
    }
    const auto found = rowOf_.find(key);
    return found == rowOf_.end() ? -1 : found->second;
}

TRowKey TMessageListModel::KeyAt(int row) const {
    return row >= 0 && row < Count() ? rows_[static_cast<size_t>(row)] : nullptr;
}

void TMessageListModel::SetSort(int column, TSortDirection direction) {
    sortColumn_ = column;
    sortDirection_ = direction;
    if (updateCount_ == 0) {
        Sort();
    }
}

bool TMessageListModel::LessBySort(TRowKey a, TRowKey b) const {
    const TMessageRowFields first = source_->SortFields(a, sortColumn_);
    const TMessageRowFields second = source_->SortFields(b, sortColumn_);
    const int order = CompareItems(first, second, sortColumn_);
    return sortDirection_ == TSortDirection::Descending ? order > 0 : order < 0;
}

void TMessageListModel::SortRows() {
    if (sortColumn_ < 0 || source_ == nullptr || rows_.size() < 2) {
        return;
    }
    if (SortRowsByNumber()) {
        return;
    }
    // Each row's fields are fetched once, not once per comparison: the items lie scattered in
    // memory and the comparisons of a large list would wait on them over and over.
    std::vector<TMessageRowFields> fields(rows_.size());
    FetchSortFields([&](uint32_t row, const TMessageRowFields& found) { fields[row] = found; });
    // Text columns compare a folded 16-byte prefix first, which settles most comparisons
    // without reading the texts again; only equal prefixes compare the whole texts.
    std::string_view TMessageRowFields::*text = nullptr;
    switch (sortColumn_) {
        case kColFrom:
            text = &TMessageRowFields::From;
            break;
        case kColSubject:
            text = &TMessageRowFields::Subject;
            break;
        case kColTo:
            text = &TMessageRowFields::To;
            break;
        case kColAccount:
            text = &TMessageRowFields::Account;
            break;
        default:
            break;
    }
    // Text columns compare folded copies of the texts, kept side by side: the first 16 bytes as
    // two numbers settle most comparisons, and the rest is compared in one compact buffer rather
    // than in texts scattered over the mailbox.
    std::vector<std::pair<uint64_t, uint64_t>> prefixes;
    std::string folded;
    std::vector<std::pair<size_t, size_t>> spans;  // each row's folded text in `folded`
    if (text != nullptr) {
        prefixes.reserve(fields.size());
        spans.reserve(fields.size());
        size_t total = 0;
        for (const TMessageRowFields& row : fields) {
            total += (row.*text).size();
        }
        folded.reserve(total);
        for (const TMessageRowFields& row : fields) {
            const std::string_view value = row.*text;
            prefixes.push_back(FoldedPrefix(value));
            spans.emplace_back(folded.size(), value.size());
            for (const char c : value) {
                folded.push_back(LowerAscii(c));
            }
        }
    }
    const auto compareFolded = [&](uint32_t a, uint32_t b) {
        const std::string_view left(folded.data() + spans[a].first, spans[a].second);
        const std::string_view right(folded.data() + spans[b].first, spans[b].second);
        const int order = left.compare(right);
        return order < 0 ? -1 : (order > 0 ? 1 : 0);
    };
    std::vector<uint32_t> order(rows_.size());
    for (uint32_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    const bool descending = sortDirection_ == TSortDirection::Descending;
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        int compared = 0;
        if (text == nullptr) {
            compared = CompareItems(fields[a], fields[b], sortColumn_);
        } else if (prefixes[a] != prefixes[b]) {
            compared = prefixes[a] < prefixes[b] ? -1 : 1;
        } else {
            compared = compareFolded(a, b);
        }
        return descending ? compared > 0 : compared < 0;
    });
    std::vector<TRowKey> sorted;
    sorted.reserve(rows_.size());
    for (const uint32_t i : order) {
        sorted.push_back(rows_[i]);
    }
    rows_ = std::move(sorted);
    indexDirty_ = true;
    inGivenOrder_ = false;
}

void TMessageListModel::FetchSortFields(
    const std::function<void(uint32_t, const TMessageRowFields&)>& take) const {
    // Texts are read in the order of the keys' addresses, which follows the order the source
    // keeps its rows in: after an earlier sort, the list's own order would jump about the
    // source's memory. Numbers are found quickly in any order.
    const std::less<TRowKey> before;
    if (inGivenOrder_ || IsNumberColumn(sortColumn_)) {
        for (uint32_t row = 0; row < rows_.size(); ++row) {
            take(row, source_->SortFields(rows_[row], sortColumn_));
        }
        return;
    }
    std::vector<std::pair<TRowKey, uint32_t>> byAddress;
    byAddress.reserve(rows_.size());
    for (uint32_t i = 0; i < rows_.size(); ++i) {
        byAddress.emplace_back(rows_[i], i);
    }
    std::sort(byAddress.begin(), byAddress.end(),
              [&](const auto& a, const auto& b) { return before(a.first, b.first); });
    for (const auto& [key, row] : byAddress) {
        take(row, source_->SortFields(key, sortColumn_));
    }
}

bool TMessageListModel::SortRowsByNumber() {
    if (!IsNumberColumn(sortColumn_)) {
        return false;
    }
    double TMessageRowFields::*number =
        sortColumn_ == kColDate ? &TMessageRowFields::Date : nullptr;
    const auto valueOf = [&](const TMessageRowFields& row) -> double {
        double value = 0;
        if (number != nullptr) {
            value = row.*number;
        } else if (sortColumn_ == kColSize) {
            value = static_cast<double>(row.Size);
        } else if (sortColumn_ == kColPriority) {
            value = row.Priority;
        } else {
            value = row.Attachments ? 1 : 0;
        }
        // A date read from a damaged file may be no number: it sorts first, consistently.
        return std::isnan(value) ? -std::numeric_limits<double>::infinity() : value;
    };
    // One number per row, then the row's place breaks ties: as stable as a stable sort, with
    // none of the reading during the comparisons.
    std::vector<std::pair<double, uint32_t>> keyed(rows_.size());
    FetchSortFields([&](uint32_t row, const TMessageRowFields& found) {
        keyed[row] = {valueOf(found), row};
    });
    if (sortDirection_ == TSortDirection::Descending) {
        std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
            return a.first != b.first ? a.first > b.first : a.second < b.second;
        });
    } else {
        std::sort(keyed.begin(), keyed.end());
    }
    std::vector<TRowKey> sorted;
    sorted.reserve(rows_.size());
    for (const auto& entry : keyed) {
        sorted.push_back(rows_[entry.second]);
    }
    rows_ = std::move(sorted);
    indexDirty_ = true;
    inGivenOrder_ = false;
    return true;
}

void TMessageListModel::Sort() {
    if (sortColumn_ < 0 || source_ == nullptr || rows_.size() < 2) {
        return;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<TRowKey> keys;
    keys.reserve(static_cast<size_t>(before.size()));
    for (const QModelIndex& index : before) {
        keys.push_back(KeyAt(index.row()));
    }
    SortRows();
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        after.push_back(index(RowOf(keys[static_cast<size_t>(i)]), before[i].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void TMessageListModel::SetEnvelopeColumn(int column) {
    if (column == envelopeColumn_) {
        return;
    }
    envelopeColumn_ = column;
    RepaintAll();
}

void TMessageListModel::RepaintAll() {
    if (!rows_.empty()) {
        emit dataChanged(index(0, 0), index(Count() - 1, kMessageColumnCount - 1));
    }
}

void TMessageListModel::RepaintRow(TRowKey key) {
    const int row = RowOf(key);
    if (row >= 0) {
        emit dataChanged(index(row, 0), index(row, kMessageColumnCount - 1));
    }
}

int TMessageListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || resetPending_ ? 0 : Count();
}

int TMessageListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kMessageColumnCount;
}

QVariant TMessageListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || source_ == nullptr || index.row() >= Count()) {
        return {};
    }
    const int column = index.column();
    if (role == Qt::TextAlignmentRole) {
        return column == kColSize ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    }
    if (role != Qt::DisplayRole && role != Qt::DecorationRole && role != Qt::FontRole) {
        return {};
    }
    const TMessageRowFields fields = source_->Fields(rows_[static_cast<size_t>(index.row())]);
    if (role == Qt::FontRole) {
        if (fields.Read) {
            return {};
        }
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    if (role == Qt::DecorationRole) {
        const QVector<QIcon>& images = TIcons::Mail();
        if (column == kColPriority) {
            if (fields.Priority == 1 || fields.Priority == 2) {
                return images[1];
            }
            if (fields.Priority == 4 || fields.Priority == 5) {
                return images[0];
            }
            return {};
        }
        if (column == kColAttachment) {
            return fields.Attachments ? QVariant(images[2]) : QVariant();
        }
        if (column == envelopeColumn_) {
            return images[fields.Read ? 4 : 5];
        }
        return {};
    }
    switch (column) {
        case kColFrom:
            return Q(fields.From);
        case kColSubject:
            return Q(fields.Subject);
        case kColDate:
            return Q(fields.DateStr);
        case kColTo:
            return Q(fields.To);
        case kColAccount:
            return Q(fields.Account);
        case kColSize:
            return Q(fields.SizeText);
        default:
            return {};
    }
}

QVariant TMessageListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) {
        return {};
    }
    static const char* const kCaptions[kMessageColumnCount] = {
        "",
        "",
        "",
        QT_TRANSLATE_NOOP("MessageList", "From"),
        QT_TRANSLATE_NOOP("MessageList", "Subject"),
        QT_TRANSLATE_NOOP("MessageList", "Date"),
        QT_TRANSLATE_NOOP("MessageList", "To"),
        QT_TRANSLATE_NOOP("MessageList", "Account"),
        QT_TRANSLATE_NOOP("MessageList", "Size"),
        ""};
    // Header images: 0 exclamation mark, 1 paper clip, 2 hand, 3 key.
    static const int kImages[kMessageColumnCount] = {2, 0, 1, -1, -1, -1, -1, -1, -1, 3};
    if (section < 0 || section >= kMessageColumnCount) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return QCoreApplication::translate("MessageList", kCaptions[section]);
    }
    if (role == Qt::DecorationRole && kImages[section] >= 0) {
        return TIcons::Header()[kImages[section]];
    }
    if (role == Qt::TextAlignmentRole) {
        return section == kColSize ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    }
    return {};
}

}  // namespace quobel
