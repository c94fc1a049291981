#include "ui/app/splash.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "ui/common/icons.h"

namespace quobel {

TfrmSplash::TfrmSplash()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      picture_(TIcons::Splash()) {
    setObjectName(QStringLiteral("frmSplash"));
    setFixedSize(400, 300);
    if (const QScreen* screen = QGuiApplication::primaryScreen(); screen != nullptr) {
        move(screen->geometry().center() - QPoint(200, 150));
    }
}

void TfrmSplash::ShowNow() {
    show();
    raise();
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TfrmSplash::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
}

}  // namespace quobel
