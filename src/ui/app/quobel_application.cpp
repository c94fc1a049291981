#include "ui/app/quobel_application.h"

#include <QMessageBox>

namespace quobel {

QString FatalErrorText(const std::string& message) {
    return QStringLiteral(
               "An unhandled exception occured! Please notify the developers using the "
               "following information:\n\n") +
           QString::fromStdString(message);
}

void ShowFatalError(const std::string& message) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Fatal Error"), FatalErrorText(message),
                    QMessageBox::Ok);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.show();
    box.raise();
    box.activateWindow();
    box.exec();
}

void ShowNoSkinsError() {
    QMessageBox::critical(nullptr, QStringLiteral("Fatal Error"),
                          QStringLiteral("No skins installed, please re-install Quobel!"));
}

TQuobelApplication::TQuobelApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TQuobelApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        if (OnException) {
            OnException(e.what());
        }
    } catch (...) {
        if (OnException) {
            OnException("Unknown error");
        }
    }
    return false;
}

}  // namespace quobel
