#pragma once

#include <QDialog>

#include "platform/password_query.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace quobel {

// The modal password prompt: the prompt, a masked edit of at most 255 characters holding the
// current value (selected), OK and Cancel. Laid out in dialog units of its font.
class TPasswordDialog : public QDialog {
    Q_OBJECT
  public:
    TPasswordDialog(const QString& caption, const QString& prompt, const QString& value,
                    QWidget* parent = nullptr);

    QString Value() const;

    QLabel* lblPrompt;
    QLineEdit* txtValue;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
};

// The prompt as the message layer asks for it.
class QtPasswordQuery : public PasswordQuery {
  public:
    explicit QtPasswordQuery(QWidget* owner = nullptr) : owner_(owner) {}
    bool Query(const std::string& caption, const std::string& prompt, std::string& value) override;

  private:
    QWidget* owner_;
};

}  // namespace quobel
