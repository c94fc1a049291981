#include "ui/dialogs/general_page.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/file_util.h"
#include "core/options.h"
#include "platform/sound_player.h"
#include "ui/common/qt_font.h"
#include "ui/dialogs/color_picker.h"
#include "ui/dialogs/options_file_edit.h"
#include "ui/dialogs/options_prompts.h"

namespace quobel {

TGeneralPage::TGeneralPage(TDialogPrompts& prompts, SoundPlayer& sound, QWidget* parent)
    : TOptionsPage(parent), prompts_(prompts), sound_(sound) {
    auto* delivery = new QGroupBox(tr("Email delivery"), this);
    chkInterval = new QCheckBox(tr("&Check for new messages every"), delivery);
    seInterval = new QSpinBox(delivery);
    seInterval->setRange(1, 120);
    chkSound = new QCheckBox(tr("Play &sound when new messages arrive..."), delivery);
    feSound =
        new TFileNameEdit(prompts_, tr("Select sound file"), tr("Sound files (*.wav)"), delivery);
    cmdSoundPreview = new QToolButton(delivery);
    cmdSoundPreview->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    cmdSoundPreview->setToolTip(tr("Preview sound"));
    auto* deliveryLayout = new QGridLayout(delivery);
    deliveryLayout->addWidget(chkInterval, 0, 0);
    deliveryLayout->addWidget(seInterval, 0, 1);
    deliveryLayout->addWidget(new QLabel(tr("minute(s)..."), delivery), 0, 2);
    deliveryLayout->addWidget(chkSound, 1, 0, 1, 4);
    auto* soundRow = new QHBoxLayout;
    soundRow->addWidget(feSound, 1);
    soundRow->addWidget(cmdSoundPreview);
    deliveryLayout->addLayout(soundRow, 2, 0, 1, 4);
    deliveryLayout->setColumnStretch(3, 1);

    auto* reader = new QGroupBox(tr("Reader options"), this);
    chkSmilies = new QCheckBox(tr("Display &smilies in reader"), reader);
    chkNewWindow = new QCheckBox(tr("Re-use external readers &windows"), reader);
    chkAlwaysText = new QCheckBox(tr("Always display &text (ignores HTML parts)"), reader);
    lblReaderFontPreview = new QLabel(reader);
    lblReaderFontPreview->setFrameShape(QFrame::StyledPanel);
    lblReaderFontPreview->setMinimumWidth(200);
    cmdReaderFont = new QPushButton(tr("&Change"), reader);
    auto* readerLayout = new QGridLayout(reader);
    readerLayout->addWidget(chkSmilies, 0, 0, 1, 2);
    readerLayout->addWidget(chkNewWindow, 1, 0, 1, 2);
    readerLayout->addWidget(chkAlwaysText, 2, 0, 1, 2);
    readerLayout->addWidget(lblReaderFontPreview, 3, 0);
    readerLayout->addWidget(cmdReaderFont, 3, 1);
    readerLayout->setColumnStretch(0, 1);

    auto* signature = new QGroupBox(tr("Signature"), this);
    cmdEditSig = new QPushButton(tr("&Edit signature"), signature);
    chkSigReply = new QCheckBox(tr("&Do not add signature when replying or forwarding"), signature);
    auto* signatureLayout = new QGridLayout(signature);
    signatureLayout->addWidget(
        new QLabel(tr("Your signature will be added to outgoing messages:"), signature), 0, 0);
    signatureLayout->addWidget(cmdEditSig, 0, 1);
    signatureLayout->addWidget(chkSigReply, 1, 0, 1, 2);

    auto* tab = new QVBoxLayout(this);
    tab->addWidget(delivery);
    tab->addWidget(reader);
    tab->addWidget(signature);
    tab->addStretch();

    connect(chkInterval, &QCheckBox::toggled, this, &TGeneralPage::UpdateEnabling);
    connect(chkSound, &QCheckBox::toggled, this, &TGeneralPage::UpdateEnabling);
    connect(cmdSoundPreview, &QToolButton::clicked, this, [this] {
        RunReportingFailure(prompts_, window(), [this] { cmdSoundPreviewClick(); });
    });
    connect(cmdReaderFont, &QPushButton::clicked, this,
            [this] { RunReportingFailure(prompts_, window(), [this] { cmdReaderFontClick(); }); });
    UpdateEnabling();
}

void TGeneralPage::Load(const TIniFile& ini) {
    chkInterval->setChecked(ReadSetting(ini, settings::kCheck));
    seInterval->setValue(ReadSetting(ini, settings::kInterval));
    chkSound->setChecked(ReadSetting(ini, settings::kSound));
    feSound->SetFileName(QString::fromStdString(ReadSetting(ini, settings::kSoundFile)));
    chkSmilies->setChecked(ReadSetting(ini, settings::kSmilies));
    // The box shows the negation of the key.
    chkNewWindow->setChecked(!ReadSetting(ini, settings::kNewWindowInDialog));
    chkAlwaysText->setChecked(ReadSetting(ini, settings::kAlwaysText));
    chkSigReply->setChecked(ReadSetting(ini, settings::kNoReplySig));
    readerFont_ = ReadSetting(ini, settings::kReaderFont);
    ShowReaderFont();
    UpdateEnabling();
}

void TGeneralPage::Save(TIniFile& ini) {
    WriteSetting(ini, settings::kCheck, chkInterval->isChecked());
    WriteSetting(ini, settings::kInterval, seInterval->value());
    WriteSetting(ini, settings::kSound, chkSound->isChecked());
    WriteSetting(ini, settings::kSoundFile, feSound->FileName().toStdString());
    WriteSetting(ini, settings::kSmilies, chkSmilies->isChecked());
    WriteSetting(ini, settings::kNoReplySig, chkSigReply->isChecked());
    WriteSetting(ini, settings::kNewWindow, !chkNewWindow->isChecked());
    WriteSetting(ini, settings::kAlwaysText, chkAlwaysText->isChecked());
    WriteSetting(ini, settings::kReaderFont, readerFont_);
}

void TGeneralPage::cmdSoundPreviewClick() {
    const std::string fileName = feSound->FileName().toStdString();
    if (!FileExists(fileName)) {
        prompts_.ShowError(window(), tr("Error"), tr("The specified sound file does not exist!"));
        return;
    }
    sound_.PlayAsync(fileName);
}

void TGeneralPage::cmdReaderFontClick() {
    QFont font = lblReaderFontPreview->font();
    if (!prompts_.ChooseFont(window(), font)) {
        return;
    }
    FromQFont(font, readerFont_);
    ShowReaderFont();
}

void TGeneralPage::ShowReaderFont() {
    lblReaderFontPreview->setFont(ToQFont(readerFont_));
    QPalette palette = lblReaderFontPreview->palette();
    palette.setColor(QPalette::WindowText, ColorToQColor(readerFont_.Color));
    lblReaderFontPreview->setPalette(palette);
    lblReaderFontPreview->setText(QString::fromStdString(readerFont_.Name) + QStringLiteral(", ") +
                                  QString::number(readerFont_.Size) + QStringLiteral("pt"));
}

void TGeneralPage::UpdateEnabling() {
    seInterval->setEnabled(chkInterval->isChecked());
    feSound->setEnabled(chkSound->isChecked());
    cmdSoundPreview->setEnabled(chkSound->isChecked());
}

}  // namespace quobel
