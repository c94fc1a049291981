#include "ui/mainwindow/folder_list_model.h"

#include <QApplication>
#include <QPainter>
#include <algorithm>

#include "ui/common/icons.h"

namespace quobel {

TFolderListModel::TFolderListModel(QObject* parent) : QAbstractListModel(parent) {}

void TFolderListModel::SetRows(std::vector<TRowKey> keys) {
    beginResetModel();
    rows_ = std::move(keys);
    if (source_ != nullptr) {
        std::stable_sort(rows_.begin(), rows_.end(), [this](TRowKey a, TRowKey b) {
            return source_->Fields(a).Type < source_->Fields(b).Type;
        });
    }
    endResetModel();
}

TRowKey TFolderListModel::KeyAt(int row) const {
    return row >= 0 && row < Count() ? rows_[static_cast<size_t>(row)] : nullptr;
}

int TFolderListModel::RowOf(TRowKey key) const {
    const auto found = std::find(rows_.begin(), rows_.end(), key);
    return found == rows_.end() ? -1 : static_cast<int>(found - rows_.begin());
}

void TFolderListModel::RepaintRow(TRowKey key) {
    const int row = RowOf(key);
    if (row >= 0) {
        emit dataChanged(index(row), index(row));
    }
}

void TFolderListModel::RepaintAll() {
    if (!rows_.empty()) {
        emit dataChanged(index(0), index(Count() - 1));
    }
}

int TFolderListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

QVariant TFolderListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || source_ == nullptr || index.row() >= Count()) {
        return {};
    }
    const TFolderRowFields fields = source_->Fields(rows_[static_cast<size_t>(index.row())]);
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromUtf8(fields.Name.data(),
                                     static_cast<qsizetype>(fields.Name.size()));
        case Qt::DecorationRole: {
            const QVector<QIcon>& images = TIcons::MailBoxes();
            return fields.Type >= 0 && fields.Type < images.size() ? QVariant(images[fields.Type])
                                                                   : QVariant();
        }
        case kUnreadRole:
            return fields.Unread;
        default:
            return {};
    }
}

QVariant TFolderListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        return tr("Folders");
    }
    return {};
}

void TFolderDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const int unread = index.data(TFolderListModel::kUnreadRole).toInt();
    const QString name = opt.text;
    opt.text.clear();
    QStyle* style = opt.widget != nullptr ? opt.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget);
    painter->save();
    painter->setPen(opt.palette.color(opt.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                         : QPalette::Text));
    painter->setFont(opt.font);
    painter->drawText(text, Qt::AlignVCenter | Qt::AlignLeft, name);
    if (unread > 0) {
        text.setLeft(text.left() + opt.fontMetrics.horizontalAdvance(name) + 4);
        QFont bold = opt.font;
        bold.setBold(true);
        painter->setFont(bold);
        painter->drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
                          QStringLiteral("(%1)").arg(unread));
    }
    painter->restore();
}

QSize TFolderDelegate::sizeHint(const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.rwidth() += option.fontMetrics.horizontalAdvance(QStringLiteral(" (0000)"));
    return size;
}

}  // namespace quobel
