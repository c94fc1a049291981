#pragma once
// A mailbox that looks like a real one, for the benchmarks: subjects, senders and recipients
// drawn from small word lists with a fixed seed, every row written to the box's table.
#include <random>
#include <string>
#include <vector>

#include "core/date_time.h"
#include "core/digest.h"
#include "store/mail_box.h"

namespace quobel::bench {

inline std::string Pick(std::mt19937& random, const std::vector<std::string>& words, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            text += ' ';
        }
        text += words[random() % words.size()];
    }
    return text;
}

// Fills a box with items that look like a real mailbox and writes their rows.
inline void FillBox(TMailBox& box, int rows) {
    static const std::vector<std::string> words = {
        "Re:",    "Fwd:",     "meeting",     "invoice",  "project", "update",   "weekly",
        "report", "the",      "quarterly",   "review",   "of",      "your",     "order",
        "has",    "shipped",  "newsletter",  "December", "holiday", "schedule", "security",
        "alert",  "account",  "password",    "reset",    "team",    "lunch",    "Friday",
        "draft",  "contract", "Überweisung", "Rechnung", "pour",    "réunion"};
    static const std::vector<std::string> names = {"Anna Schmidt",
                                                   "Bob Miller",
                                                   "Carla Rossi",
                                                   "David Chen",
                                                   "Eva Novak",
                                                   "Frank Dubois",
                                                   "",
                                                   "Grace O'Neil",
                                                   "Hiro Tanaka",
                                                   "Ines García",
                                                   "Jon Berg",
                                                   "Mailing List Robot"};
    std::mt19937 random(42);
    const auto address = [&](int n) {
        return "user" + std::to_string(n % 5000) + "@mail" + std::to_string(n % 37) +
               ".example.com";
    };
    const std::string account = Md5Hex("account");
    for (int i = 0; i < rows; ++i) {
        TMailItem& item = box.Items.Add();
        item.Folder = box.Path;
        item.UIDL = Md5Hex("message " + std::to_string(i));
        item.Cache = Md5Hex("cache " + std::to_string(i)) + ".qbe";
        item.Online = true;
        item.Read = random() % 3 != 0;
        item.Downloaded = random() % 2 == 0;
        item.Attachments = random() % 5 == 0;
        item.CachedData.Date = 45000 + i / 50.0 + (random() % 86400) / 86400.0;
        item.CachedData.DateStr = FormatDateTimeMdy(item.CachedData.Date);
        item.CachedData.Subject = Pick(random, words, 3 + static_cast<int>(random() % 9));
        item.CachedData.Priority = random() % 10 == 0 ? 1 : 0;
        const std::string& name = names[random() % names.size()];
        item.FromAddr = address(static_cast<int>(random()));
        item.CachedData.From = name.empty() ? item.FromAddr : name;
        const int to = 1 + static_cast<int>(random() % 3);
        for (int k = 0; k < to; ++k) {
            item.Recipients.push_back(address(static_cast<int>(random())));
            item.CachedData.To += (k > 0 ? ", " : "") + names[random() % names.size()];
        }
        if (random() % 4 == 0) {
            item.CCList.push_back(address(static_cast<int>(random())));
            item.CachedData.CC = item.CCList.back();
        }
        item.SetSize(1000 + static_cast<int32_t>(random() % 200000));
        box.Table.Append();  // the account column as the check cycle leaves it
        box.Table.SetString(box.Table.FieldByName("UIDL"), item.UIDL);
        box.Table.SetString(box.Table.FieldByName("Account"), account);
        box.Table.Post();
        item.Changed();
    }
}

}  // namespace quobel::bench
