#include "ui/dialogs/confirmations_page.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QStyle>

#include "core/options.h"

namespace quobel {

TConfirmationsPage::TConfirmationsPage(QWidget* parent) : TOptionsPage(parent) {
    imgConfirm = new QLabel(this);
    imgConfirm->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    chkConfirmDelete = new QCheckBox(tr("Confirm &deleting message(s)..."), this);
    auto* tab = new QGridLayout(this);
    tab->addWidget(imgConfirm, 0, 0, Qt::AlignTop);
    tab->addWidget(chkConfirmDelete, 0, 1, Qt::AlignTop);
    tab->setColumnStretch(1, 1);
    tab->setRowStretch(1, 1);
}

void TConfirmationsPage::Load(const TIniFile& ini) {
    chkConfirmDelete->setChecked(ReadSetting(ini, settings::kConfirmDelete));
}

void TConfirmationsPage::Save(TIniFile& ini) {
    WriteSetting(ini, settings::kConfirmDelete, chkConfirmDelete->isChecked());
}

}  // namespace quobel
