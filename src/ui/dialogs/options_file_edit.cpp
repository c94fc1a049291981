#include "ui/dialogs/options_file_edit.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMimeData>
#include <QToolButton>
#include <QUrl>

#include "ui/dialogs/options_prompts.h"

namespace quobel {
namespace {

// The first local file among the dropped URLs, or nothing.
QString DroppedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls()) {
        return {};
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            return url.toLocalFile();
        }
    }
    return {};
}

}  // namespace

TFileNameEdit::TFileNameEdit(TDialogPrompts& prompts, QString dialogTitle, QString filter,
                             QWidget* parent)
    : QWidget(parent),
      prompts_(prompts),
      dialogTitle_(std::move(dialogTitle)),
      filter_(std::move(filter)),
      edit_(new QLineEdit(this)),
      browse_(new QToolButton(this)) {
    browse_->setText(QStringLiteral("..."));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(edit_, 1);
    layout->addWidget(browse_);
    setFocusProxy(edit_);
    edit_->installEventFilter(this);
    connect(browse_, &QToolButton::clicked, this, &TFileNameEdit::Browse);
}

QString TFileNameEdit::FileName() const {
    return edit_->text();
}

void TFileNameEdit::SetFileName(const QString& fileName) {
    edit_->setText(fileName);
}

void TFileNameEdit::Browse() {
    QString fileName = FileName();
    if (prompts_.ChooseOpenFile(this, dialogTitle_, filter_, fileName)) {
        SetFileName(fileName);
    }
}

bool TFileNameEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_) {
        // A dropped file names the file instead of being inserted as "file://" text.
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (!DroppedFile(drag->mimeData()).isEmpty()) {
                drag->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            const QString fileName = DroppedFile(drop->mimeData());
            if (!fileName.isEmpty()) {
                SetFileName(fileName);
                drop->acceptProposedAction();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace quobel
