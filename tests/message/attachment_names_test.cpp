// Attachment file names from hostile messages, through `quobel-inspect message --extract`: what
// lands on disk, under which name, and that nothing lands outside the folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "core/digest.h"
#include "core/file_util.h"
#include "message/attachment_names.h"
#include "support/run_inspect.h"
#include "support/temp_folder.h"

namespace quobel {
namespace {

// A multipart message with one attachment per file name; each attachment's body names its
// index, so that the test can tell which one was written where.
std::string MessageWith(const std::vector<std::string>& fileNames) {
    std::string text =
        "From: a@example.org\r\nSubject: names\r\nContent-Type: multipart/mixed; "
        "boundary=\"b\"\r\n\r\n--b\r\nContent-Type: text/plain\r\n\r\ntext\r\n";
    for (std::size_t i = 0; i < fileNames.size(); ++i) {
        text +=
            "--b\r\nContent-Type: application/octet-stream\r\n"
            "Content-Disposition: attachment; filename=\"" +
            fileNames[i] + "\"\r\n\r\nbody " + std::to_string(i) + "\r\n";
    }
    return text + "--b--\r\n";
}

const std::string kLong(300, 'x');

struct NameCase {
    const char* what;
    std::string given;
    std::string written;
};

TEST(AttachmentNamesTest, ExtractWritesEveryAttachmentUnderASafeName) {
    const std::string long240 = std::string(236, 'x') + ".pdf";
    // A long name of two-byte characters is cut between characters, not inside one.
    std::string umlauts;
    for (int i = 0; i < 150; ++i) {
        umlauts += "\xC3\xA4";
    }
    const std::vector<NameCase> cases = {
        {"plain", "report.pdf", "report.pdf"},
        {"unix path", "../../etc/passwd", "passwd"},
        {"windows path", "C:\\Users\\x\\evil.exe", "evil.exe"},
        {"dot", ".", "attachment"},
        {"dot dot", "..", "attachment (2)"},
        {"dots only", "...", "attachment (3)"},
        {"path to dot dot", "a/..", "attachment (4)"},
        {"empty", "", "attachment (5)"},
        {"control characters", "in\x01voice\x7F.txt", "invoice.txt"},
        {"tab and escape", "tab\there\x1B[31m.txt", "tabhere[31m.txt"},
        {"right-to-left override",
         "invoice\xE2\x80\xAE"
         "fdp.exe",
         "invoicefdp.exe"},
        {"only an extension", ".pdf", "attachment.pdf"},
        {"hidden file", ".bashrc", "attachment.bashrc"},
        {"trailing dots and blanks", "  notes. . ", "notes"},
        {"encoded word", "=?utf-8?q?B=C3=BCro.txt?=", "B\xC3\xBCro.txt"},
        {"latin-1 bytes", "caf\xE9.txt", "caf\xC3\xA9.txt"},
        {"very long", kLong + ".tar.gz", std::string(237, 'x') + ".gz"},
        {"very long without extension", kLong, std::string(240, 'x')},
        {"long with long extension", "a." + kLong, "a." + std::string(238, 'x')},
        {"long of two-byte characters", umlauts + ".txt", umlauts.substr(0, 236) + ".txt"},
        {"duplicate", "report.pdf", "report (2).pdf"},
        {"duplicate after cleaning", "x/report.pdf", "report (3).pdf"},
        {"duplicate of a numbered name", "report (2).pdf", "report (2) (2).pdf"},
        {"duplicate without extension", "attachment", "attachment (6)"},
        {"exactly the limit", long240, long240},
    };
    std::vector<std::string> given;
    for (const NameCase& c : cases) {
        given.push_back(c.given);
    }
    const testing::TempFolder scratch;
    const std::string messageFile = scratch.File("names.eml");
    WriteFileAtomic(messageFile, MessageWith(given));
    const std::string folder = scratch.File("out/inner");

    const testing::InspectResult run =
        testing::RunInspect({"message", messageFile, "--extract", folder});
    ASSERT_EQ(run.exitCode, 0);
    const nlohmann::json json = nlohmann::json::parse(run.output);
    ASSERT_EQ(json["Attachments"].size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].what);
        const nlohmann::json& entry = json["Attachments"][i];
        EXPECT_EQ(entry["Name"], cases[i].written);
        EXPECT_LE(entry["Name"].get<std::string>().size(), 255u);
        EXPECT_EQ(entry["Path"], JoinPath(folder, cases[i].written));
        std::string data;
        ASSERT_TRUE(ReadWholeFile(JoinPath(folder, cases[i].written), data));
        EXPECT_EQ(data, "body " + std::to_string(i) + "\r\n");
        EXPECT_EQ(entry["Size"], data.size());
        EXPECT_EQ(entry["SHA256"], Sha256Hex(data));
    }
    // Nothing but the attachments, and nothing outside the folder.
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(scratch.Path())) {
        if (entry.is_regular_file()) {
            ++files;
            EXPECT_EQ(entry.path().parent_path().string() == folder ||
                          entry.path().string() == messageFile,
                      true)
                << entry.path();
        }
    }
    EXPECT_EQ(files, cases.size() + 1);
    EXPECT_EQ(std::filesystem::status(JoinPath(folder, "report.pdf")).permissions() &
                  std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST(AttachmentNamesTest, ExtractNeverOverwritesAndRefusesBadUse) {
    const testing::TempFolder scratch;
    const std::string messageFile = scratch.File("one.eml");
    WriteFileAtomic(messageFile, MessageWith({"report.pdf"}));
    WriteFileAtomic(scratch.File("report.pdf"), "mine");

    const testing::InspectResult run =
        testing::RunInspect({"message", messageFile, "--extract", scratch.Path()});
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(nlohmann::json::parse(run.output)["Attachments"][0]["Name"], "report (2).pdf");
    std::string mine;
    ReadWholeFile(scratch.File("report.pdf"), mine);
    EXPECT_EQ(mine, "mine");

    WriteFileAtomic(scratch.File("blocker"), "a file where the folder should be");
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"message", messageFile, "--extract"},
             {"message", messageFile, "--extract", ""},
             {"message", messageFile, "--extract", "a", "--extract", "b"},
             {"message", messageFile, "--extract", scratch.File("blocker/sub")},
             {"message", scratch.File("missing.eml"), "--extract", scratch.Path()}}) {
        EXPECT_EQ(testing::RunInspect(bad).exitCode, 1) << bad.back();
    }
}

TEST(AttachmentNamesTest, ProgramsAndScriptsAreRecognised) {
    struct Case {
        const char* name;
        std::string data;
        bool executable;
    };
    const Case cases[] = {
        {"report.pdf", "%PDF-1.4", false},
        {"notes.txt", "hello", false},
        {"install.sh", "echo", true},
        {"Run.DESKTOP", "[Desktop Entry]", true},
        {"tool.py", "print()", true},
        {"setup.exe", "", true},
        {"archive.jar", "PK", true},
        {"photo.jpg", "#!/bin/sh\nrm -rf ~", true},
        {"document",
         "\x7F"
         "ELF\x02\x01",
         true},
        {"letter.doc", "MZ\x90", true},
        {"no-extension", "plain text", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LooksExecutable(c.name, c.data), c.executable) << c.name;
    }
}

}  // namespace
}  // namespace quobel
