#pragma once

#include <QDialog>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/sound_player.h"
#include "ui/dialogs/options_prompts.h"

namespace quobel::testing {

// Records what the dialogs ask and answers from a script.
class TScriptedPrompts : public TDialogPrompts {
  public:
    struct Shown {
        QString Title;
        QString Text;
    };

    void ShowError(QWidget* /*parent*/, const QString& title, const QString& text) override {
        Errors.push_back({title, text});
    }
    bool AskYesNo(QWidget* /*parent*/, const QString& title, const QString& text) override {
        Questions.push_back({title, text});
        return Answer;
    }
    bool ChooseColor(QWidget* /*parent*/, QColor& color) override {
        ColorShown.push_back(color);
        if (!ColorChoice) {
            return false;
        }
        color = *ColorChoice;
        return true;
    }
    bool ChooseFont(QWidget* /*parent*/, QFont& font) override {
        if (!FontChoice) {
            return false;
        }
        font = *FontChoice;
        return true;
    }
    bool ChooseOpenFile(QWidget* /*parent*/, const QString& title, const QString& filter,
                        QString& fileName) override {
        FileDialogs.push_back({title, filter});
        if (!FileChoice) {
            return false;
        }
        fileName = *FileChoice;
        return true;
    }
    // Each modal dialog runs the next step of the script; none left: the dialog is cancelled.
    int RunModal(QDialog& dialog) override {
        if (ModalSteps.empty()) {
            return QDialog::Rejected;
        }
        auto step = std::move(ModalSteps.front());
        ModalSteps.pop_front();
        return step(dialog);
    }
    void ShowFailure(QWidget* /*parent*/, const QString& text) override {
        Failures.push_back(text);
    }

    std::vector<Shown> Errors;
    std::vector<Shown> Questions;
    bool Answer = true;
    std::vector<QColor> ColorShown;
    std::optional<QColor> ColorChoice;
    std::optional<QFont> FontChoice;
    std::vector<Shown> FileDialogs;
    std::optional<QString> FileChoice;
    std::deque<std::function<int(QDialog&)>> ModalSteps;
    std::vector<QString> Failures;
};

class TRecordingSoundPlayer : public SoundPlayer {
  public:
    void PlayAsync(const std::string& fileName) override { Played.push_back(fileName); }
    std::vector<std::string> Played;
};

}  // namespace quobel::testing
