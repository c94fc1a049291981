#include "ui/mainwindow/status_panel.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/common/icons.h"

namespace quobel {

TStatusText TStatusText::Parse(const QString& panelText) {
    TStatusText status;
    const qsizetype bar = panelText.indexOf(QLatin1Char('|'));
    if (bar < 0) {
        status.Text = panelText;
        return status;
    }
    bool ok = false;
    const int number = panelText.left(bar).toInt(&ok, 10);
    status.Image = ok ? number : -1;
    status.Text = panelText.mid(bar + 1);
    return status;
}

TStatusPanel::TStatusPanel(QWidget* parent) : QWidget(parent) {
    setMinimumHeight(20);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void TStatusPanel::SetText(const QString& text) {
    if (text == text_) {
        return;
    }
    text_ = text;
    update();
}

void TStatusPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const TStatusText status = TStatusText::Parse(text_);
    QRect area = rect();
    const QVector<QIcon>& images = TIcons::Status();
    if (status.Image >= 0) {
        const int size = 16;
        if (status.Image < images.size()) {
            images[status.Image].paint(&painter,
                                       QRect(area.left() + 2, area.top() + 2, size, size));
        }
        area.setLeft(area.left() + size + 4);
    }
    area.setLeft(area.left() + 2);
    const QString shown = fontMetrics().elidedText(status.Text, Qt::ElideRight, area.width());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(area, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, shown);
}

void TStatusPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit Pressed();
    }
    QWidget::mousePressEvent(event);
}

}  // namespace quobel
