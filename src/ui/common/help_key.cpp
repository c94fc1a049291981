#include "ui/common/help_key.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QUrl>
#include <QWidget>
#include <utility>

#include "platform/url_opener.h"

namespace quobel {
namespace {

constexpr char kHelpSection[] = "quobelHelpSection";

}  // namespace

void SetHelpSection(QWidget& widget, const char* anchor) {
    widget.setProperty(kHelpSection, QString::fromLatin1(anchor));
}

QString HelpSectionOf(const QObject* widget) {
    for (const QObject* at = widget; at != nullptr; at = at->parent()) {
        const QVariant section = at->property(kHelpSection);
        if (section.isValid()) {
            return section.toString();
        }
    }
    return {};
}

THelpKey::THelpKey(UrlOpener& opener, std::string helpFile)
    : opener_(opener), helpFile_(std::move(helpFile)) {
    QCoreApplication::instance()->installEventFilter(this);
}

THelpKey::~THelpKey() {
    QCoreApplication::instance()->removeEventFilter(this);
}

std::string THelpKey::UrlFor(const QString& section) const {
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(helpFile_));
    if (!section.isEmpty()) {
        url.setFragment(section);
    }
    return url.toString(QUrl::FullyEncoded).toStdString();
}

bool THelpKey::eventFilter(QObject* watched, QEvent* event) {
    // A key press travels from the focus widget up to its window; the first sight of it is the
    // innermost widget, which names the most precise section.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
            opener_.OpenUrl(UrlFor(HelpSectionOf(watched)));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace quobel
