#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QVector>

namespace quobel {

// The program's pictures, drawn as SVG and rendered here, each size when first drawn, so that no
// image plugin is needed. The image lists keep the index meanings the windows rely on.
class TIcons {
  public:
    // ilsMail: 0 low priority, 1 high priority, 2 attachment, 3 hand, 4 read, 5 unread, 6 key.
    static const QVector<QIcon>& Mail();
    // ilsHeader: 0 exclamation mark, 1 paper clip, 2 hand, 3 key.
    static const QVector<QIcon>& Header();
    // ilsMailBoxes: the icon of mailbox type 0 (Inbox) to 4.
    static const QVector<QIcon>& MailBoxes();
    // ilsStatus: task status kinds 0 to 4 and a sixth picture the panel does not use.
    static const QVector<QIcon>& Status();
    // ilsTasks (12 x 12): 0 none, 1 running task, 2 error.
    static const QVector<QIcon>& Tasks();

    // A tool bar or menu picture by its file name ("compose", "delete", ...).
    static QIcon Tool(const QString& name);
    static QIcon Application();
    // The start-up picture, 400 x 300.
    static QPixmap Splash();

  private:
    static QIcon Load(const QString& name);
};

}  // namespace quobel
