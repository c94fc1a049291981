#pragma once

#include <QCoreApplication>
#include "core/font_record.h"
#include "ui/dialogs/options_page.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QToolButton;

namespace quobel {

class SoundPlayer;
class TDialogPrompts;
class TFileNameEdit;

// The "General" tab: checking for mail, the arrival sound, the reader and the signature.
class TGeneralPage : public TOptionsPage {
    Q_DECLARE_TR_FUNCTIONS(TGeneralPage)

  public:
    TGeneralPage(TDialogPrompts& prompts, SoundPlayer& sound, QWidget* parent);

    void Load(const TIniFile& ini) override;
    void Save(TIniFile& ini) override;

    void cmdSoundPreviewClick();
    void cmdReaderFontClick();
    // The reader font as the preview label shows it.
    const TFontRecord& ReaderFont() const { return readerFont_; }

    QCheckBox* chkInterval;
    QSpinBox* seInterval;
    QCheckBox* chkSound;
    TFileNameEdit* feSound;
    QToolButton* cmdSoundPreview;
    QCheckBox* chkSmilies;
    QCheckBox* chkNewWindow;
    QCheckBox* chkAlwaysText;
    QLabel* lblReaderFontPreview;
    QPushButton* cmdReaderFont;
    QPushButton* cmdEditSig;
    QCheckBox* chkSigReply;

  private:
    void ShowReaderFont();
    void UpdateEnabling();

    TDialogPrompts& prompts_;
    SoundPlayer& sound_;
    TFontRecord readerFont_;
};

}  // namespace quobel
