#include "ui/dialogs/notifications_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QTime>
#include <QTimeEdit>

#include "core/options.h"
#include "core/quiet_hours.h"
#include "cycle/announcement_rules.h"

namespace quobel {
namespace {

constexpr int kMinutesPerHour = 60;

// A hand-edited value outside the day is taken round the clock, as the quiet hours take it.
QTime TimeOfMinute(int32_t minute) {
    const int32_t wrapped = ((minute % kMinutesPerDay) + kMinutesPerDay) % kMinutesPerDay;
    return {wrapped / kMinutesPerHour, wrapped % kMinutesPerHour};
}

int32_t MinuteOfTime(const QTime& time) {
    return time.hour() * kMinutesPerHour + time.minute();
}

QTimeEdit* NewTimeEdit(QWidget* parent) {
    auto* edit = new QTimeEdit(parent);
    edit->setDisplayFormat(QStringLiteral("HH:mm"));
    return edit;
}

}  // namespace

TNotificationsPage::TNotificationsPage(QWidget* parent) : TOptionsPage(parent) {
    cmbMode = new QComboBox(this);
    cmbMode->addItems({tr("Off"), tr("One per account"), tr("One per message")});
    chkQuietHours = new QCheckBox(tr("&Quiet hours from"), this);
    teQuietFrom = NewTimeEdit(this);
    teQuietTo = NewTimeEdit(this);
    chkDoNotDisturb = new QCheckBox(tr("Do not disturb"), this);
    auto* explanation = new QLabel(tr("During the quiet hours, and while \"Do not disturb\" is on, "
                                      "new mail plays no sound and its notifications come quietly; "
                                      "the bar and the message list still show it."),
                                   this);
    explanation->setWordWrap(true);

    auto* layout = new QGridLayout(this);
    auto* modeLabel = new QLabel(tr("&Desktop notifications:"), this);
    modeLabel->setBuddy(cmbMode);
    layout->addWidget(modeLabel, 0, 0);
    layout->addWidget(cmbMode, 0, 1, 1, 3);
    layout->addWidget(chkQuietHours, 1, 0);
    layout->addWidget(teQuietFrom, 1, 1);
    layout->addWidget(new QLabel(tr("to"), this), 1, 2);
    layout->addWidget(teQuietTo, 1, 3);
    layout->addWidget(chkDoNotDisturb, 2, 0, 1, 4);
    layout->addWidget(explanation, 3, 0, 1, 4);
    layout->setRowStretch(4, 1);
    layout->setColumnStretch(4, 1);

    connect(chkQuietHours, &QCheckBox::toggled, this, [this] { UpdateEnabling(); });
    UpdateEnabling();
}

void TNotificationsPage::Load(const TIniFile& ini) {
    const int32_t mode = ReadSetting(ini, settings::kNotifyMode);
    cmbMode->setCurrentIndex(
        mode >= 0 && mode < cmbMode->count() ? mode : static_cast<int>(TNotifyMode::PerAccount));
    chkQuietHours->setChecked(ReadSetting(ini, settings::kQuietHours));
    teQuietFrom->setTime(TimeOfMinute(ReadSetting(ini, settings::kQuietFrom)));
    teQuietTo->setTime(TimeOfMinute(ReadSetting(ini, settings::kQuietTo)));
    chkDoNotDisturb->setChecked(ReadSetting(ini, settings::kDoNotDisturb));
    UpdateEnabling();
}

void TNotificationsPage::Save(TIniFile& ini) {
    WriteSetting(ini, settings::kNotifyMode, cmbMode->currentIndex());
    WriteSetting(ini, settings::kQuietHours, chkQuietHours->isChecked());
    WriteSetting(ini, settings::kQuietFrom, MinuteOfTime(teQuietFrom->time()));
    WriteSetting(ini, settings::kQuietTo, MinuteOfTime(teQuietTo->time()));
    WriteSetting(ini, settings::kDoNotDisturb, chkDoNotDisturb->isChecked());
}

void TNotificationsPage::UpdateEnabling() {
    teQuietFrom->setEnabled(chkQuietHours->isChecked());
    teQuietTo->setEnabled(chkQuietHours->isChecked());
}

}  // namespace quobel
