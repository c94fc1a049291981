#pragma once

#include <QCoreApplication>
#include "ui/dialogs/options_page.h"

class QCheckBox;
class QListWidget;
class QSpinBox;

namespace quobel {

class TSkinList;

// The "Bar" tab: hiding and scrolling of the bar, and its skin.
class TBarPage : public TOptionsPage {
    Q_DECLARE_TR_FUNCTIONS(TBarPage)

  public:
    TBarPage(TSkinList& skins, QWidget* parent);

    // Also lists the skins with the current one selected.
    void Load(const TIniFile& ini) override;
    void Save(TIniFile& ini) override;
    // Makes the selected skin current; returns whether one is selected. Apart from Save because
    // loading a skin can fail, and what was saved before it stays saved.
    bool SaveSkinChoice();

    QCheckBox* chkBarHide;
    QCheckBox* chkBarScroll;
    QSpinBox* seBarScroll;
    QListWidget* lstSkins;

  private:
    TSkinList& skins_;
};

}  // namespace quobel
