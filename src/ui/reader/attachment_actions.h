#pragma once

#include <QString>
#include <functional>
#include <memory>

class QTemporaryDir;
class QWidget;

namespace quobel {

class TQBMessage;
class UrlOpener;

// What the entries of the attachments menu do with one attachment of a shown message.
enum class TAttachmentCommand { Open, SaveAs, SaveAll };

// Opening and saving the attachments of a shown message, under the names the message layer makes
// safe. Opening writes the file into a private temporary folder (0700, the file 0600) that is
// removed with this object, at the program's exit, and hands it to the desktop's opener; a file
// the desktop would run asks first. Saving never replaces a file without asking.
class TAttachmentActions {
  public:
    explicit TAttachmentActions(UrlOpener& opener);
    ~TAttachmentActions();
    TAttachmentActions(const TAttachmentActions&) = delete;
    TAttachmentActions& operator=(const TAttachmentActions&) = delete;

    // The command on the message's part with that index (Save all: on every attachment).
    void Run(TAttachmentCommand command, const TQBMessage& message, int partIndex, QWidget& owner);

    void Open(const TQBMessage& message, int partIndex, QWidget& owner);
    void SaveAs(const TQBMessage& message, int partIndex, QWidget& owner);
    void SaveAll(const TQBMessage& message, QWidget& owner);

    // The private folder of opened attachments; empty before the first one was opened.
    QString TemporaryFolder() const;

    // The dialogs, replaceable for tests. ChooseFile: the file to save to (the dialog asks
    // before replacing one), empty when cancelled; ChooseFolder: the folder for Save all.
    std::function<QString(QWidget& owner, const QString& suggested)> ChooseFile;
    std::function<QString(QWidget& owner, const QString& start)> ChooseFolder;
    std::function<bool(QWidget& owner, const QString& caption, const QString& text)> AskYesNo;
    std::function<void(QWidget& owner, const QString& text)> ShowError;

  private:
    // Writes the file; false (after telling the user) when it could not be written.
    bool Write(const QString& path, const std::string& data, QWidget& owner);
    QString StartFolder() const;

    UrlOpener& opener_;
    std::unique_ptr<QTemporaryDir> temporary_;
    QString lastFolder_;
};

}  // namespace quobel
