#pragma once

#include <QtGlobal>

class QLabel;
class QMainWindow;
class QProgressBar;
class QPushButton;
class QSplitter;
class QTabBar;
class QTreeView;
class QTreeWidget;
class QWidget;

namespace quobel {

class TFolderListModel;
class TMessageListModel;
class TStatusPanel;

// The main window's widgets, all owned by the window (Qt children).
struct TMainWidgets {
    QWidget* pnlHeader;
    QLabel* imgBoxIcon;
    QLabel* lblBoxName;
    QSplitter* spltMain;
    QSplitter* spltLeft;
    QSplitter* spltReader;
    QTreeView* tvBoxList;
    QTreeWidget* tvContacts;
    QTreeView* tvMailBox;
    QWidget* pnlFirstRun;  // over the list while there is no account
    QLabel* lblFirstRun;
    QPushButton* cmdAddAccount;
    QWidget* pnlReader;
    QWidget* pnlHeaders;
    QLabel *lblFrom, *lblTo, *lblCC, *lblRecipient, *lblSourceIP;
    QPushButton* cmdAttachments;
    QWidget* pnlReaderHost;  // the reader pane goes here
    QTabBar* tsParts;
    QWidget* pnlProgress;
    QProgressBar* pbDecode;
    QLabel* sbHint;          // status panel 0: the long hint
    TStatusPanel* sbStatus;  // status panel 1: the task status
};

// What the first-run line and the Check mail command say while there is no account.
inline constexpr char kNoAccountYet[] =
    QT_TRANSLATE_NOOP("MainWindow", "No account yet: add one to start checking mail");

// Makes and lays out the window's widgets: the header strip over the folder tree and contacts on
// the left, the message list over the reader panel on the right, and the status bar. The lists
// show the models; columns, sorting and signals are the window's business.
TMainWidgets BuildMainWidgets(QMainWindow& window, TFolderListModel& folders,
                              TMessageListModel& messages);

}  // namespace quobel
