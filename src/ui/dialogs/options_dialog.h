#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "core/font_record.h"
#include "core/list_layout.h"

class QAction;
class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace quobel {

class TAccount;
class TAccounts;
class TDialogPrompts;
class TFileNameEdit;
class TOptions;
class SoundPlayer;
class TfrmAccount;

// The bar's skins as the options dialog sees them: names in list order, the current one and the
// way to choose another.
class TSkinList {
  public:
    virtual ~TSkinList() = default;
    virtual int Count() const = 0;
    virtual std::string Name(int index) const = 0;
    // -1 when there is no current skin.
    virtual int CurrentIndex() const = 0;
    // Makes the skin current (and stores the choice).
    virtual void SetCurrent(int index) = 0;
};

// Adapts any skin list with Count(), Items(i).Name, Current() and SetCurrent(skin*).
template <class TSkinsType>
class TSkinListOf : public TSkinList {
  public:
    explicit TSkinListOf(TSkinsType& skins) : skins_(skins) {}
    int Count() const override { return static_cast<int>(skins_.Count()); }
    std::string Name(int index) const override { return skins_.Items(index).Name; }
    int CurrentIndex() const override {
        for (int i = 0; i < Count(); ++i) {
            if (&skins_.Items(i) == skins_.Current()) {
                return i;
            }
        }
        return -1;
    }
    void SetCurrent(int index) override { skins_.SetCurrent(&skins_.Items(index)); }

  private:
    TSkinsType& skins_;
};

// What the options dialog works on.
struct TOptionsDialogContext {
    TOptions& Options;
    TAccounts& Accounts;
    // Holds "accounts/" and "accheaders.dat".
    std::string DataFolder;
    TSkinList& Skins;
    TDialogPrompts& Prompts;
    SoundPlayer& Sound;
};

// The settings dialog: general, bar and confirmation settings (written by OK and Apply) and the
// accounts (changed at once, whatever button closes the dialog).
class TfrmOptions : public QDialog {
    Q_OBJECT

  public:
    // Columns of the accounts list.
    static constexpr int kColumnName = 0;
    static constexpr int kColumnHost = 1;

    explicit TfrmOptions(TOptionsDialogContext context, QWidget* parent = nullptr);

    // The bar's ApplySkin with the current skin, called by OK and Apply after a skin was chosen;
    // skipped while empty (no bar). A failure it throws stops OK or Apply there.
    std::function<void(TfrmOptions& sender)> OnApplySkin;

    // Whether OK or Apply wrote the settings at least once.
    bool SettingsWritten() const { return settingsWritten_; }
    // Whether an account was added, edited, removed or made the default while the dialog was
    // open (these are not undone by Cancel, so the accounts menus need rebuilding either way).
    bool AccountsChanged() const { return accountsChanged_; }

    // The commands, callable directly (the buttons and keys run the same).
    void actAddExecute();
    void actEditExecute();
    void actRemoveExecute();
    void actSetDefaultExecute();
    void cmdSoundPreviewClick();
    void cmdReaderFontClick();
    // Writes every setting; throws what a write or the skin throws.
    void cmdOkClick();

    // The reader font as the preview label shows it.
    const TFontRecord& ReaderFont() const { return readerFont_; }
    const TListLayout& AccountsLayout() const { return layout_; }
    // The account a row refers to.
    TAccount* AccountOf(const QTreeWidgetItem* row) const;
    // The row of an account, or nullptr.
    QTreeWidgetItem* RowOf(const TAccount& account) const;

    void done(int result) override;

    QTabWidget* pcOptions;
    QWidget* tsNotification;
    QWidget* tsBar;
    QWidget* tsAntiSpam;
    QWidget* tsAccounts;
    QWidget* tsConfirmations;

    QCheckBox* chkInterval;
    QSpinBox* seInterval;
    QCheckBox* chkSound;
    TFileNameEdit* feSound;
    QToolButton* cmdSoundPreview;
    QCheckBox* chkSmilies;
    QCheckBox* chkNewWindow;
    QCheckBox* chkAlwaysText;
    QLabel* lblReaderFontPreview;
    QPushButton* cmdReaderFont;
    QPushButton* cmdEditSig;
    QCheckBox* chkSigReply;

    QCheckBox* chkBarHide;
    QCheckBox* chkBarScroll;
    QSpinBox* seBarScroll;
    QListWidget* lstSkins;

    QTreeWidget* tvAccounts;
    QAction* actAdd;
    QAction* actEdit;
    QAction* actRemove;
    QAction* actSetDefault;
    QPushButton* cmdAdd;
    QPushButton* cmdEdit;
    QPushButton* cmdRemove;
    QPushButton* cmdSetDefault;

    QLabel* imgConfirm;
    QCheckBox* chkConfirmDelete;

    QPushButton* cmdOk;
    QPushButton* cmdApply;
    QPushButton* cmdCancel;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildGeneralTab();
    void BuildBarTab();
    void BuildAccountsTab();
    void BuildConfirmationsTab();
    void ReadSettings();
    void ShowReaderFont();
    void UpdateEnabling();
    void UpdateAccountActions();

    QTreeWidgetItem* AddRow(TAccount& account);
    void ShowRow(QTreeWidgetItem& row) const;
    void ShowAllRows() const;
    void SortRows();
    void ApplyLayoutToHeader();
    void TakeLayoutFromHeader();
    void HeaderClicked(int column);
    std::string AccountFileName(const TAccount& account) const;
    void FillAccountDialog(TfrmAccount& dialog, const TAccount& account) const;
    void ReadAccountDialog(const TfrmAccount& dialog, TAccount& account) const;

    // Runs a command; a failure is reported instead of leaving through the event loop.
    bool Guarded(const std::function<void()>& command);

    TOptionsDialogContext context_;
    TFontRecord readerFont_;
    TListLayout layout_;
    bool settingsWritten_ = false;
    bool accountsChanged_ = false;
};

}  // namespace quobel
