#include "ui/common/icons.h"

#include <QApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>
#include <utility>

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

// Renders a picture at a size when that size is first asked for: most pictures (menus, windows
// not open yet) are never drawn, and the program starts sooner for not rendering them.
class SvgIconEngine : public QIconEngine {
  public:
    explicit SvgIconEngine(QString path) : path_(std::move(path)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        const QString key = QStringLiteral("%1x%2/%3/%4")
                                .arg(size.width())
                                .arg(size.height())
                                .arg(static_cast<int>(mode))
                                .arg(static_cast<int>(state));
        const auto cached = pixmaps_.constFind(key);
        if (cached != pixmaps_.constEnd()) {
            return *cached;
        }
        QPixmap result = Render(path_, size);
        if (mode != QIcon::Normal && QApplication::style() != nullptr) {
            // Disabled and selected pictures as the style derives them from the normal one.
            QStyleOption option;
            option.palette = QApplication::palette();
            result = QApplication::style()->generatedIconPixmap(mode, result, &option);
        }
        pixmaps_.insert(key, result);
        return result;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    // Owned by the icon that asks for the copy.
    QIconEngine* clone() const override { return new SvgIconEngine(*this); }
    QString key() const override { return QStringLiteral("QuobelSvg"); }

  private:
    QString path_;
    QHash<QString, QPixmap> pixmaps_;
};

QIcon LazyIcon(const QString& path) {
    static const bool registered = (InitQuobelResources(), true);
    (void)registered;
    return QIcon(new SvgIconEngine(path));  // the icon owns its engine
}

QVector<QIcon> LoadList(std::initializer_list<const char*> names) {
    QVector<QIcon> list;
    for (const char* name : names) {
        list.push_back(TIcons::Tool(QString::fromLatin1(name)));
    }
    return list;
}

}  // namespace

QIcon TIcons::Load(const QString& name) {
    return LazyIcon(QStringLiteral(":/quobel/resources/%1.svg").arg(name));
}

const QVector<QIcon>& TIcons::Mail() {
    static const QVector<QIcon> list =
        LoadList({"mail_low", "mail_high", "mail_attach", "mail_hand", "mail_read", "mail_unread",
                  "mail_key"});
    return list;
}

const QVector<QIcon>& TIcons::Header() {
    static const QVector<QIcon> list =
        LoadList({"mail_high", "mail_attach", "mail_hand", "mail_key"});
    return list;
}

const QVector<QIcon>& TIcons::MailBoxes() {
    static const QVector<QIcon> list =
        LoadList({"box_inbox", "box_outbox", "box_sent", "box_trash", "box_folder"});
    return list;
}

const QVector<QIcon>& TIcons::Status() {
    static const QVector<QIcon> list =
        LoadList({"status_plug", "status_lock", "status_receive", "status_tray_in",
                  "status_tray_out", "status_card"});
    return list;
}

const QVector<QIcon>& TIcons::Tasks() {
    static const QVector<QIcon> list = LoadList({"task_none", "task_running", "task_error"});
    return list;
}

QIcon TIcons::Tool(const QString& name) {
    return Load(QStringLiteral("icons/%1").arg(name));
}

QIcon TIcons::Application() {
    QIcon icon;
    for (const int size : {16, 22, 32, 48, 64, 128}) {
        icon.addPixmap(Render(QStringLiteral(":/quobel/resources/quobel.svg"), QSize(size, size)));
    }
    return icon;
}

QPixmap TIcons::Splash() {
    static const bool registered = (InitQuobelResources(), true);
    (void)registered;
    // Rendered from splash.svg ahead of time: shown at once, it should not wait for the SVG
    // renderer and the fonts.
    return QPixmap(QStringLiteral(":/quobel/resources/splash.png"));
}

}  // namespace quobel
