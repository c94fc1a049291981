#include "ui/common/qt_platform.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QSoundEffect>
#include <QUrl>

namespace quobel {

void QtUrlOpener::OpenUrl(const std::string& url) {
    const QString text = QString::fromStdString(url);
    const QUrl target =
        QFileInfo(text).isAbsolute() ? QUrl::fromLocalFile(text) : QUrl::fromUserInput(text);
    QDesktopServices::openUrl(target);
}

QtSoundPlayer::QtSoundPlayer() = default;
QtSoundPlayer::~QtSoundPlayer() = default;

void QtSoundPlayer::PlayAsync(const std::string& fileName) {
    if (fileName.empty()) {
        return;
    }
    effect_ = std::make_unique<QSoundEffect>();
    effect_->setSource(QUrl::fromLocalFile(QString::fromStdString(fileName)));
    effect_->play();
}

bool QtYesNoQuestion::AskYesNo(const std::string& caption, const std::string& text) {
    return QMessageBox::information(owner_, QString::fromStdString(caption),
                                    QString::fromStdString(text),
                                    QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace quobel
