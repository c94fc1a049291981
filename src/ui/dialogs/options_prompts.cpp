#include "ui/dialogs/options_prompts.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMessageBox>
#include <exception>

namespace quobel {

bool RunReportingFailure(TDialogPrompts& prompts, QWidget* parent,
                         const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const std::exception& error) {
        prompts.ShowFailure(parent, QString::fromStdString(error.what()));
        return false;
    }
}

void TQtDialogPrompts::ShowError(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::critical(parent, title, text, QMessageBox::Ok);
}

bool TQtDialogPrompts::AskYesNo(QWidget* parent, const QString& title, const QString& text) {
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

bool TQtDialogPrompts::ChooseColor(QWidget* parent, QColor& color) {
    const QColor chosen = QColorDialog::getColor(color, parent);
    if (!chosen.isValid()) {
        return false;
    }
    color = chosen;
    return true;
}

bool TQtDialogPrompts::ChooseFont(QWidget* parent, QFont& font) {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, parent);
    if (ok) {
        font = chosen;
    }
    return ok;
}

bool TQtDialogPrompts::ChooseOpenFile(QWidget* parent, const QString& title, const QString& filter,
                                      QString& fileName) {
    const QString chosen = QFileDialog::getOpenFileName(
        parent, title, fileName.isEmpty() ? QString() : QFileInfo(fileName).absolutePath(), filter);
    if (chosen.isEmpty()) {
        return false;
    }
    fileName = chosen;
    return true;
}

int TQtDialogPrompts::RunModal(QDialog& dialog) {
    return dialog.exec();
}

void TQtDialogPrompts::ShowFailure(QWidget* /*parent*/, const QString& text) {
    QMessageBox box(
        QMessageBox::Critical, QCoreApplication::translate("OptionsPrompts", "Fatal Error"),
        QCoreApplication::translate("OptionsPrompts",
                                    "An unhandled exception occured! Please notify the developers "
                                    "using the following information:\n\n") +
            text,
        QMessageBox::Ok);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

}  // namespace quobel
