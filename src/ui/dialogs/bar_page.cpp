#include "ui/dialogs/bar_page.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <QVBoxLayout>
#include <climits>

#include "core/options.h"
#include "ui/dialogs/skin_list.h"

namespace quobel {

TBarPage::TBarPage(TSkinList& skins, QWidget* parent) : TOptionsPage(parent), skins_(skins) {
    auto* general = new QGroupBox(tr("General"), this);
    chkBarHide = new QCheckBox(tr("Auto-&hide bar"), general);
    chkBarScroll = new QCheckBox(tr("&Scroll messages after"), general);
    seBarScroll = new QSpinBox(general);
    seBarScroll->setRange(INT_MIN, INT_MAX);
    auto* generalLayout = new QGridLayout(general);
    generalLayout->addWidget(chkBarHide, 0, 0, 1, 3);
    generalLayout->addWidget(chkBarScroll, 1, 0);
    generalLayout->addWidget(seBarScroll, 1, 1);
    generalLayout->addWidget(new QLabel(tr("second(s)..."), general), 1, 2);
    generalLayout->setColumnStretch(3, 1);

    auto* skin = new QGroupBox(tr("Skin"), this);
    lstSkins = new QListWidget(skin);
    lstSkins->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* skinLayout = new QVBoxLayout(skin);
    skinLayout->addWidget(lstSkins);

    auto* tab = new QVBoxLayout(this);
    tab->addWidget(general);
    tab->addWidget(skin, 1);
}

void TBarPage::Load(const TIniFile& ini) {
    chkBarHide->setChecked(ReadSetting(ini, settings::kBarAutoHideInDialog));
    chkBarScroll->setChecked(ReadSetting(ini, settings::kBarScroll));
    seBarScroll->setValue(ReadSetting(ini, settings::kBarScrollTime));

    lstSkins->clear();
    for (int i = 0; i < skins_.Count(); ++i) {
        lstSkins->addItem(QString::fromStdString(skins_.Name(i)));
    }
    const int current = skins_.CurrentIndex();
    if (current >= 0 && current < lstSkins->count()) {
        lstSkins->setCurrentRow(current);
    } else {
        lstSkins->setCurrentRow(-1);
        lstSkins->clearSelection();
    }
}

void TBarPage::Save(TIniFile& ini) {
    WriteSetting(ini, settings::kBarAutoHide, chkBarHide->isChecked());
    WriteSetting(ini, settings::kBarScroll, chkBarScroll->isChecked());
    WriteSetting(ini, settings::kBarScrollTime, seBarScroll->value());
}

bool TBarPage::SaveSkinChoice() {
    const QList<QListWidgetItem*> selected = lstSkins->selectedItems();
    if (selected.isEmpty()) {
        return false;
    }
    skins_.SetCurrent(lstSkins->row(selected.front()));
    return true;
}

}  // namespace quobel
