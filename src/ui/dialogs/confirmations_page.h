#pragma once

#include <QCoreApplication>
#include "ui/dialogs/options_page.h"

class QCheckBox;
class QLabel;

namespace quobel {

// The "Confirmations" tab: whether deleting messages asks first.
class TConfirmationsPage : public TOptionsPage {
    Q_DECLARE_TR_FUNCTIONS(TConfirmationsPage)

  public:
    explicit TConfirmationsPage(QWidget* parent);

    void Load(const TIniFile& ini) override;
    void Save(TIniFile& ini) override;

    QLabel* imgConfirm;
    QCheckBox* chkConfirmDelete;
};

}  // namespace quobel
