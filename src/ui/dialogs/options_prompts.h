#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <functional>

class QDialog;
class QWidget;

namespace quobel {

// The modal pieces the options and account dialogs open: message boxes, the colour, font and
// file choosers and the account dialog itself. Tests replace them with a script.
class TDialogPrompts {
  public:
    virtual ~TDialogPrompts() = default;

    // A message box with an error icon and an OK button.
    virtual void ShowError(QWidget* parent, const QString& title, const QString& text) = 0;
    // A message box with a question icon and the buttons Yes and No; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& title, const QString& text) = 0;
    // Each chooser starts from the value passed in and changes it only when the user confirms.
    virtual bool ChooseColor(QWidget* parent, QColor& color) = 0;
    virtual bool ChooseFont(QWidget* parent, QFont& font) = 0;
    virtual bool ChooseOpenFile(QWidget* parent, const QString& title, const QString& filter,
                                QString& fileName) = 0;
    // Shows a dialog modally and returns its result (QDialog::Accepted or Rejected).
    virtual int RunModal(QDialog& dialog) = 0;
    // A failure that no dialog handles itself (a refused write, a skin that does not load).
    virtual void ShowFailure(QWidget* parent, const QString& text) = 0;
};

// Runs a command of a dialog; a failure is reported instead of leaving through the event loop.
// Returns whether the command succeeded.
bool RunReportingFailure(TDialogPrompts& prompts, QWidget* parent,
                         const std::function<void()>& command);

// The real thing: Qt message boxes and standard dialogs.
class TQtDialogPrompts : public TDialogPrompts {
  public:
    void ShowError(QWidget* parent, const QString& title, const QString& text) override;
    bool AskYesNo(QWidget* parent, const QString& title, const QString& text) override;
    bool ChooseColor(QWidget* parent, QColor& color) override;
    bool ChooseFont(QWidget* parent, QFont& font) override;
    bool ChooseOpenFile(QWidget* parent, const QString& title, const QString& filter,
                        QString& fileName) override;
    int RunModal(QDialog& dialog) override;
    // The application-wide "Fatal Error" box; the program goes on.
    void ShowFailure(QWidget* parent, const QString& text) override;
};

}  // namespace quobel
