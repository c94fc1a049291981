#pragma once

#include <QApplication>
#include <functional>
#include <string>

namespace quobel {

// The text of the box that reports an error no handler caught.
QString FatalErrorText(const std::string& message);
// Shows that box: no owner, error icon, on top, OK. The program goes on afterwards.
void ShowFatalError(const std::string& message);
// The box shown when the program folder holds no skin; the program ends after it.
void ShowNoSkinsError();

// The application object with the application-wide error handler: an exception that reaches
// the event loop is shown in the "Fatal Error" box and the loop goes on.
class TQuobelApplication : public QApplication {
    Q_OBJECT
  public:
    TQuobelApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Replaces the box (tests record the message instead).
    std::function<void(const std::string&)> OnException = ShowFatalError;
};

// Runs one step of the start-up or exit sequence; an error is shown as the loop would show it
// and the sequence goes on with the next step. Returns whether the step completed.
template <typename Step>
bool RunGuarded(Step&& step) {
    try {
        step();
        return true;
    } catch (const std::exception& e) {
        ShowFatalError(e.what());
    }
    return false;
}

}  // namespace quobel
