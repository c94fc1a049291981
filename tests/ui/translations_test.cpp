// The program's texts in German and in English, on the real windows offscreen: the compiled
// translation of the build is loaded as the program loads it, and the texts below the user
// interface are translated where the windows show them.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QTreeWidget>
#include <QXmlStreamReader>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "accounts/accounts.h"
#include "core/options.h"
#include "cycle/announcer.h"
#include "cycle/cycle_events.h"
#include "retrieval/custom_task.h"
#include "retrieval/errors.h"
#include "support/temp_folder.h"
#include "ui/app/translations.h"
#include "ui/common/lower_texts.h"
#include "ui/dialogs/options_dialog.h"
#include "ui/dialogs/skin_list.h"
#include "ui/options_prompts_fake.h"
#include "ui/tasks/frm_tasks.h"
#include "ui_fixture.h"

namespace quobel::testing {
namespace {

const QLocale kGerman(QLocale::German, QLocale::Germany);

// Every source text and every translation of the German file.
struct TTsTexts {
    QSet<QString> Sources;
    QSet<QString> Translations;
};

TTsTexts ReadTs(const QString& fileName) {
    QFile file(fileName);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << fileName.toStdString();
    TTsTexts texts;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (xml.name() == u"source") {
            texts.Sources.insert(xml.readElementText(QXmlStreamReader::SkipChildElements));
        } else if (xml.name() == u"translation") {
            texts.Translations.insert(xml.readElementText(QXmlStreamReader::SkipChildElements));
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return texts;
}

const TTsTexts& GermanFile() {
    static const TTsTexts texts =
        ReadTs(QStringLiteral(QUOBEL_SOURCE_DIR "/translations/quobel_de.ts"));
    return texts;
}

// The texts of a window's menu bar: the menus' titles and their entries.
QStringList MenuTexts(const QMenuBar& bar) {
    QStringList texts;
    for (QAction* menu : bar.actions()) {
        texts << menu->text();
        for (QAction* entry : menu->menu()->actions()) {
            if (!entry->isSeparator()) {
                texts << entry->text() << entry->toolTip();
            }
        }
    }
    return texts;
}

// Every text a window shows in its labels, buttons, group boxes and tabs.
QStringList WidgetTexts(const QWidget& window) {
    QStringList texts{window.windowTitle()};
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        texts << label->text();
    }
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        texts << button->text();
    }
    for (const QGroupBox* box : window.findChildren<QGroupBox*>()) {
        texts << box->title();
    }
    for (const QTabWidget* tabs : window.findChildren<QTabWidget*>()) {
        for (int i = 0; i < tabs->count(); ++i) {
            texts << tabs->tabText(i);
        }
    }
    texts.removeAll(QString());
    return texts;
}

class TFixedSkins : public TSkinList {
  public:
    int Count() const override { return 1; }
    std::string Name(int) const override { return "Graphite"; }
    int CurrentIndex() const override { return 0; }
    void SetCurrent(int) override {}
};

// The three windows of the issue: the main window, the options dialog and the Tasks window.
class TranslatedWindows : public ::testing::Test, public WindowFixture {
  protected:
    std::unique_ptr<TfrmOptions> OpenOptions() {
        return std::make_unique<TfrmOptions>(TOptionsDialogContext{
            context.Options, optionAccounts, folder.Path(), skins, prompts, sound});
    }

    TAccounts optionAccounts{folder.File("accounts")};
    TScriptedPrompts prompts;
    TRecordingSoundPlayer sound;
    TFixedSkins skins;
};

TEST_F(TranslatedWindows, GermanLocaleShowsGermanTextsInTheThreeWindows) {
    const TTranslations german(QUOBEL_TRANSLATIONS_DIR, kGerman);
    ASSERT_TRUE(german.Translated()) << "no quobel_de.qm in " QUOBEL_TRANSLATIONS_DIR;

    auto window = NewWindow();
    const QStringList menus = MenuTexts(*window->menuBar());
    for (const char* expected :
         {"&Datei", "&Ansicht", "&Nachricht", "E&xtras", "&Hilfe", "&Einstellungen...",
          "Als &gelesen markieren", "Nachrichten&vorschau", "Einstellungen"}) {
        EXPECT_TRUE(menus.contains(QString::fromUtf8(expected))) << expected;
    }
    // A command's hint: the short part as tool tip, the long one in the status bar.
    const auto* check = ChildNamed<QAction>(*window, "actSynchronize");
    EXPECT_EQ(check->text(), QStringLiteral("E-Mails &abrufen"));
    EXPECT_EQ(check->toolTip(), QStringLiteral("Senden und empfangen"));
    EXPECT_EQ(check->statusTip(), QStringLiteral("Nach neuen E-Mails suchen"));
    // Qt's own texts come in the same language: the standard buttons of a message box.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));

    auto options = OpenOptions();
    options->show();
    const QStringList optionTexts = WidgetTexts(*options);
    for (const char* expected : {"Einstellungen", "Allgemein", "Leiste", "Benachrichtigungen",
                                 "Konten", "Bestätigungen", "E-Mail-Abruf", "&Übernehmen"}) {
        EXPECT_TRUE(optionTexts.contains(QString::fromUtf8(expected))) << expected;
    }
    // German texts are longer: no label, box or button of any page may be cut.
    for (int page = 0; page < options->pcOptions->count(); ++page) {
        options->pcOptions->setCurrentIndex(page);
        QCoreApplication::processEvents();
        const QWidget* shown = options->pcOptions->currentWidget();
        for (const QWidget* widget : shown->findChildren<QWidget*>()) {
            const bool hasText = qobject_cast<const QLabel*>(widget) != nullptr ||
                                 qobject_cast<const QAbstractButton*>(widget) != nullptr;
            if (!hasText || !widget->isVisible()) {
                continue;
            }
            EXPECT_GE(widget->width(), widget->minimumSizeHint().width())
                << "cut on tab " << page << ": " << widget->objectName().toStdString() << " "
                << widget->metaObject()->className();
        }
    }

    // Made after the translation is loaded, as the program makes it.
    TfrmTasks germanTasks(context.Options);
    TCycleEvents events;
    germanTasks.ObserveCycle(events, window.get());
    germanTasks.ShowOver(nullptr);
    events.TaskStatus.Raise("pop.example.org",
                            FormatUserText(TCustomTask::kConnectingText, {"pop.example.org"}), 0);
    TError error;
    error.Message = "Could not retrieve message list!";
    error.Details = "-ERR mailbox locked";
    events.ErrorLogged.Raise(error);
    const QStringList taskTexts = WidgetTexts(germanTasks);
    for (const char* expected : {"Aufgaben", "Fehler", "&Ausblenden",
                                 "Verbindung zu pop.example.org wird hergestellt..."}) {
        EXPECT_TRUE(taskTexts.contains(QString::fromUtf8(expected))) << expected;
    }
    const QTreeWidgetItem* row = germanTasks.tvErrors->topLevelItem(0);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->text(0), QStringLiteral("Die Nachrichtenliste konnte nicht abgerufen werden!"));
    // The server's words stay as they came.
    EXPECT_EQ(row->toolTip(0), QStringLiteral("-ERR mailbox locked"));
    germanTasks.hide();
}

TEST_F(TranslatedWindows, CLocaleShowsTheSourceTextsOnly) {
    const TTranslations english(QUOBEL_TRANSLATIONS_DIR, QLocale::c());
    EXPECT_FALSE(english.Translated());

    // Every text of the menus and the dialog is one of the source texts, none a translation
    // (texts the two languages share are both).
    auto window = NewWindow();
    auto options = OpenOptions();
    tasks.ShowOver(nullptr);
    QStringList texts = MenuTexts(*window->menuBar());
    texts << WidgetTexts(*options) << WidgetTexts(tasks);
    const TTsTexts& file = GermanFile();
    int checked = 0;
    for (const QString& text : texts) {
        // Tool tips are the short part of a "Short|Long" hint; the rest is checked whole.
        const bool source =
            file.Sources.contains(text) ||
            std::any_of(file.Sources.begin(), file.Sources.end(),
                        [&](const QString& s) { return s.startsWith(text + QLatin1Char('|')); });
        if (!source && file.Translations.contains(text)) {
            ADD_FAILURE() << "a translated text under the C locale: " << text.toStdString();
        }
        checked += source ? 1 : 0;
    }
    EXPECT_GT(checked, 60);
    EXPECT_TRUE(texts.contains(QStringLiteral("&File")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Email delivery")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Tasks")));
    tasks.hide();
}

TEST(ShownText, TranslatesMarkedTextsAndPatternsAndKeepsEverythingElse) {
    const TTranslations german(QUOBEL_TRANSLATIONS_DIR, kGerman);
    ASSERT_TRUE(german.Translated());
    struct Case {
        std::string english;
        const char* shown;
        bool patternsOnly = false;
    };
    for (const Case& c : std::vector<Case>{
             {"Could not store message!", "Die Nachricht konnte nicht gespeichert werden!"},
             {"Checking for new messages...", "Suche nach neuen Nachrichten..."},
             {FormatUserText(TCustomTask::kConnectFailedText, {"pop.example.org"}),
              "Keine Verbindung zu pop.example.org möglich!"},
             // The pattern with more fixed text wins: "3 more" is no count.
             {FormatUserText(kMoreNewMessagesText, {"3", "Work"}),
              "3 weitere neue Nachrichten — Work"},
             {FormatUserText(kNewMessagesText, {"3", "Work"}), "3 neue Nachrichten — Work"},
             // A filled-in part that looks like a marker stays as it is.
             {FormatUserText(kNewMessagesText, {"2", "%1 %2"}), "2 neue Nachrichten — %1 %2"},
             // A server's reply and an unknown text are shown as they came.
             {"-ERR mailbox locked", "-ERR mailbox locked"},
             {"", ""},
             // A subject is no marked text, but a count summary is.
             {"Delete", "Delete", true},
             {FormatUserText(kOneNewMessageText, {"1", "Home"}), "1 neue Nachricht — Home", true},
         }) {
        SCOPED_TRACE(c.english);
        const QString shown = c.patternsOnly ? ShownPatternText(c.english) : ShownText(c.english);
        EXPECT_EQ(shown, QString::fromUtf8(c.shown));
    }
}

TEST(ShownText, WithoutTranslationEveryTextStaysEnglish) {
    const std::string connecting = FormatUserText(TCustomTask::kConnectingText, {"h"});
    EXPECT_EQ(connecting, "Connecting to h...");
    for (const std::string& english : {std::string("Could not store message!"), connecting}) {
        EXPECT_EQ(ShownText(english), QString::fromStdString(english));
    }
}

// Run by ctest with the desktop's variables set (tests/ui/CMakeLists.txt): the language the
// program picks from the environment, on the Tasks window.
TEST(DesktopLocale, FollowsTheEnvironment) {
    const char* expected = std::getenv("QUOBEL_EXPECTED_LANGUAGE");
    if (expected == nullptr) {
        GTEST_SKIP() << "run with the desktop's variables by ctest";
    }
    const TTranslations translations(QUOBEL_TRANSLATIONS_DIR, DesktopLocale());
    const bool german = std::string(expected) == "de";
    EXPECT_EQ(translations.Translated(), german);
    TempFolder folder;
    TOptions options(folder.File("settings.ini"));
    TfrmTasks window(options);
    EXPECT_EQ(window.windowTitle(), german ? QStringLiteral("Aufgaben") : QStringLiteral("Tasks"));
}

}  // namespace
}  // namespace quobel::testing
