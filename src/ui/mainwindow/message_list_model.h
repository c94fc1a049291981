#pragma once

#include <QAbstractTableModel>
#include <QFont>
#include <functional>
#include <unordered_map>
#include <vector>

#include "core/list_layout.h"
#include "ui/mainwindow/message_row_source.h"

namespace quobel {

// The message list: a view over the keys of the listed mailbox's items, kept sorted by a stable
// merge sort on the sort column (rows that compare equal keep their previous order, in both
// directions). Between BeginUpdate and EndUpdate nothing is sorted; the end of the outermost
// update sorts once.
class TMessageListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit TMessageListModel(QObject* parent = nullptr);

    void SetSource(const TMessageRowSource* source) { source_ = source; }
    const TMessageRowSource* Source() const { return source_; }

    void BeginUpdate();
    void EndUpdate();

    void Clear();
    // Appends the row; outside an update it goes straight to its sorted place (after the rows
    // it compares equal to, as a re-sort would put it).
    void AddRow(TRowKey key);
    // Removes the row of the key; false when the key has no row.
    bool RemoveRow(TRowKey key);

    int RowOf(TRowKey key) const;
    TRowKey KeyAt(int row) const;
    int Count() const { return static_cast<int>(rows_.size()); }

    int SortColumn() const { return sortColumn_; }
    TSortDirection SortDirection() const { return sortDirection_; }
    void SetSort(int column, TSortDirection direction);
    void Sort();

    // The column that shows the read/unread envelope (-1: none).
    void SetEnvelopeColumn(int column);
    int EnvelopeColumn() const { return envelopeColumn_; }

    // Redraws every row (after read states, account colours, ... changed).
    void RepaintAll();
    // Redraws one row.
    void RepaintRow(TRowKey key);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    bool LessBySort(TRowKey a, TRowKey b) const;
    void SortRows();
    // Sorts by a column of numbers; false for other columns.
    bool SortRowsByNumber();
    // What sorting needs of every row, passed with the row's place in the list.
    void FetchSortFields(const std::function<void(uint32_t, const TMessageRowFields&)>& take) const;

    const TMessageRowSource* source_ = nullptr;
    std::vector<TRowKey> rows_;
    mutable std::unordered_map<TRowKey, int> rowOf_;
    mutable bool indexDirty_ = true;
    // The rows stand in the order they were added in since the last Clear (a mailbox adds its
    // items in the order it keeps them).
    bool inGivenOrder_ = true;
    static constexpr int kScansBeforeIndex = 8;
    mutable int scansSinceChange_ = 0;
    int sortColumn_ = kColDate;
    TSortDirection sortDirection_ = TSortDirection::Ascending;
    int envelopeColumn_ = kColFrom;
    int updateCount_ = 0;
    bool resetPending_ = false;
};

}  // namespace quobel
