#include "ui/common/qt_platform.h"
#include "ui/common/lower_texts.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QSoundEffect>
#include <QUrl>

namespace quobel {

void QtUrlOpener::OpenUrl(const std::string& url) {
    const QString text = QString::fromStdString(url);
    const QUrl target =
        QFileInfo(text).isAbsolute() ? QUrl::fromLocalFile(text) : QUrl::fromUserInput(text);
    QDesktopServices::openUrl(target);
}

bool QtUrlOpener::DesktopHasProgramFor(const QString& scheme) {
    // The freedesktop.org way to ask, which every desktop's xdg-utils answers for its own
    // settings; quick enough to wait for on a click.
    constexpr int kWaitMs = 5000;
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                             QStringLiteral("x-scheme-handler/") + scheme});
    if (!query.waitForStarted(kWaitMs)) {
        return true;
    }
    if (!query.waitForFinished(kWaitMs) || query.exitStatus() != QProcess::NormalExit) {
        query.kill();
        return true;
    }
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

bool QtUrlOpener::OpenWithProgram(const std::string& url) {
    const QByteArray encoded = QByteArray::fromStdString(url);
    const QUrl target = QUrl::fromEncoded(encoded, QUrl::StrictMode);
    if (!target.isValid()) {
        return false;
    }
    if (!schemesWithProgram_.contains(target.scheme())) {
        if (!DesktopHasProgramFor(target.scheme())) {
            return false;
        }
        schemesWithProgram_.append(target.scheme());
    }
    return QDesktopServices::openUrl(target);
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
    return QMessageBox::information(owner_, ShownText(caption), ShownText(text),
                                    QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace quobel
