#include "ui/reader/attachment_actions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <exception>

#include "core/file_util.h"
#include "message/attachment_names.h"
#include "message/qb_message.h"
#include "platform/url_opener.h"
#include "ui/common/qt_text.h"

namespace quobel {
namespace {

QString OpenCaption() {
    return QCoreApplication::translate("AttachmentActions", "Open attachment");
}
QString SaveAllCaption() {
    return QCoreApplication::translate("AttachmentActions", "Save all");
}

// Types the desktop runs rather than shows, by the shared MIME database's reading of the name
// and the first bytes (each covers its subtypes: scripts are executables there).
bool DesktopWouldRun(const QString& name, const std::string& data) {
    static const QStringList kRunnable = {QStringLiteral("application/x-executable"),
                                          QStringLiteral("application/x-sharedlib"),
                                          QStringLiteral("application/x-shellscript"),
                                          QStringLiteral("application/x-desktop"),
                                          QStringLiteral("application/x-ms-dos-executable"),
                                          QStringLiteral("application/x-msdownload"),
                                          QStringLiteral("application/java-archive")};
    const QMimeType type = QMimeDatabase().mimeTypeForFileNameAndData(
        name, QByteArray::fromRawData(data.data(), static_cast<qsizetype>(data.size())));
    for (const QString& runnable : kRunnable) {
        if (type.inherits(runnable)) {
            return true;
        }
    }
    return false;
}

const TAttachmentFile* FileOfPart(const std::vector<TAttachmentFile>& files, int partIndex) {
    for (const TAttachmentFile& file : files) {
        if (file.PartIndex == partIndex) {
            return &file;
        }
    }
    return nullptr;
}

}  // namespace

TAttachmentActions::TAttachmentActions(UrlOpener& opener) : opener_(opener) {
    ChooseFile = [](QWidget& owner, const QString& suggested) {
        return QFileDialog::getSaveFileName(
            &owner, QCoreApplication::translate("AttachmentActions", "Save as"), suggested);
    };
    ChooseFolder = [](QWidget& owner, const QString& start) {
        return QFileDialog::getExistingDirectory(&owner, SaveAllCaption(), start);
    };
    AskYesNo = [](QWidget& owner, const QString& caption, const QString& text) {
        return QMessageBox::question(&owner, caption, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    };
    ShowError = [](QWidget& owner, const QString& text) {
        QMessageBox::critical(&owner, QCoreApplication::translate("AttachmentActions", "Error"),
                              text);
    };
}

TAttachmentActions::~TAttachmentActions() = default;

QString TAttachmentActions::TemporaryFolder() const {
    return temporary_ ? temporary_->path() : QString();
}

void TAttachmentActions::Run(TAttachmentCommand command, const TQBMessage& message, int partIndex,
                             QWidget& owner) {
    switch (command) {
        case TAttachmentCommand::Open:
            Open(message, partIndex, owner);
            break;
        case TAttachmentCommand::SaveAs:
            SaveAs(message, partIndex, owner);
            break;
        case TAttachmentCommand::SaveAll:
            SaveAll(message, owner);
            break;
    }
}

bool TAttachmentActions::Write(const QString& path, const std::string& data, QWidget& owner) {
    try {
        WriteFileAtomic(path.toStdString(), data);
        return true;
    } catch (const std::exception& failure) {
        if (ShowError) {
            ShowError(owner, Q(failure.what()));
        }
        return false;
    }
}

QString TAttachmentActions::StartFolder() const {
    if (!lastFolder_.isEmpty()) {
        return lastFolder_;
    }
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    return downloads.isEmpty() ? QDir::homePath() : downloads;
}

void TAttachmentActions::Open(const TQBMessage& message, int partIndex, QWidget& owner) {
    const std::vector<TAttachmentFile> files = AttachmentFiles(message);
    const TAttachmentFile* file = FileOfPart(files, partIndex);
    if (file == nullptr) {
        return;
    }
    const QString name = Q(file->Name);
    if ((LooksExecutable(file->Name, *file->Data) || DesktopWouldRun(name, *file->Data)) &&
        !(AskYesNo && AskYesNo(owner, OpenCaption(),
                               QCoreApplication::translate(
                                   "AttachmentActions",
                                   "\"%1\" is a program or a script: opening it may run "
                                   "it on this computer. Open it anyway?")
                                   .arg(name)))) {
        return;
    }
    if (!temporary_) {
        // Private to the user (mkdtemp makes it 0700), removed with everything in it at exit.
        temporary_ = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                                     QStringLiteral("/quobel-attachments-XXXXXX"));
    }
    if (!temporary_->isValid()) {
        const QString error = temporary_->errorString();
        temporary_.reset();
        if (ShowError) {
            ShowError(owner, QCoreApplication::translate("AttachmentActions",
                                                         "Unable to create a temporary folder: %1")
                                 .arg(error));
        }
        return;
    }
    const std::string folder = temporary_->path().toStdString();
    const std::string free = FreeAttachmentName(file->Name, [&](const std::string& candidate) {
        return FileExists(JoinPath(folder, candidate));
    });
    const std::string path = JoinPath(folder, free);
    if (Write(Q(path), *file->Data, owner)) {
        opener_.OpenUrl(path);
    }
}

void TAttachmentActions::SaveAs(const TQBMessage& message, int partIndex, QWidget& owner) {
    const std::vector<TAttachmentFile> files = AttachmentFiles(message);
    const TAttachmentFile* file = FileOfPart(files, partIndex);
    if (file == nullptr || !ChooseFile) {
        return;
    }
    const QString path = ChooseFile(owner, QDir(StartFolder()).filePath(Q(file->Name)));
    if (path.isEmpty()) {
        return;
    }
    if (Write(path, *file->Data, owner)) {
        lastFolder_ = QFileInfo(path).absolutePath();
    }
}

void TAttachmentActions::SaveAll(const TQBMessage& message, QWidget& owner) {
    const std::vector<TAttachmentFile> files = AttachmentFiles(message);
    if (files.empty() || !ChooseFolder) {
        return;
    }
    const QString folder = ChooseFolder(owner, StartFolder());
    if (folder.isEmpty()) {
        return;
    }
    lastFolder_ = folder;
    const QDir target(folder);
    for (const TAttachmentFile& file : files) {
        const QString name = Q(file.Name);
        const QString path = target.filePath(name);
        if (QFileInfo::exists(path) &&
            !(AskYesNo &&
              AskYesNo(owner, SaveAllCaption(),
                       QCoreApplication::translate("AttachmentActions",
                                                   "\"%1\" already exists in %2. Replace it?")
                           .arg(name, QDir::toNativeSeparators(folder))))) {
            continue;
        }
        if (!Write(path, *file.Data, owner)) {
            return;  // one report is enough: the next file would fail alike
        }
    }
}

}  // namespace quobel
