#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/date_time.h"
#include "message/mime_decode.h"

namespace quobel {

struct TQBContact {
    std::string Name;
    std::string Address;
};

// Names (or addresses where a name is empty) joined with ", ", as the message list shows them.
std::string ContactNames(const std::vector<TQBContact>& contacts);

struct TQBReceived {
    std::string SourceIP;
    std::string ForAddress;
};

struct TQBMessagePart {
    std::string ContentType;
    std::string Encoding;
    std::string Name;
    std::string Disposition;
    std::string ContentID;
    std::string FileName;
    std::string Charset;
    // Decoded data; empty (no value) when the part never received a data line.
    std::optional<std::string> Data;
    bool IsAttachment = false;

    std::size_t DataSize() const { return Data ? Data->size() : 0; }
};

// One mail message in parsed form. Loaded once in its life; texts are UTF-8 where they were
// decoded (subject, contacts), raw bytes otherwise.
class TQBMessage {
  public:
    using TNotifyEvent = std::function<void(TQBMessage& Sender)>;

    TQBMessage();
    TQBMessage(const TQBMessage&) = delete;
    TQBMessage& operator=(const TQBMessage&) = delete;

    // Parses the bytes from the stream's current position to its end; the position is restored.
    void LoadFromStream(std::istream& stream);
    // The same over a text in memory.
    void LoadFromText(std::string text);
    // Writes Source to the file (replaced atomically, owner-only).
    void SaveToFile(const std::string& fileName) const;

    int PartCount() const { return static_cast<int>(Parts.size()); }
    // Received slot for the mail item's delivered-for text: slot 1, else slot 0, else "(unknown)".
    std::string DeliveredFor() const;

    TMimeDecode Decoder;
    std::vector<TQBMessagePart> Parts;
    TQBContact From;
    std::vector<TQBContact> To;
    std::vector<TQBContact> CC;
    TDateTime Date = 0;
    std::vector<std::string> HeaderLines;
    std::array<TQBReceived, 2> Received;
    TNotifyEvent OnProgress;
    std::string Source;
    std::int32_t AttachmentCount = 0;

  private:
    void PartBegin();
    void ReserveForPart(std::size_t index, std::size_t length);
    void ShrinkPart();
    void ScanReceived();

    std::size_t GrownPart_ = static_cast<std::size_t>(-1);
};

}  // namespace quobel
