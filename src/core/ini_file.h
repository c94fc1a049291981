#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quobel {

// An INI-style file with the profile-file conventions every file of the system follows:
// case-insensitive section and key names, values trimmed and unquoted on reading and cut at
// 2047 characters, "0x" hexadecimal integers, booleans as integers, file order kept on update,
// new keys at the end of their section, new sections at the end of the file.
//
// The file is read once into memory; every write replaces the file atomically before it
// returns. Inside a TIniFile::Batch the writes reach the disk together when the outermost
// batch ends (one rename for a whole account file instead of one per key). Writes that leave the
// text as the file holds it do not touch the file.
class TIniFile {
  public:
    static constexpr size_t kMaxValueLength = 2047;

    explicit TIniFile(std::string fileName);
    // Starts from nothing, ignoring what the file holds now: the first write replaces it whole.
    struct StartEmpty {};
    TIniFile(std::string fileName, StartEmpty) : fileName_(std::move(fileName)) {}
    TIniFile(const TIniFile&) = delete;
    TIniFile& operator=(const TIniFile&) = delete;

    const std::string& FileName() const { return fileName_; }

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const;
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
    // Key names of a section in file order (all of them).
    std::vector<std::string> ReadSection(std::string_view section) const;
    std::vector<std::string> ReadSections() const;

    // Each throws Error("Unable to write to " + path) when the file cannot be replaced.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int32_t value);
    void WriteBool(std::string_view section, std::string_view key, bool value);
    void EraseSection(std::string_view section);
    // EraseSection, then WriteString of each key with the value, in one step: the section
    // becomes the file's last, with one entry per key in order (a key that repeats, compared
    // without regard to case, once). Without keys the section goes.
    void ReplaceSection(std::string_view section, const std::vector<std::string>& keys,
                        std::string_view value);
    void DeleteKey(std::string_view section, std::string_view key);

    // The file's text as it would be written (CR LF line ends).
    std::string Text() const;

    class Batch {
      public:
        explicit Batch(TIniFile& ini);
        ~Batch() noexcept(false);
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

      private:
        TIniFile& ini_;
        int uncaught_;
    };

  private:
    struct Line {
        std::string raw;
        std::string key;  // lower case; empty for lines that are not entries
    };
    struct Section {
        std::string name;  // lower case
        std::string header;
        // The lines after the header as the file has them, until the first use splits them into
        // `lines`: an account's thousands of known keys are written back, or replaced whole,
        // without being split and joined again.
        mutable std::string unsplit;
        mutable bool split = true;
        mutable std::vector<Line> lines;
        // Lower-case key -> line index; built at the first lookup, so that reading a section
        // of thousands of keys as a list never hashes them.
        mutable std::unordered_map<std::string, size_t> firstEntry;
        mutable bool indexed = false;
    };
    static const std::unordered_map<std::string, size_t>& EntriesOf(const Section& section);
    static std::vector<Line>& LinesOf(const Section& section);
    static Line LineOf(std::string_view raw);

    void Parse(std::string_view text);
    void Reindex();
    const Section* FindSection(std::string_view section) const;
    Section* FindSection(std::string_view section);
    const Line* FindLine(std::string_view section, std::string_view key) const;
    void Changed();
    void Flush();

    std::string fileName_;
    std::vector<std::string> preamble_;  // lines before the first section
    std::vector<Section> sections_;
    std::unordered_map<std::string, size_t> sectionIndex_;  // lower-case name -> first section
    int batchDepth_ = 0;
    bool dirty_ = false;
    // The text the file holds, as last read or written: a flush that would write the same text
    // leaves the file alone (an account file of many known keys costs a sync to rewrite).
    // Unknown (always written) when the file could not be read or is to be replaced whole.
    std::optional<std::string> stored_;
};

// The profile-file integer rules on one value: "0x1F" hexadecimal, else decimal; false when it
// is not a valid 32-bit integer.
bool ParseIniInteger(std::string_view text, int32_t& value);

}  // namespace quobel
