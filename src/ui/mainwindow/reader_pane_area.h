#pragma once

class QAbstractButton;
class QLabel;
class QTabBar;
class QWidget;

namespace quobel {

// The part of the main window the preview pane is given: the area the pane goes into (it has a
// layout) and the header fields, tab strip and attachments button around it. The window owns
// them.
struct TReaderPaneArea {
    QWidget* Host;
    QTabBar* Tabs;
    QAbstractButton* Attachments;
    QLabel* From;
    QLabel* To;
    QLabel* CC;
    QLabel* Recipient;
    QLabel* SourceIP;
};

}  // namespace quobel
