#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "core/digest.h"
#include "core/error.h"
#include "retrieval/qbpop3.h"

namespace quobel::inspect {

namespace {

constexpr const char* kUsage =
    "usage: quobel-inspect pop3 --host H --port N --user U --password P [--apop]\n"
    "                           [--tls none|stls|tls] [--ca FILE] COMMAND\n"
    "  COMMAND: capa | uidl | list N | top N | retr N | dele N\n";

int Usage() {
    std::fputs(kUsage, stderr);
    return 1;
}

std::optional<int> ParseNumber(const std::string& text) {
    try {
        size_t used = 0;
        const int value = std::stoi(text, &used);
        if (used == text.size()) {
            return value;
        }
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

void Print(const nlohmann::ordered_json& json) {
    std::cout << json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

}  // namespace

int RunPop3(const Arguments& args) {
    TQBPOP3 pop;
    std::vector<std::string> command;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--apop") {
            pop.APOP = true;
        } else if (arg == "--host" && hasValue) {
            pop.Host = args[++i];
        } else if (arg == "--port" && hasValue) {
            const std::optional<int> port = ParseNumber(args[++i]);
            if (!port) {
                return Usage();
            }
            pop.Port = *port;
        } else if (arg == "--user" && hasValue) {
            pop.Username = args[++i];
        } else if (arg == "--password" && hasValue) {
            pop.Password = args[++i];
        } else if (arg == "--ca" && hasValue) {
            pop.CAFile = args[++i];
        } else if (arg == "--tls" && hasValue) {
            const std::string& mode = args[++i];
            if (mode == "none") {
                pop.TLS = TPOPSecurity::None;
            } else if (mode == "stls") {
                pop.TLS = TPOPSecurity::StartTls;
            } else if (mode == "tls") {
                pop.TLS = TPOPSecurity::Tls;
            } else {
                return Usage();
            }
        } else if (arg.starts_with("--")) {
            return Usage();
        } else {
            command.push_back(arg);
        }
    }
    if (pop.Host.empty() || command.empty()) {
        return Usage();
    }
    const std::string& name = command[0];
    std::optional<int> number;
    if (name == "uidl" || name == "capa") {
        if (command.size() != 1) {
            return Usage();
        }
    } else if (name == "list" || name == "top" || name == "retr" || name == "dele") {
        if (command.size() != 2 || !(number = ParseNumber(command[1]))) {
            return Usage();
        }
    } else {
        return Usage();
    }

    nlohmann::ordered_json json;
    try {
        pop.Connect();
        if (name == "capa") {
            // As known after the login's preparations: after STLS when the connection uses it.
            const TPopCapabilities& capabilities = pop.Capabilities();
            json["capabilities"] = capabilities.Lines();
            json["pipelining"] = capabilities.Pipelining();
            json["sasl"] = capabilities.SaslMechanisms();
            const std::optional<int> delay = capabilities.LoginDelaySeconds();
            json["login_delay"] = delay ? nlohmann::ordered_json(*delay) : nullptr;
        } else if (name == "uidl") {
            json["lines"] = pop.ListUniqueIds();
        } else if (name == "list") {
            json["size"] = pop.MessageSize(*number);
        } else if (name == "top") {
            std::vector<std::string> lines;
            pop.RetrieveHeader(*number, lines);
            json["lines"] = lines;
        } else if (name == "retr") {
            // The message as the server stored it: every line ended by CR LF.
            std::vector<std::string> lines;
            pop.RetrieveRaw(*number, lines);
            std::string bytes;
            for (const std::string& line : lines) {
                bytes += line;
                bytes += "\r\n";
            }
            json["lines"] = lines.size();
            json["length"] = bytes.size();
            json["sha256"] = Sha256Hex(bytes);
        } else {
            pop.DeleteOnServer(*number);
            json["deleted"] = *number;
        }
        pop.Disconnect();
    } catch (const Error& error) {
        pop.Disconnect();
        Print({{"error", error.what()}});
        return 1;
    }
    Print(json);
    return 0;
}

}  // namespace quobel::inspect
