#pragma once

#include <QWidget>

namespace quobel {

class TIniFile;

// One tab of the options dialog. The dialog loads every page when it opens and, on OK and
// Apply, validates every page before it saves any.
class TOptionsPage : public QWidget {
  public:
    using QWidget::QWidget;

    // Shows what the settings file holds.
    virtual void Load(const TIniFile& ini) = 0;
    // Whether the page's values can be saved; a page that refuses says why itself.
    virtual bool Validate() { return true; }
    // Writes the page's values to the settings file.
    virtual void Save(TIniFile& ini) = 0;
};

}  // namespace quobel
