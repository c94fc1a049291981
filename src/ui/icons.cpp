#include "icons.h"

#include <QPainter>
#include <QSvgRenderer>

// Resources of a static library are registered only when something refers to them.
static void InitQuobelResources() {
    Q_INIT_RESOURCE(quobel);
}

namespace quobel {
namespace {

QPixmap Render(const QString& path, QSize size) {
    static const bool registered = (InitQuobelResources(), true);
    (void)registered;
    QSvgRenderer renderer(path);
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    return pixmap;
}

QVector<QIcon> LoadList(std::initializer_list<const char*> names, int size) {
    QVector<QIcon> list;
    for (const char* name : names) {
        list.push_back(TIcons::Tool(QString::fromLatin1(name)));
        if (size != 16) {
            list.back() = QIcon(Render(
                QStringLiteral(":/quobel/resources/icons/%1.svg").arg(QString::fromLatin1(name)),
                QSize(size, size)));
        }
    }
    return list;
}

}  // namespace

QIcon TIcons::Load(const QString& name, int size) {
    const QString path = QStringLiteral(":/quobel/resources/%1.svg").arg(name);
    QIcon icon;
    icon.addPixmap(Render(path, QSize(size, size)));
    icon.addPixmap(Render(path, QSize(size * 2, size * 2)));
    return icon;
}

const QVector<QIcon>& TIcons::Mail() {
    static const QVector<QIcon> list =
        LoadList({"mail_low", "mail_high", "mail_attach", "mail_hand", "mail_read", "mail_unread",
                  "mail_key"},
                 16);
    return list;
}

const QVector<QIcon>& TIcons::Header() {
    static const QVector<QIcon> list =
        LoadList({"mail_high", "mail_attach", "mail_hand", "mail_key"}, 16);
    return list;
}

const QVector<QIcon>& TIcons::MailBoxes() {
    static const QVector<QIcon> list =
        LoadList({"box_inbox", "box_outbox", "box_sent", "box_trash", "box_folder"}, 16);
    return list;
}

const QVector<QIcon>& TIcons::Status() {
    static const QVector<QIcon> list =
        LoadList({"status_plug", "status_lock", "status_receive", "status_tray_in",
                  "status_tray_out", "status_card"},
                 16);
    return list;
}

const QVector<QIcon>& TIcons::Tasks() {
    static const QVector<QIcon> list = LoadList({"task_none", "task_running", "task_error"}, 12);
    return list;
}

QIcon TIcons::Tool(const QString& name) {
    return Load(QStringLiteral("icons/%1").arg(name), 16);
}

QIcon TIcons::Application() {
    QIcon icon;
    for (const int size : {16, 22, 32, 48, 64, 128}) {
        icon.addPixmap(Render(QStringLiteral(":/quobel/resources/quobel.svg"), QSize(size, size)));
    }
    return icon;
}

QPixmap TIcons::Splash() {
    return Render(QStringLiteral(":/quobel/resources/splash.svg"), QSize(400, 300));
}

}  // namespace quobel
