#include "ui/app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

#include "core/file_util.h"

namespace quobel {

namespace {

// A translator loaded for the locale's languages in their order of preference, or none.
std::unique_ptr<QTranslator> LoadFor(const QLocale& locale, const QString& name,
                                     const QString& folder) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, name, QStringLiteral("_"), folder) || translator->isEmpty()) {
        return nullptr;
    }
    QCoreApplication::installTranslator(translator.get());
    return translator;
}

}  // namespace

std::string TranslationsFolderOf(const std::string& programFolder) {
    return JoinPath(programFolder, "translations");
}

TTranslations::TTranslations(const std::string& folder, const QLocale& locale)
    : own_(LoadFor(locale, QStringLiteral("quobel"), QString::fromStdString(folder))) {
    // Qt's own texts only with Quobel's, so that a window never mixes two languages.
    if (own_ != nullptr) {
        qt_ = LoadFor(locale, QStringLiteral("qtbase"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }
}

TTranslations::~TTranslations() {
    for (QTranslator* translator : {qt_.get(), own_.get()}) {
        if (translator != nullptr) {
            QCoreApplication::removeTranslator(translator);
        }
    }
}

QString TTranslations::Language() const {
    return own_ != nullptr ? own_->language() : QString();
}

QLocale DesktopLocale() {
    // Qt takes the languages from LANGUAGE, else from LC_ALL, LC_MESSAGES or LANG. As in every
    // other program of the desktop, a C or POSIX locale means untranslated, whatever LANGUAGE says.
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray value = qgetenv(variable);
        if (value.isEmpty()) {
            continue;
        }
        if (value == "C" || value.startsWith("C.") || value == "POSIX") {
            return QLocale::c();
        }
        break;
    }
    return QLocale::system();
}

}  // namespace quobel
