#include "ui/reader/password_dialog.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>

namespace quobel {
namespace {

constexpr int kMaxLength = 255;

// The edit masks with "*" whatever the desktop's style would use.
class StarMaskStyle : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter) {
            return '*';
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

TPasswordDialog::TPasswordDialog(const QString& caption, const QString& prompt,
                                 const QString& value, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("PasswordDialog"));
    setWindowTitle(caption);
    setModal(true);
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);

    // Dialog units: a quarter of the average width of the 52 letters, an eighth of the height.
    const QFontMetrics metrics(font());
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const double unitX = metrics.horizontalAdvance(letters) / 52.0 / 4.0;
    const double unitY = metrics.height() / 8.0;
    const auto box = [&](int x, int y, int w, int h) {
        return QRect(qRound(x * unitX), qRound(y * unitY), qRound(w * unitX), qRound(h * unitY));
    };

    lblPrompt = new QLabel(prompt, this);
    lblPrompt->move(box(8, 8, 0, 0).topLeft());
    lblPrompt->adjustSize();
    txtValue = new QLineEdit(value, this);
    txtValue->setObjectName(QStringLiteral("txtValue"));
    auto* mask = new StarMaskStyle;
    mask->setParent(txtValue);
    txtValue->setStyle(mask);
    txtValue->setEchoMode(QLineEdit::Password);
    txtValue->setMaxLength(kMaxLength);
    txtValue->setGeometry(box(8, 19, 164, 12).adjusted(0, 0, 0, 2));
    txtValue->selectAll();

    cmdOK =
        new QPushButton(QDialogButtonBox(QDialogButtonBox::Ok).buttons().value(0)->text(), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdOK->setGeometry(box(38, 41, 50, 14));
    cmdCancel = new QPushButton(
        QDialogButtonBox(QDialogButtonBox::Cancel).buttons().value(0)->text(), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(box(92, 41, 50, 14));
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    setFixedSize(box(0, 0, 180, 63).size());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    txtValue->setFocus();
}

QString TPasswordDialog::Value() const {
    return txtValue->text();
}

bool QtPasswordQuery::Query(const std::string& caption, const std::string& prompt,
                            std::string& value) {
    TPasswordDialog dialog(QString::fromStdString(caption), QString::fromStdString(prompt),
                           QString::fromStdString(value), owner_);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    value = dialog.Value().toStdString();
    return true;
}

}  // namespace quobel
