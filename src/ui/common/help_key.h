#pragma once

#include <QObject>
#include <QString>
#include <string>

class QWidget;

namespace quobel {

class UrlOpener;

// Names the help file's section (an anchor of Quobel.html) that F1 opens while the focus is in
// this widget or in one of its children; the innermost named widget wins, so the reader pane
// inside the main window has a section of its own.
void SetHelpSection(QWidget& widget, const char* anchor);
// The section of the innermost named widget around `widget`; empty when none is named.
QString HelpSectionOf(const QObject* widget);

// F1 anywhere in the program: opens the help file at the section of the window that has the
// focus, or at its top. Watches the application's key presses while it exists.
class THelpKey : public QObject {
    Q_OBJECT
  public:
    THelpKey(UrlOpener& opener, std::string helpFile);
    ~THelpKey() override;
    THelpKey(const THelpKey&) = delete;
    THelpKey& operator=(const THelpKey&) = delete;

    // The address F1 opens for a section ("file:///.../Quobel.html#tasks").
    std::string UrlFor(const QString& section) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    UrlOpener& opener_;
    std::string helpFile_;
};

}  // namespace quobel
