#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

#include "commands.h"
#include "core/date_time.h"
#include "core/digest.h"
#include "core/file_util.h"
#include "message/qb_message.h"
#include "message/shown_text.h"

namespace quobel::inspect {

namespace {

struct MessageOptions {
    std::string File;
};

constexpr const char* kMessageUsage = "usage: quobel-inspect message FILE\n";

// Options first or after the file; anything unknown is a usage error.
bool ParseMessageArguments(const Arguments& args, MessageOptions& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
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
    nlohmann::ordered_json json;
    json["File"] = options.File;
    json.update(MessageJson(message, {}));
    std::cout << json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    return 0;
}

}  // namespace quobel::inspect
