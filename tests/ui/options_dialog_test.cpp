#include "ui/dialogs/options_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimeEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <functional>
#include <utility>

#include "accounts/account_file.h"
#include "accounts/accounts.h"
#include "bar/skins.h"
#include "core/error.h"
#include "core/file_util.h"
#include "core/ini_file.h"
#include "core/options.h"
#include "platform/secret_service_store.h"
#include "retrieval/command_token_source.h"
#include "support/private_keyring.h"
#include "support/temp_folder.h"
#include "ui/dialogs/account_dialog.h"
#include "ui/dialogs/color_picker.h"
#include "ui/dialogs/options_file_edit.h"
#include "ui/options_prompts_fake.h"

namespace quobel {
namespace {

using testing::TempFolder;
using testing::TRecordingSoundPlayer;
using testing::TScriptedPrompts;

class TFakeSkins : public TSkinList {
  public:
    int Count() const override { return static_cast<int>(Names.size()); }
    std::string Name(int index) const override { return Names.at(static_cast<size_t>(index)); }
    int CurrentIndex() const override { return Current; }
    void SetCurrent(int index) override {
        SetCalls.push_back(index);
        Current = index;
    }
    std::vector<std::string> Names{"Classic", "Dark", "Ocean"};
    int Current = 1;
    std::vector<int> SetCalls;
};

// Every key of a file as "Section/Key=Value", in file order.
std::vector<std::string> Entries(const std::string& fileName) {
    const TIniFile ini(fileName);
    std::vector<std::string> entries;
    for (const std::string& section : ini.ReadSections()) {
        for (const std::string& key : ini.ReadSection(section)) {
            entries.push_back(section + "/" + key + "=" + ini.ReadString(section, key, "?"));
        }
    }
    return entries;
}

QStringList RowTexts(const QTreeWidget& tree, int column) {
    QStringList texts;
    for (int i = 0; i < tree.topLevelItemCount(); ++i) {
        texts << tree.topLevelItem(i)->text(column);
    }
    return texts;
}

class OptionsDialogTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(ForceFolders(AccountsFolder())); }

    std::string AccountsFolder() const { return folder.File("accounts"); }
    std::string AccountFile(const TAccount& account) const {
        return TAccounts::FileNameOf(AccountsFolder(), account);
    }

    std::unique_ptr<TfrmOptions> Open() {
        return std::make_unique<TfrmOptions>(
            TOptionsDialogContext{options, accounts, folder.Path(), skins, prompts, sound});
    }

    TAccount& MakeAccount(const std::string& name, const std::string& host, bool isDefault) {
        TAccount& account = accounts.Add(true);
        account.Name = name;
        account.POP.Host = host;
        account.Default = isDefault;
        SaveAccount(account, AccountFile(account));
        return account;
    }

    // The next account dialog is filled in and confirmed.
    void ScriptAccount(const QString& name, const QString& host) {
        prompts.ModalSteps.push_back([name, host](QDialog& shown) {
            auto& dialog = dynamic_cast<TfrmAccount&>(shown);
            dialog.txtAccount->setText(name);
            dialog.txtName->setText("Ann Example");
            dialog.txtEmail->setText("ann@example.org");
            dialog.txtPOPHost->setText(host);
            dialog.txtPOPUser->setText("ann");
            dialog.txtPOPPass->setText("secret");
            dialog.txtSMTPHost->setText("smtp.example.org");
            dialog.cmdOKClick();
            return dialog.result();
        });
    }

    void Focus(TfrmOptions& dialog, const TAccount& account) {
        QTreeWidgetItem* row = dialog.tsAccounts->RowOf(account);
        ASSERT_NE(row, nullptr);
        dialog.tsAccounts->tvAccounts->setCurrentItem(row);
    }

    TempFolder folder;
    TOptions options{folder.File("settings.ini")};
    TAccounts accounts{folder.File("accounts")};
    TScriptedPrompts prompts;
    TRecordingSoundPlayer sound;
    TFakeSkins skins;
};

TEST_F(OptionsDialogTest, FirstOpeningShowsTheDefaults) {
    auto dialog = Open();
    EXPECT_EQ(dialog->windowTitle(), "Options");
    EXPECT_EQ(dialog->pcOptions->currentWidget(), dialog->tsNotification);
    EXPECT_FALSE(dialog->pcOptions->isTabVisible(dialog->pcOptions->indexOf(dialog->tsAntiSpam)));

    EXPECT_TRUE(dialog->tsNotification->chkInterval->isChecked());
    EXPECT_EQ(dialog->tsNotification->seInterval->value(), 5);
    EXPECT_TRUE(dialog->tsNotification->seInterval->isEnabled());
    EXPECT_FALSE(dialog->tsNotification->chkSound->isChecked());
    EXPECT_FALSE(dialog->tsNotification->feSound->isEnabled());
    EXPECT_FALSE(dialog->tsNotification->cmdSoundPreview->isEnabled());
    EXPECT_FALSE(dialog->tsNotification->chkSmilies->isChecked());
    EXPECT_TRUE(dialog->tsNotification->chkNewWindow->isChecked());
    EXPECT_FALSE(dialog->tsNotification->chkAlwaysText->isChecked());
    EXPECT_FALSE(dialog->tsNotification->chkSigReply->isChecked());
    EXPECT_EQ(dialog->tsNotification->lblReaderFontPreview->text(), "Courier New, 8pt");
    EXPECT_EQ(dialog->tsNotification->lblReaderFontPreview->font().family(), "Courier New");
    EXPECT_TRUE(dialog->tsBar->chkBarHide->isChecked());
    EXPECT_TRUE(dialog->tsBar->chkBarScroll->isChecked());
    EXPECT_EQ(dialog->tsBar->seBarScroll->value(), 5);
    EXPECT_TRUE(dialog->tsConfirmations->chkConfirmDelete->isChecked());
    ASSERT_EQ(dialog->tsBar->lstSkins->count(), 3);
    ASSERT_EQ(dialog->tsBar->lstSkins->selectedItems().size(), 1);
    EXPECT_EQ(dialog->tsBar->lstSkins->selectedItems()[0]->text(), "Dark");

    EXPECT_TRUE(dialog->tsAccounts->actAdd->isEnabled());
    EXPECT_FALSE(dialog->tsAccounts->actEdit->isEnabled());
    EXPECT_FALSE(dialog->tsAccounts->actRemove->isEnabled());
    EXPECT_FALSE(dialog->tsAccounts->actSetDefault->isEnabled());
    EXPECT_EQ(dialog->tsAccounts->tvAccounts->header()->sectionSize(0), 160);
    EXPECT_EQ(dialog->tsAccounts->tvAccounts->header()->sectionSize(1), 125);
    EXPECT_FALSE(FileExists(options.FileName())) << "opening writes nothing";
}

TEST_F(OptionsDialogTest, OkWithoutChangesWritesEveryKeyInOrder) {
    auto dialog = Open();
    int applied = 0;
    dialog->OnApplySkin = [&](TfrmOptions&) { ++applied; };
    dialog->cmdOk->click();

    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(dialog->SettingsWritten());
    EXPECT_FALSE(dialog->AccountsChanged());
    EXPECT_TRUE(prompts.Failures.empty());
    const std::vector<std::string> expected{
        "General/Check=1",
        "General/Interval=5",
        "General/Sound=0",
        "General/SoundFile=",
        "General/Smilies=0",
        "General/NoReplySig=0",
        "Reader/NewWindow=0",
        "Reader/AlwaysText=0",
        "Reader.Font/Name=Courier New",
        "Reader.Font/Size=8",
        "Reader.Font/Color=-2147483640",
        "Reader.Font/Style.Bold=0",
        "Reader.Font/Style.Italic=0",
        "Reader.Font/Style.Underline=0",
        "Reader.Font/Style.Striktrough=0",
        "Bar/AutoHide=1",
        "Bar/Scroll=1",
        "Bar/ScrollTime=5",
        "Notifications/Mode=1",
        "Notifications/QuietHours=0",
        "Notifications/QuietFrom=1320",
        "Notifications/QuietTo=420",
        "Notifications/DoNotDisturb=0",
        "Confirmations/Delete=1",
    };
    EXPECT_EQ(Entries(options.FileName()), expected);
    EXPECT_EQ(skins.SetCalls, std::vector<int>{1});
    EXPECT_EQ(applied, 1);
    EXPECT_TRUE(FileExists(folder.File("accheaders.dat"))) << "closing saves the column layout";
}

TEST_F(OptionsDialogTest, StoredSettingsShowAndApplyKeepsWhatCancelDiscards) {
    {
        OptionsScope scope(options);
        TIniFile& ini = scope.Ini();
        ini.WriteString("General", "Check", "0");
        ini.WriteString("General", "Interval", "0x0A");
        ini.WriteBool("General", "Sound", true);
        ini.WriteString("General", "SoundFile", "/sounds/new.wav");
        ini.WriteBool("Reader", "NewWindow", true);
        ini.WriteBool("Bar", "AutoHide", false);
        ini.WriteInteger("Bar", "ScrollTime", 7);
        ini.WriteBool("Confirmations", "Delete", false);
    }
    options.WriteFont(settings::kReaderFont,
                      TFontRecord{"Arial", 12, 0x0000FF, true, false, false, true});

    auto dialog = Open();
    EXPECT_FALSE(dialog->tsNotification->chkInterval->isChecked());
    EXPECT_EQ(dialog->tsNotification->seInterval->value(), 10);
    EXPECT_FALSE(dialog->tsNotification->seInterval->isEnabled());
    EXPECT_TRUE(dialog->tsNotification->chkSound->isChecked());
    EXPECT_TRUE(dialog->tsNotification->feSound->isEnabled());
    EXPECT_TRUE(dialog->tsNotification->cmdSoundPreview->isEnabled());
    EXPECT_EQ(dialog->tsNotification->feSound->FileName(), "/sounds/new.wav");
    EXPECT_FALSE(dialog->tsNotification->chkNewWindow->isChecked());
    EXPECT_FALSE(dialog->tsBar->chkBarHide->isChecked());
    EXPECT_EQ(dialog->tsBar->seBarScroll->value(), 7);
    EXPECT_FALSE(dialog->tsConfirmations->chkConfirmDelete->isChecked());
    EXPECT_EQ(dialog->tsNotification->lblReaderFontPreview->text(), "Arial, 12pt");
    EXPECT_TRUE(dialog->tsNotification->lblReaderFontPreview->font().bold());
    EXPECT_TRUE(dialog->tsNotification->lblReaderFontPreview->font().strikeOut());

    // The enabling follows the boxes.
    dialog->tsNotification->chkInterval->setChecked(true);
    EXPECT_TRUE(dialog->tsNotification->seInterval->isEnabled());
    dialog->tsNotification->chkSound->setChecked(false);
    EXPECT_FALSE(dialog->tsNotification->feSound->isEnabled());
    EXPECT_FALSE(dialog->tsNotification->cmdSoundPreview->isEnabled());

    // A scroll time of 0 is stored as it is; Apply leaves the dialog open.
    dialog->tsBar->seBarScroll->setValue(0);
    dialog->tsNotification->chkNewWindow->setChecked(true);
    dialog->cmdApply->click();
    EXPECT_TRUE(dialog->SettingsWritten());
    {
        const TIniFile ini(options.FileName());
        EXPECT_EQ(ini.ReadString("Bar", "ScrollTime", "?"), "0");
        EXPECT_EQ(ini.ReadString("Reader", "NewWindow", "?"), "0");
        EXPECT_EQ(ini.ReadString("General", "Check", "?"), "1");
        EXPECT_EQ(ini.ReadString("Reader.Font", "Color", "?"), "255");
        EXPECT_EQ(ini.ReadString("Reader.Font", "Style.Striktrough", "?"), "1");
    }

    // Changes after Apply are dropped by Cancel; what Apply wrote stays.
    dialog->tsBar->seBarScroll->setValue(9);
    dialog->cmdCancel->click();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    const TIniFile ini(options.FileName());
    EXPECT_EQ(ini.ReadString("Bar", "ScrollTime", "?"), "0");
}

// Each control of a settings page against its key: the stored value shows, a changed control is
// what OK writes, and the boxes that show the negation of their key write it negated. Boxes are
// tried both ways, so that a box saved under another box's key cannot pass by its default.
TEST_F(OptionsDialogTest, EveryControlShowsAndSavesItsOwnKey) {
    using Shown = std::function<QString(TfrmOptions&)>;
    using Change = std::function<void(TfrmOptions&)>;
    const auto box = [](QCheckBox* TGeneralPage::*member) {
        return std::make_pair(
            Shown([member](TfrmOptions& d) {
                return (d.tsNotification->*member)->isChecked() ? "on" : "off";
            }),
            Change([member](TfrmOptions& d) { (d.tsNotification->*member)->toggle(); }));
    };
    const auto confirmBox = [] {
        return std::make_pair(
            Shown([](TfrmOptions& d) {
                return d.tsConfirmations->chkConfirmDelete->isChecked() ? "on" : "off";
            }),
            Change([](TfrmOptions& d) { d.tsConfirmations->chkConfirmDelete->toggle(); }));
    };
    const auto barBox = [](QCheckBox* TBarPage::*member) {
        return std::make_pair(Shown([member](TfrmOptions& d) {
                                  return (d.tsBar->*member)->isChecked() ? "on" : "off";
                              }),
                              Change([member](TfrmOptions& d) { (d.tsBar->*member)->toggle(); }));
    };
    struct Case {
        const char* section;
        const char* key;
        const char* stored;
        std::pair<Shown, Change> control;
        QString shown;
        const char* written;  // after the change
    };
    const Case cases[] = {
        {"General", "Check", "0", box(&TGeneralPage::chkInterval), "off", "1"},
        {"General", "Check", "1", box(&TGeneralPage::chkInterval), "on", "0"},
        {"General",
         "Interval",
         "17",
         {[](TfrmOptions& d) { return QString::number(d.tsNotification->seInterval->value()); },
          [](TfrmOptions& d) { d.tsNotification->seInterval->setValue(33); }},
         "17",
         "33"},
        {"General", "Sound", "1", box(&TGeneralPage::chkSound), "on", "0"},
        {"General", "Sound", "0", box(&TGeneralPage::chkSound), "off", "1"},
        {"General",
         "SoundFile",
         "/a.wav",
         {[](TfrmOptions& d) { return d.tsNotification->feSound->FileName(); },
          [](TfrmOptions& d) { d.tsNotification->feSound->SetFileName("/b.wav"); }},
         "/a.wav",
         "/b.wav"},
        {"General", "Smilies", "1", box(&TGeneralPage::chkSmilies), "on", "0"},
        {"General", "Smilies", "0", box(&TGeneralPage::chkSmilies), "off", "1"},
        {"General", "NoReplySig", "1", box(&TGeneralPage::chkSigReply), "on", "0"},
        {"General", "NoReplySig", "0", box(&TGeneralPage::chkSigReply), "off", "1"},
        {"Reader", "NewWindow", "1", box(&TGeneralPage::chkNewWindow), "off", "0"},
        {"Reader", "NewWindow", "0", box(&TGeneralPage::chkNewWindow), "on", "1"},
        {"Reader", "AlwaysText", "1", box(&TGeneralPage::chkAlwaysText), "on", "0"},
        {"Reader", "AlwaysText", "0", box(&TGeneralPage::chkAlwaysText), "off", "1"},
        {"Bar", "AutoHide", "0", barBox(&TBarPage::chkBarHide), "off", "1"},
        {"Bar", "AutoHide", "1", barBox(&TBarPage::chkBarHide), "on", "0"},
        {"Bar", "Scroll", "0", barBox(&TBarPage::chkBarScroll), "off", "1"},
        {"Bar", "Scroll", "1", barBox(&TBarPage::chkBarScroll), "on", "0"},
        {"Bar",
         "ScrollTime",
         "12",
         {[](TfrmOptions& d) { return QString::number(d.tsBar->seBarScroll->value()); },
          [](TfrmOptions& d) { d.tsBar->seBarScroll->setValue(-3); }},
         "12",
         "-3"},
        {"Confirmations", "Delete", "0", confirmBox(), "off", "1"},
        {"Confirmations", "Delete", "1", confirmBox(), "on", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key + "=" + c.stored);
        DeleteFileIfExists(options.FileName());
        {
            OptionsScope scope(options);
            scope.Ini().WriteString(c.section, c.key, c.stored);
        }
        auto dialog = Open();
        EXPECT_EQ(c.control.first(*dialog), c.shown);
        c.control.second(*dialog);
        dialog->cmdOk->click();
        ASSERT_EQ(dialog->result(), QDialog::Accepted);
        const TIniFile ini(options.FileName());
        EXPECT_EQ(ini.ReadString(c.section, c.key, "?"), c.written);
    }
}

TEST_F(OptionsDialogTest, SkinChoiceAndFailure) {
    // The stored skin no longer exists: nothing is selected and OK leaves the skin alone.
    skins.Current = -1;
    {
        auto dialog = Open();
        EXPECT_TRUE(dialog->tsBar->lstSkins->selectedItems().isEmpty());
        int applied = 0;
        dialog->OnApplySkin = [&](TfrmOptions&) { ++applied; };
        dialog->cmdOk->click();
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        EXPECT_TRUE(skins.SetCalls.empty());
        EXPECT_EQ(applied, 0);
        EXPECT_EQ(Entries(options.FileName()).size(), 24u);
    }
    DeleteFileIfExists(options.FileName());

    // A chosen skin that fails to load stops OK there: the dialog stays open, the settings
    // before the skin are written and the delete confirmation is not.
    auto dialog = Open();
    dialog->tsBar->lstSkins->setCurrentRow(2);
    dialog->OnApplySkin = [](TfrmOptions&) { throw Error("The specified skin does not exist!"); };
    dialog->cmdOk->click();
    EXPECT_EQ(skins.SetCalls, std::vector<int>{2});
    ASSERT_EQ(prompts.Failures.size(), 1u);
    EXPECT_TRUE(prompts.Failures[0].endsWith("The specified skin does not exist!"));
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    const TIniFile ini(options.FileName());
    EXPECT_EQ(ini.ReadString("Bar", "ScrollTime", "?"), "5");
    EXPECT_FALSE(ini.ValueExists("Confirmations", "Delete"));
}

TEST(SkinListOf, AdaptsTheBarsSkinList) {
    const TempFolder folder;
    for (const char* name : {"Paper", "graphite", "Harbour"}) {
        ASSERT_TRUE(ForceFolders(folder.File(std::string("skins/") + name)));
    }
    TOptions options(folder.File("settings.ini"));
    {
        OptionsScope scope(options);
        scope.Ini().WriteString("Bar", "Skin", "Harbour");
    }
    TSkins skins(options);
    skins.LoadFromFolder(folder.File("skins"));
    TSkinListOf<TSkins> list(skins);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Name(0), "graphite");
    EXPECT_EQ(list.CurrentIndex(), 1);
    list.SetCurrent(2);
    EXPECT_EQ(skins.Current(), &skins.Items(2));
    EXPECT_EQ(list.CurrentIndex(), 2);
    const TIniFile ini(options.FileName());
    EXPECT_EQ(ini.ReadString("Bar", "Skin", ""), "Paper");
}

TEST_F(OptionsDialogTest, SoundFileBrowseAndPreview) {
    auto dialog = Open();
    dialog->tsNotification->chkSound->setChecked(true);

    prompts.FileChoice = QString::fromStdString(folder.File("missing.wav"));
    dialog->tsNotification->feSound->BrowseButton()->click();
    ASSERT_EQ(prompts.FileDialogs.size(), 1u);
    EXPECT_EQ(prompts.FileDialogs[0].Title, "Select sound file");
    EXPECT_EQ(prompts.FileDialogs[0].Text, "Sound files (*.wav)");
    EXPECT_EQ(dialog->tsNotification->feSound->FileName(), *prompts.FileChoice);

    // A dropped file names the file (not its URL).
    dialog->show();
    QMimeData dropped;
    dropped.setUrls({QUrl::fromLocalFile("/music/drop.wav")});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dialog->tsNotification->feSound->Edit(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dialog->tsNotification->feSound->Edit(), &drop);
    EXPECT_EQ(dialog->tsNotification->feSound->FileName(), "/music/drop.wav");
    dialog->tsNotification->feSound->SetFileName(*prompts.FileChoice);

    dialog->tsNotification->cmdSoundPreview->click();
    ASSERT_EQ(prompts.Errors.size(), 1u);
    EXPECT_EQ(prompts.Errors[0].Title, "Error");
    EXPECT_EQ(prompts.Errors[0].Text, "The specified sound file does not exist!");
    EXPECT_TRUE(sound.Played.empty());

    WriteFileAtomic(folder.File("ding.wav"), "RIFF");
    dialog->tsNotification->feSound->SetFileName(QString::fromStdString(folder.File("ding.wav")));
    dialog->tsNotification->cmdSoundPreview->click();
    EXPECT_EQ(prompts.Errors.size(), 1u);
    EXPECT_EQ(sound.Played, std::vector<std::string>{folder.File("ding.wav")});
}

TEST_F(OptionsDialogTest, ReaderFontChangesOnlyWithOk) {
    auto dialog = Open();
    dialog->tsNotification->cmdReaderFont->click();  // cancelled
    EXPECT_EQ(dialog->tsNotification->lblReaderFontPreview->text(), "Courier New, 8pt");

    QFont chosen("DejaVu Sans");
    chosen.setPointSize(12);
    chosen.setItalic(true);
    prompts.FontChoice = chosen;
    dialog->tsNotification->cmdReaderFont->click();
    EXPECT_EQ(dialog->tsNotification->lblReaderFontPreview->text(), "DejaVu Sans, 12pt");
    EXPECT_TRUE(dialog->tsNotification->lblReaderFontPreview->font().italic());
    EXPECT_FALSE(FileExists(options.FileName()));

    dialog->cmdOk->click();
    TFontRecord font;
    options.ReadFont(settings::kReaderFont, font);
    EXPECT_EQ(font, (TFontRecord{"DejaVu Sans", 12, kColorWindowText, false, true, false, false}));
}

TEST_F(OptionsDialogTest, AddingAccountsSavesThemAndTheFirstBecomesDefault) {
    auto dialog = Open();
    prompts.ModalSteps.push_back([](QDialog& shown) {
        // A new account starts without a colour of its own; cancelled.
        EXPECT_EQ(dynamic_cast<TfrmAccount&>(shown).AccountColor(), kNoSkinColor);
        return int(QDialog::Rejected);
    });
    dialog->tsAccounts->actAdd->trigger();
    EXPECT_EQ(accounts.Count(), 0u);
    EXPECT_FALSE(dialog->AccountsChanged());

    ScriptAccount("Work", "pop.work.example");
    dialog->tsAccounts->actAdd->trigger();
    ASSERT_EQ(accounts.Count(), 1u);
    const TAccount& work = accounts.Items(0);
    EXPECT_TRUE(work.Default);
    EXPECT_EQ(work.ID.size(), 32u);
    // A new account starts as POP3 over TLS.
    EXPECT_EQ(work.POP.Port, 995);
    EXPECT_EQ(work.POP.TLS, TPOPSecurity::Tls);
    EXPECT_EQ(work.SMTP.Port, 25);
    EXPECT_EQ(work.SkinColor, kNoSkinColor);
    EXPECT_TRUE(work.Synchronize);
    EXPECT_TRUE(dialog->AccountsChanged());

    TAccount reread;
    LoadAccount(reread, AccountFile(work));
    EXPECT_EQ(reread.Name, "Work");
    EXPECT_TRUE(reread.Default);
    EXPECT_EQ(reread.POP.Password, "secret");
    EXPECT_EQ(reread.From.Email, "ann@example.org");

    ScriptAccount("alpha", "pop.alpha.example");
    dialog->tsAccounts->actAdd->trigger();
    ASSERT_EQ(accounts.Count(), 2u);
    EXPECT_FALSE(accounts.Items(1).Default);
    EXPECT_NE(accounts.Items(1).ID, work.ID);
    EXPECT_TRUE(FileExists(AccountFile(accounts.Items(1))));
    EXPECT_EQ(RowTexts(*dialog->tsAccounts->tvAccounts, 0),
              (QStringList{"alpha", "Work (default)"}));
    EXPECT_EQ(RowTexts(*dialog->tsAccounts->tvAccounts, 1),
              (QStringList{"pop.alpha.example", "pop.work.example"}));
    EXPECT_TRUE(prompts.Failures.empty());
}

// The account dialog opened from the accounts page tests with the program's token source, and
// what it sets for signing in reaches the account file.
TEST_F(OptionsDialogTest, EditingHowAnAccountSignsInReachesTheFile) {
    TAccount& account = MakeAccount("Home", "pop.home.example", true);
    TCommandTokenSource tokens;
    auto dialog = std::make_unique<TfrmOptions>(
        TOptionsDialogContext{options, accounts, folder.Path(), skins, prompts, sound, &tokens});
    Focus(*dialog, account);
    prompts.ModalSteps.push_back([&tokens](QDialog& shown) {
        auto& edit = dynamic_cast<TfrmAccount&>(shown);
        EXPECT_EQ(edit.Tokens, &tokens);
        EXPECT_EQ(edit.Authentication(), TAuthentication::Password);
        edit.txtName->setText("Ann");
        edit.txtEmail->setText("ann@example.org");
        edit.txtSMTPHost->setText("smtp.home.example");
        edit.cmbAuthentication->setCurrentIndex(TfrmAccount::kAuthenticationTokenCommand);
        edit.txtTokenCommand->setText("oama access ann@example.org");
        edit.cmdOKClick();
        return edit.result();
    });
    dialog->tsAccounts->actEdit->trigger();
    ASSERT_TRUE(prompts.ModalSteps.empty());

    TAccount reread;
    LoadAccount(reread, AccountFile(account));
    EXPECT_EQ(reread.POP.Authentication, TAuthentication::TokenCommand);
    EXPECT_EQ(reread.POP.TokenCommand, "oama access ann@example.org");
    EXPECT_EQ(reread.POP.OAuth.Provider, "");  // a token command's file names no provider
}

TEST_F(OptionsDialogTest, EditingRewritesTheFileAndTheRow) {
    TAccount& account = MakeAccount("Home", "pop.home.example", true);
    account.SkinColor = 0x123456;
    account.POP.TLS = TPOPSecurity::Tls;
    account.POP.Port = 995;
    auto dialog = Open();

    dialog->tsAccounts->actEdit->trigger();  // nothing focused: nothing happens
    EXPECT_TRUE(prompts.ModalSteps.empty());

    Focus(*dialog, account);
    EXPECT_TRUE(dialog->tsAccounts->actEdit->isEnabled());
    EXPECT_FALSE(dialog->tsAccounts->actSetDefault->isEnabled()) << "already the default";
    prompts.ModalSteps.push_back([](QDialog& shown) {
        auto& edit = dynamic_cast<TfrmAccount&>(shown);
        EXPECT_EQ(edit.txtAccount->text(), "Home");
        EXPECT_EQ(edit.cmbColor->currentText(), "Custom...");
        EXPECT_EQ(edit.AccountColor(), 0x123456u);
        EXPECT_EQ(edit.Security(), TPOPSecurity::Tls);
        EXPECT_EQ(edit.sePOPPort->value(), 995);
        edit.txtName->setText("Bob");
        edit.txtEmail->setText("bob@example.org");
        edit.txtSMTPHost->setText("smtp.home.example");
        edit.txtAccount->setText("House");
        edit.SetAccountColor(0x0000FF);
        edit.cmbSecurity->setCurrentIndex(TfrmAccount::kSecurityNone);
        emit edit.cmbSecurity->activated(TfrmAccount::kSecurityNone);
        edit.cmdOKClick();
        return edit.result();
    });
    dialog->tsAccounts->actEdit->trigger();

    EXPECT_EQ(account.Name, "House");
    EXPECT_EQ(account.SkinColor, 0x0000FFu);
    EXPECT_EQ(account.POP.Port, 110);
    EXPECT_EQ(account.POP.TLS, TPOPSecurity::None);
    EXPECT_TRUE(account.Default);
    TAccount reread;
    LoadAccount(reread, AccountFile(account));
    EXPECT_EQ(reread.Name, "House");
    EXPECT_EQ(reread.SkinColor, 0x0000FFu);
    EXPECT_EQ(reread.POP.TLS, TPOPSecurity::None);
    EXPECT_TRUE(reread.Default);

    QTreeWidgetItem* row = dialog->tsAccounts->RowOf(account);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->text(0), "House (default)");
    const QImage square = row->icon(0).pixmap(16, 16).toImage();
    EXPECT_EQ(square.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(square.pixelColor(8, 8), QColor(Qt::red));
}

TEST_F(OptionsDialogTest, RemovalPassesTheDefaultOnAndCancelDoesNotUndoIt) {
    // Registry order c, b, a; the list shows a, b, c.
    const struct {
        size_t Count;
        size_t Default;
        size_t Removed;
        int ExpectedDefault;  // registry index before the removal, -1 for none
    } cases[] = {
        {1, 0, 0, -1},                // the only account
        {3, 0, 0, 1},                 // the first in registry order: the next one
        {3, 2, 2, 1},                 // further down: the one before it
        {3, 1, 1, 0},  {3, 0, 2, 0},  // not the default: nothing passes
    };
    const char* names[] = {"c", "b", "a"};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "removing " << c.Removed << " of " << c.Count);
        accounts.Clear();
        std::vector<std::string> ids;
        for (size_t i = 0; i < c.Count; ++i) {
            ids.push_back(MakeAccount(names[i], "pop.example", i == c.Default).ID);
        }
        TAccount& removed = accounts.Items(c.Removed);
        const std::string removedId = removed.ID;
        const std::string removedFile = AccountFile(removed);
        auto dialog = Open();
        Focus(*dialog, removed);

        prompts.Answer = false;
        dialog->tsAccounts->actRemove->trigger();
        ASSERT_EQ(prompts.Questions.size(), 1u);
        EXPECT_EQ(prompts.Questions[0].Title, "Remove account");
        EXPECT_EQ(
            prompts.Questions[0].Text,
            QString("Are you sure you want to remove the account '") + names[c.Removed] + "'?");
        EXPECT_EQ(accounts.Count(), c.Count);

        prompts.Answer = true;
        QTest::keyClick(dialog->tsAccounts->tvAccounts, Qt::Key_Delete);
        EXPECT_EQ(prompts.Questions.size(), 2u);
        prompts.Questions.clear();
        dialog->cmdCancel->click();

        ASSERT_EQ(accounts.Count(), c.Count - 1);
        EXPECT_FALSE(FileExists(removedFile));
        EXPECT_EQ(dialog->tsAccounts->tvAccounts->topLevelItemCount(),
                  static_cast<int>(c.Count - 1));
        EXPECT_TRUE(dialog->AccountsChanged());
        for (size_t i = 0; i < accounts.Count(); ++i) {
            const TAccount& left = accounts.Items(i);
            const bool expected =
                c.ExpectedDefault >= 0 && left.ID == ids[static_cast<size_t>(c.ExpectedDefault)];
            EXPECT_EQ(left.Default, expected) << left.Name;
            EXPECT_EQ(dialog->tsAccounts->RowOf(left)->text(0),
                      QString::fromStdString(left.Name) + (expected ? " (default)" : ""));
        }
        for (const std::string& id : ids) {
            EXPECT_EQ(FileExists(folder.File("accounts/" + id + ".qba")), id != removedId);
        }
    }
}

TEST_F(OptionsDialogTest, SetDefaultMovesTheDefaultInMemory) {
    TAccount& first = MakeAccount("First", "pop.one.example", true);
    TAccount& second = MakeAccount("Second", "pop.two.example", false);
    auto dialog = Open();
    Focus(*dialog, second);
    EXPECT_TRUE(dialog->tsAccounts->actSetDefault->isEnabled());
    dialog->tsAccounts->actSetDefault->trigger();
    EXPECT_FALSE(first.Default);
    EXPECT_TRUE(second.Default);
    EXPECT_FALSE(dialog->tsAccounts->actSetDefault->isEnabled());
    EXPECT_EQ(RowTexts(*dialog->tsAccounts->tvAccounts, 0),
              (QStringList{"First", "Second (default)"}));
    TAccount onDisk;
    LoadAccount(onDisk, AccountFile(second));
    EXPECT_FALSE(onDisk.Default) << "files follow at the next save of all accounts";
}

TEST_F(OptionsDialogTest, HeaderClicksSortAndTheLayoutIsRemembered) {
    MakeAccount("beta", "z.example", true);
    MakeAccount("Alpha", "y.example", false);
    MakeAccount("gamma", "x.example", false);
    {
        auto dialog = Open();
        QTreeWidget& tree = *dialog->tsAccounts->tvAccounts;
        EXPECT_EQ(RowTexts(tree, 0), (QStringList{"Alpha", "beta (default)", "gamma"}));
        emit tree.header()->sectionClicked(TAccountsPage::kColumnName);
        EXPECT_EQ(RowTexts(tree, 0), (QStringList{"gamma", "beta (default)", "Alpha"}));
        emit tree.header()->sectionClicked(TAccountsPage::kColumnHost);
        EXPECT_EQ(RowTexts(tree, 1), (QStringList{"x.example", "y.example", "z.example"}));
        tree.header()->resizeSection(TAccountsPage::kColumnHost, 90);
        tree.header()->moveSection(1, 0);
        dialog->cmdCancel->click();
    }
    const TIniFile saved(folder.File("accheaders.dat"));
    EXPECT_EQ(saved.ReadInteger("General", "SortColumn", -9), 1);
    EXPECT_EQ(saved.ReadInteger("General", "SortDirection", -9), 0);
    EXPECT_EQ(saved.ReadInteger("1", "Width", -9), 90);
    EXPECT_EQ(saved.ReadInteger("1", "Position", -9), 0);
    EXPECT_EQ(saved.ReadInteger("0", "Position", -9), 1);

    auto dialog = Open();
    QTreeWidget& tree = *dialog->tsAccounts->tvAccounts;
    EXPECT_EQ(RowTexts(tree, 1), (QStringList{"x.example", "y.example", "z.example"}));
    EXPECT_EQ(tree.header()->sectionSize(TAccountsPage::kColumnHost), 90);
    EXPECT_EQ(tree.header()->visualIndex(TAccountsPage::kColumnHost), 0);
}

TEST_F(OptionsDialogTest, EnterInTheAccountListEditsInsteadOfClosing) {
    TAccount& account = MakeAccount("Only", "pop.example", true);
    auto dialog = Open();
    dialog->show();
    dialog->pcOptions->setCurrentWidget(dialog->tsAccounts);
    dialog->tsAccounts->tvAccounts->setFocus();
    Focus(*dialog, account);
    bool edited = false;
    prompts.ModalSteps.push_back([&](QDialog& shown) {
        edited = dynamic_cast<TfrmAccount&>(shown).txtAccount->text() == "Only";
        return int(QDialog::Rejected);
    });
    QTest::keyClick(dialog->tsAccounts->tvAccounts, Qt::Key_Return);
    EXPECT_TRUE(edited);
    EXPECT_TRUE(dialog->isVisible()) << "Enter went to the OK button";
    EXPECT_NE(dialog->result(), QDialog::Accepted);
}

// The accounts page with a real keyring (a private session bus with GNOME Keyring): an added
// account's password goes there, a typed one replaces it, removing the account removes it.
TEST_F(OptionsDialogTest, AccountPasswordsLiveInTheKeyring) {
    const testing::PrivateKeyring keyring;
    TSecretServiceStore secrets("Quobel");
    TAccounts kept(AccountsFolder(), &secrets);
    auto dialog = std::make_unique<TfrmOptions>(
        TOptionsDialogContext{options, kept, folder.Path(), skins, prompts, sound});

    ScriptAccount("Work", "pop.work.example");
    dialog->tsAccounts->actAdd->trigger();
    ASSERT_EQ(kept.Count(), 1u);
    TAccount& work = kept.Items(0);
    const TIniFile file(AccountFile(work));
    EXPECT_EQ(file.ReadString("POP", "PasswordIn", ""), "Keyring");
    EXPECT_FALSE(file.ValueExists("POP", "Password"));
    EXPECT_EQ(secrets.Lookup(work.ID), "secret");

    prompts.ModalSteps.push_back([](QDialog& shown) {
        auto& edit = dynamic_cast<TfrmAccount&>(shown);
        // The dialog shows the account's password, to be replaced.
        EXPECT_EQ(edit.txtPOPPass->text(), "secret");
        edit.txtPOPPass->setText("new secret");
        edit.cmdOKClick();
        return edit.result();
    });
    Focus(*dialog, work);
    dialog->tsAccounts->actEdit->trigger();
    EXPECT_EQ(secrets.Lookup(work.ID), "new secret");

    const std::string id = work.ID;
    prompts.Answer = true;
    Focus(*dialog, work);
    dialog->tsAccounts->actRemove->trigger();
    EXPECT_EQ(kept.Count(), 0u);
    EXPECT_EQ(secrets.Lookup(id), std::nullopt);
    EXPECT_TRUE(prompts.Failures.empty());
}

}  // namespace
}  // namespace quobel

namespace quobel {
namespace {

TEST_F(OptionsDialogTest, TheNotificationsTabShowsAndStoresItsSettings) {
    {
        OptionsScope scope(options);
        scope.Write(settings::kNotifyMode, 2);
        scope.Write(settings::kQuietHours, true);
        scope.Write(settings::kQuietFrom, 23 * 60);
        scope.Write(settings::kQuietTo, 6 * 60 + 30);
        scope.Write(settings::kDoNotDisturb, true);
    }
    auto dialog = Open();
    TNotificationsPage& page = *dialog->tsNotifications;
    EXPECT_EQ(dialog->pcOptions->tabText(dialog->pcOptions->indexOf(&page)),
              QStringLiteral("Notifications"));
    EXPECT_EQ(page.cmbMode->currentText(), QStringLiteral("One per message"));
    EXPECT_TRUE(page.chkQuietHours->isChecked());
    EXPECT_EQ(page.teQuietFrom->time(), QTime(23, 0));
    EXPECT_EQ(page.teQuietTo->time(), QTime(6, 30));
    EXPECT_TRUE(page.chkDoNotDisturb->isChecked());

    page.cmbMode->setCurrentIndex(0);
    page.chkQuietHours->setChecked(false);
    EXPECT_FALSE(page.teQuietFrom->isEnabled());
    page.teQuietFrom->setTime(QTime(21, 30));
    page.chkDoNotDisturb->setChecked(false);
    dialog->cmdOk->click();
    OptionsScope scope(options);
    EXPECT_EQ(scope.Read(settings::kNotifyMode), 0);
    EXPECT_FALSE(scope.Read(settings::kQuietHours));
    EXPECT_EQ(scope.Read(settings::kQuietFrom), 21 * 60 + 30);
    EXPECT_EQ(scope.Read(settings::kQuietTo), 6 * 60 + 30);
    EXPECT_FALSE(scope.Read(settings::kDoNotDisturb));
}

}  // namespace
}  // namespace quobel
