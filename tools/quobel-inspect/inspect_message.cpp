#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>

#include "commands.h"
#include "core/date_time.h"
#include "core/digest.h"
#include "core/file_util.h"
#include "message/attachment_names.h"
#include "message/encryption.h"
#include "message/encryption_state.h"
#include "message/qb_message.h"
#include "message/shown_text.h"

namespace quobel::inspect {

namespace {

struct MessageOptions {
    std::string File;
    std::optional<std::string> Password;
    // Writes the attachments into this folder instead of describing the message.
    std::optional<std::string> ExtractFolder;
};

constexpr const char* kMessageUsage =
    "usage: quobel-inspect message FILE [--password PW] [--extract DIR]\n";

// Answers the reader's password prompt with the password given on the command line, or cancels
// it when there is none.
class CommandLinePassword : public PasswordQuery {
  public:
    explicit CommandLinePassword(std::optional<std::string> password)
        : password_(std::move(password)) {}
    bool Query(const std::string&, const std::string&, std::string& value) override {
        if (!password_) {
            return false;
        }
        value = *password_;
        return true;
    }

  private:
    std::optional<std::string> password_;
};

// Options first or after the file; anything unknown is a usage error.
bool ParseMessageArguments(const Arguments& args, MessageOptions& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--password") {
            if (i + 1 >= args.size() || options.Password) {
                return false;
            }
            options.Password = args[++i];
            continue;
        }
        if (arg == "--extract") {
            if (i + 1 >= args.size() || options.ExtractFolder || args[i + 1].empty()) {
                return false;
            }
            options.ExtractFolder = args[++i];
            continue;
        }
        if (arg.starts_with("--")) {
            return false;
        }
        if (!options.File.empty()) {
            return false;
        }
        options.File = arg;
    }
    return !options.File.empty();
}

nlohmann::ordered_json ContactJson(const TQBContact& contact) {
    return {{"Name", contact.Name}, {"Address", contact.Address}};
}

nlohmann::ordered_json MessageJson(const TQBMessage& message, const TShownTextFilter& filter) {
    const TMimeDecode& decoder = message.Decoder;
    nlohmann::ordered_json json;
    json["Header"] = {{"From", decoder.From},
                      {"To", decoder.To},
                      {"CC", decoder.CC},
                      {"Subject", decoder.Subject},
                      {"Date", decoder.Date},
                      {"ContentType", decoder.ContentType},
                      {"Boundary", decoder.Boundary},
                      {"Encoding", decoder.Encoding},
                      {"Charset", decoder.Charset},
                      {"Priority", decoder.Priority},
                      {"LineCount", message.HeaderLines.size()}};
    json["Subject"] = decoder.Subject;
    json["From"] = ContactJson(message.From);
    json["To"] = nlohmann::ordered_json::array();
    for (const TQBContact& contact : message.To) {
        json["To"].push_back(ContactJson(contact));
    }
    json["CC"] = nlohmann::ordered_json::array();
    for (const TQBContact& contact : message.CC) {
        json["CC"].push_back(ContactJson(contact));
    }
    json["Date"] = {{"Value", message.Date}, {"Text", FormatDateTimeMdy(message.Date)}};
    json["Priority"] = decoder.Priority;
    json["Received"] = nlohmann::ordered_json::array();
    for (const TQBReceived& slot : message.Received) {
        json["Received"].push_back({{"SourceIP", slot.SourceIP}, {"ForAddress", slot.ForAddress}});
    }
    json["DeliveredFor"] = message.DeliveredFor();
    json["Parts"] = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < message.Parts.size(); ++i) {
        const TQBMessagePart& part = message.Parts[i];
        const std::string_view data = part.Data ? std::string_view(*part.Data) : std::string_view{};
        json["Parts"].push_back({{"Index", i},
                                 {"ContentType", part.ContentType},
                                 {"Encoding", part.Encoding},
                                 {"Name", part.Name},
                                 {"Disposition", part.Disposition},
                                 {"ContentID", part.ContentID},
                                 {"FileName", part.FileName},
                                 {"Charset", part.Charset},
                                 {"HasData", part.Data.has_value()},
                                 {"Size", data.size()},
                                 {"SHA256", Sha256Hex(data)},
                                 {"IsAttachment", part.IsAttachment}});
    }
    json["AttachmentCount"] = message.AttachmentCount;
    const TShownPart shown = ChooseShownPart(message);
    json["ShownPart"] = {{"Index", shown.Index}, {"Html", shown.Html}};
    json["ShownText"] = ShownText(message, filter);
    return json;
}

// Every attachment into the folder under its safe name; a file already there is left alone and
// the attachment takes the next free name. Prints what was written.
int ExtractAttachments(const MessageOptions& options, const TQBMessage& message) {
    const std::string& folder = *options.ExtractFolder;
    if (!ForceFolders(folder)) {
        std::fprintf(stderr, "quobel-inspect: cannot create folder %s\n", folder.c_str());
        return 1;
    }
    nlohmann::ordered_json written = nlohmann::ordered_json::array();
    for (const TAttachmentFile& file : AttachmentFiles(message)) {
        const std::string name = FreeAttachmentName(file.Name, [&](const std::string& candidate) {
            return FileExists(JoinPath(folder, candidate));
        });
        const std::string path = JoinPath(folder, name);
        WriteFileAtomic(path, *file.Data);
        written.push_back({{"Part", file.PartIndex},
                           {"MessageName", file.MessageName},
                           {"Name", name},
                           {"Path", path},
                           {"Size", file.Data->size()},
                           {"SHA256", Sha256Hex(*file.Data)},
                           {"Executable", LooksExecutable(name, *file.Data)}});
    }
    nlohmann::ordered_json json;
    json["File"] = options.File;
    json["Folder"] = folder;
    json["Attachments"] = std::move(written);
    std::cout << json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    return 0;
}

}  // namespace

int RunMessage(const Arguments& args) {
    MessageOptions options;
    if (!ParseMessageArguments(args, options)) {
        std::fputs(kMessageUsage, stderr);
        return 1;
    }
    std::string text;
    if (!ReadWholeFile(options.File, text)) {
        std::fprintf(stderr, "quobel-inspect: cannot read message file %s\n", options.File.c_str());
        return 1;
    }
    TQBMessage message;
    message.LoadFromText(std::move(text));
    if (options.ExtractFolder) {
        return ExtractAttachments(options, message);
    }
    // As the reader shows it: the encryption header chooses the cipher, and the shown text is
    // decrypted with the password the prompt gets.
    const TdmEncryption ciphers;
    CommandLinePassword query(options.Password);
    TEncryptionState encryption(ciphers, &query);
    encryption.TestHeader(message.HeaderLines);
    TShownTextFilter decrypt;
    if (encryption.Encrypted) {
        decrypt = [&encryption](const std::string& shown) { return encryption.DecryptText(shown); };
    }
    nlohmann::ordered_json json;
    json["File"] = options.File;
    json.update(MessageJson(message, decrypt));
    json["Encryption"] = {
        {"Encrypted", encryption.Encrypted},
        {"Cipher", encryption.Cipher != nullptr ? nlohmann::ordered_json(encryption.Cipher->Name())
                                                : nlohmann::ordered_json()},
        {"PasswordRefused", encryption.PasswordRefused}};
    std::cout << json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    return 0;
}

}  // namespace quobel::inspect
