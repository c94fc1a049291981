#pragma once

#include <QLocale>
#include <QTranslator>
#include <memory>
#include <string>

namespace quobel {

// The folder of the compiled translations inside the program folder: beside the binary in a
// build tree, share/quobel/translations when installed (ui/app/program_folder.h).
std::string TranslationsFolderOf(const std::string& programFolder);

// The program's texts in the user's language while it lives: Quobel's own translation from the
// given folder and Qt's (standard buttons, file dialogs) from Qt's folder, each only when there
// is one for the locale's languages; with none, every text stays English.
class TTranslations {
  public:
    TTranslations(const std::string& folder, const QLocale& locale);
    ~TTranslations();
    TTranslations(const TTranslations&) = delete;
    TTranslations& operator=(const TTranslations&) = delete;

    // Whether Quobel's own texts are translated (false for English and for a missing language).
    bool Translated() const { return own_ != nullptr; }
    QString Language() const;

  private:
    std::unique_ptr<QTranslator> own_;
    std::unique_ptr<QTranslator> qt_;
};

// The desktop's language as the environment names it (LANGUAGE, LC_ALL, LC_MESSAGES, LANG).
QLocale DesktopLocale();

}  // namespace quobel
