#include "ui/app/quobel_application.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace quobel {

QString FatalErrorText(const std::string& message) {
    return QCoreApplication::translate("QuobelApplication",
                                       "An unhandled exception occured! Please notify the "
                                       "developers using the following information:\n\n") +
           QString::fromStdString(message);
}

void ShowFatalError(const std::string& message) {
    QMessageBox box(QMessageBox::Critical,
                    QCoreApplication::translate("QuobelApplication", "Fatal Error"),
                    FatalErrorText(message), QMessageBox::Ok);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.show();
    box.raise();
    box.activateWindow();
    box.exec();
}

void ShowNoSkinsError() {
    QMessageBox::critical(
        nullptr, QCoreApplication::translate("QuobelApplication", "Fatal Error"),
        QCoreApplication::translate("QuobelApplication",
                                    "No skins installed, please re-install Quobel!"));
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
