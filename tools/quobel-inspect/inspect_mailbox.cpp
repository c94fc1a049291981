#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

#include "commands.h"
#include "core/file_util.h"
#include "store/mail_box.h"

namespace quobel::inspect {

int RunMailbox(const Arguments& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: quobel-inspect mailbox FOLDER\n");
        return 1;
    }
    std::string folder = args[0];
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    if (!FolderExists(folder)) {
        std::fprintf(stderr, "quobel-inspect: no mailbox folder %s\n", folder.c_str());
        return 1;
    }
    TMailBox box;
    box.Name = ExtractFileName(folder);
    box.Path = folder;
    box.ReadOnly = true;  // an old table is shown upgraded but not rewritten
    box.ReadSettings();

    nlohmann::ordered_json json;
    json["Name"] = box.Name;
    json["Path"] = box.Path;
    json["Settings"] = {{"Type", box.Type}, {"Unread", box.Unread}};
    box.LoadTable(folder);
    json["Unread"] = box.Unread;  // counted from the rows
    json["Items"] = nlohmann::ordered_json::array();
    const int account = box.Table.FieldByName("Account");
    box.Table.First();
    for (size_t i = 0; i < box.Items.Count(); ++i, box.Table.Next()) {
        const TMailItem& item = box.Items.Items(i);
        const TCachedData& data = item.CachedData;
        json["Items"].push_back({{"UIDL", item.UIDL},
                                 {"Cache", item.Cache},
                                 {"Account", box.Table.AsString(account)},
                                 {"Online", item.Online},
                                 {"Attachments", item.Attachments},
                                 {"Read", item.Read},
                                 {"Downloaded", item.Downloaded},
                                 {"Encrypted", data.Encrypted},
                                 {"Date", data.Date},
                                 {"DateStr", data.DateStr},
                                 {"Subject", data.Subject},
                                 {"Priority", data.Priority},
                                 {"From", data.From},
                                 {"To", data.To},
                                 {"CC", data.CC},
                                 {"FromAddr", item.FromAddr},
                                 {"Recipients", item.Recipients},
                                 {"CCList", item.CCList},
                                 {"BCCList", item.BCCList},
                                 {"Size", item.Size},
                                 {"SizeText", item.SizeText},
                                 {"CacheFileExists", FileExists(item.CacheFileName())}});
    }
    std::cout << json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    return 0;
}

}  // namespace quobel::inspect
