#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <istream>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace quobel {

// Streaming MIME decoder: reads one message line by line and reports the main header, the part
// headers and the decoded data of each part through events. Feeding the input in blocks of any
// size gives the same events and bytes.
class TMimeDecode {
  public:
    using TNotifyEvent = std::function<void(TMimeDecode& Sender)>;
    using TMimeDecodePartLine =
        std::function<void(TMimeDecode& Sender, const char* Data, std::size_t DataLen)>;
    using TInlineDecodeBegin =
        std::function<void(TMimeDecode& Sender, const std::string& Filename)>;
    using TInlineDecodeLine = std::function<void(TMimeDecode& Sender, std::string_view Line)>;
    using TInlineDecodeEnd = std::function<void(TMimeDecode& Sender, const std::string& Filename)>;

    // Hostile input must not make memory grow far beyond its size: after this many parts,
    // boundaries are no longer recognised and the rest stays in the last part; after this many
    // main header lines, further lines are still parsed but no longer kept.
    static constexpr int kMaxParts = 10000;
    static constexpr std::size_t kMaxHeaderLines = 10000;

    TMimeDecode() = default;
    virtual ~TMimeDecode() = default;
    TMimeDecode(const TMimeDecode&) = delete;
    TMimeDecode& operator=(const TMimeDecode&) = delete;

    // Reads the stream from its current position to its end. Read errors raise quobel::Error.
    void DecodeStream(std::istream& stream);
    // The same over bytes already in memory.
    void DecodeText(std::string_view text);

    // Incremental use: Begin, Feed any number of blocks, Finish. StartPosition is the stream
    // position of the first byte, for Position.
    void Begin(std::int64_t StartPosition = 0);
    void Feed(std::string_view block);
    void Finish();

    // The line being handled; valid during an event only.
    std::string_view CurrentLine() const { return CurrentLine_; }

    // Main header fields.
    std::string From, To, CC, Subject, Date;
    std::int32_t Priority = 0;
    std::string ContentType;
    std::string Boundary;
    std::string Encoding;
    // The "charset" parameter of the message's own content type.
    std::string Charset;
    std::vector<std::string> HeaderLines;
    // Stream position just after the line being handled.
    std::int64_t Position = 0;

    // Fields of the current part.
    std::int32_t PartNumber = 0;
    std::string PartContentType;
    std::string PartName;
    std::string PartCharset;
    std::string PartEncoding;
    std::string PartDisposition;
    std::string PartFileName;
    std::string PartContentID;

    bool PartHeaderBegun = false;
    bool PartDataBegun = false;
    bool InHeader = true;
    bool InInlineBlock = false;
    std::string InlineFileName;

    TNotifyEvent OnHeaderBegin;
    TNotifyEvent OnHeaderLine;
    TNotifyEvent OnHeaderEnd;
    TNotifyEvent OnPartHeaderBegin;
    TNotifyEvent OnPartHeaderLine;
    TNotifyEvent OnPartHeaderEnd;
    TNotifyEvent OnPartBegin;
    TMimeDecodePartLine OnPartLine;
    TNotifyEvent OnPartEnd;
    TNotifyEvent OnMessageEnd;
    TInlineDecodeBegin OnInlineDecodeBegin;
    TInlineDecodeLine OnInlineDecodeLine;
    TInlineDecodeEnd OnInlineDecodeEnd;

  protected:
    virtual void TriggerHeaderBegin();
    virtual void TriggerHeaderLine();
    virtual void TriggerHeaderEnd();
    virtual void TriggerPartHeaderBegin();
    virtual void TriggerPartHeaderLine();
    virtual void TriggerPartHeaderEnd();
    virtual void TriggerPartBegin();
    virtual void TriggerPartLine(const char* Data, std::size_t DataLen);
    virtual void TriggerPartEnd();
    virtual void TriggerMessageEnd();

  private:
    enum class TState { MessageHeader, SinglePartBody, Preamble, PartHeader, PartBody };

    std::size_t ProcessLines(std::string_view data, bool final);
    void HandleLine(std::string_view line);
    void MessageHeaderLine(std::string_view line);
    void SinglePartBodyLine(std::string_view line);
    void PreambleLine(std::string_view line);
    void PartHeaderLine(std::string_view line);
    void PartBodyLine(std::string_view line);
    void NextPart();
    void LeaveInlineBlock();
    bool IsBoundary(std::string_view line, bool withFinal);

    void ParseHeader(std::string_view line);
    void ParsePartHeader(std::string_view line);
    void DecodeLine(std::string_view line, const std::string& encoding);
    void DecodeBase64Line(std::string_view line);
    void DecodeQuotedPrintableLine(std::string_view line);
    void DecodeUuLine(std::string_view line);
    void WritePartData(const char* data, std::size_t length);
    bool InlineUuCheck(const char* data, std::size_t length);

    TState State_ = TState::MessageHeader;
    std::string_view CurrentLine_;
    std::unordered_set<std::string> NestedBoundaries_;
    int LineCount_ = 0;
    bool UuFileOpen_ = false;

    // Line splitter.
    std::string Pending_;
    std::size_t ScanFrom_ = 0;   // offset in Pending_ up to which the current line is scanned
    std::int64_t Consumed_ = 0;  // stream position of the first byte of the data being split
    std::string Folded_;
    std::string Scratch_;
    std::string Decoded_;
};

// "urgent" gives 1, "non-priority" 5, otherwise the leading number, or 3.
std::int32_t ParsePriority(std::string_view value);

}  // namespace quobel
