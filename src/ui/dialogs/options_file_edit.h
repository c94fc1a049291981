#pragma once

#include <QString>
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace quobel {

class TDialogPrompts;

// A file name box with a browse button; a file dropped on it fills it too.
class TFileNameEdit : public QWidget {
    Q_OBJECT

  public:
    TFileNameEdit(TDialogPrompts& prompts, QString dialogTitle, QString filter,
                  QWidget* parent = nullptr);

    QString FileName() const;
    void SetFileName(const QString& fileName);
    // Opens the file dialog on the current name; a confirmed choice replaces it.
    void Browse();

    QLineEdit* Edit() const { return edit_; }
    QToolButton* BrowseButton() const { return browse_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    TDialogPrompts& prompts_;
    QString dialogTitle_;
    QString filter_;
    QLineEdit* edit_;
    QToolButton* browse_;
};

}  // namespace quobel
