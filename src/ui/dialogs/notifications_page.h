#pragma once

#include <QCoreApplication>
#include "ui/dialogs/options_page.h"

class QCheckBox;
class QComboBox;
class QTimeEdit;

namespace quobel {

// The "Notifications" tab: how new mail raises desktop notifications, the quiet hours and
// "Do not disturb".
class TNotificationsPage : public TOptionsPage {
    Q_DECLARE_TR_FUNCTIONS(TNotificationsPage)

  public:
    explicit TNotificationsPage(QWidget* parent);

    void Load(const TIniFile& ini) override;
    void Save(TIniFile& ini) override;

    // Entries in the order of TNotifyMode.
    QComboBox* cmbMode;
    QCheckBox* chkQuietHours;
    QTimeEdit* teQuietFrom;
    QTimeEdit* teQuietTo;
    QCheckBox* chkDoNotDisturb;

  private:
    void UpdateEnabling();
};

}  // namespace quobel
