#pragma once

#include <QAbstractListModel>
#include <QStyledItemDelegate>
#include <cstdint>
#include <string_view>
#include <vector>

#include "ui/mainwindow/message_row_source.h"

namespace quobel {

// What the folder tree shows of one mailbox.
struct TFolderRowFields {
    std::string_view Name;
    int32_t Unread = 0;
    int32_t Type = 0;
};

class TFolderRowSource {
  public:
    virtual ~TFolderRowSource() = default;
    virtual TFolderRowFields Fields(TRowKey key) const = 0;
};

// The folder tree: one row per mailbox, kept sorted by mailbox type (equal types keep the
// order they were added in).
class TFolderListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    static constexpr int kUnreadRole = Qt::UserRole + 1;

    explicit TFolderListModel(QObject* parent = nullptr);

    void SetSource(const TFolderRowSource* source) { source_ = source; }

    // Replaces all rows at once (one update of the tree) and sorts them.
    void SetRows(std::vector<TRowKey> keys);
    TRowKey KeyAt(int row) const;
    int RowOf(TRowKey key) const;
    int Count() const { return static_cast<int>(rows_.size()); }
    void RepaintRow(TRowKey key);
    void RepaintAll();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    const TFolderRowSource* source_ = nullptr;
    std::vector<TRowKey> rows_;
};

// Draws a folder row: its name, then "(unread)" in bold when there is unread mail.
class TFolderDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace quobel
