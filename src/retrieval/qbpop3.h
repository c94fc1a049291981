#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "accounts/account.h"
#include "platform/cancel_signal.h"
#include "platform/transport.h"
#include "retrieval/pop_capabilities.h"

namespace quobel {

// A POP3 client session: one connection to an account's server, speaking the few commands the
// system needs. Used by one thread at a time; only Abort may be called from another thread.
// Every failure is an Error carrying the text to report (a server's reply text for a refused
// command).
class TQBPOP3 {
  public:
    static constexpr int kDefaultTimeout = 300000;   // milliseconds
    static constexpr size_t kMaxLineLength = 16384;  // bytes, a CR before the LF included

    TQBPOP3();
    ~TQBPOP3();
    TQBPOP3(const TQBPOP3&) = delete;
    TQBPOP3& operator=(const TQBPOP3&) = delete;

    std::string Host;
    int Port = 110;
    std::string Username;
    std::string Password;
    // An OAuth 2.0 access token: when set, the login is XOAUTH2 or OAUTHBEARER (whichever the
    // server lists) under TLS, and fails rather than fall back to the password.
    std::string AccessToken;
    // XOAUTH2's initial response only after the server's "+" (see TOAuthLogin::TwoStep).
    bool OAuthTwoStep = false;
    bool APOP = false;
    TPOPSecurity TLS = TPOPSecurity::None;
    // A CA file trusted beside the system's store (tests use their own CA).
    std::string CAFile;
    // The SHA-256 of the public key the user trusted for Host (64 hexadecimal digits): only a
    // certificate with that key is accepted, and no other check applies. Empty: none pinned.
    std::string PinnedKey;
    int ConnectTimeout = kDefaultTimeout;
    int ReadTimeout = kDefaultTimeout;
    // How the connection is opened; TCP sockets unless a test replaces it.
    TConnector Connector;

    // During a multi-line response: the bytes received since it began, after each chunk.
    std::function<void(TQBPOP3& sender, int64_t count)> OnWork;

    // Opens the connection, reads the greeting and logs in; on a failure after the connection
    // is open, disconnects before the error is raised.
    void Connect();
    bool Connected() const { return transport_ != nullptr; }
    // What the server said it can do: asked after the greeting and asked again after "STLS"
    // (the earlier answer came unprotected). None before Connect, and none from a server that
    // refuses "CAPA".
    const TPopCapabilities& Capabilities() const { return capabilities_; }
    // Sends "QUIT" (its reply is not read) and closes.
    void Disconnect();
    // Ends every wait of the session at once, from any thread; the session is unusable after.
    void Abort() noexcept { cancel_.Raise(); }

    // The number of messages in the mailbox ("STAT").
    int64_t MessageCount();
    // The "UIDL" lines ("number unique-id"); empty when the server refuses the command.
    std::vector<std::string> ListUniqueIds();
    // The size "LIST number" reports, or -1 when the reply carries none.
    int64_t MessageSize(int number);
    // The header lines ("TOP number 0"), appended to lines as they arrive.
    void RetrieveHeader(int number, std::vector<std::string>& lines);
    // The whole message ("RETR number"), appended to lines as they arrive, so lines read before
    // a failure stay; nothing when the server refuses the command.
    void RetrieveRaw(int number, std::vector<std::string>& lines);
    void DeleteOnServer(int number);

    // The size and header block of one message, as RetrieveHeaders hands it over.
    struct THeader {
        int Number = 0;
        int64_t Size = -1;  // as LIST reports it; -1 when the reply carries none
        std::vector<std::string> Lines;
        // The server refused LIST or TOP for this message: Error holds its text.
        bool Refused = false;
        std::string Error;
    };
    // Whether a server that offers PIPELINING gets its commands ahead of their replies.
    bool AllowPipelining = true;
    // When pipelining: the most messages whose commands are on the way at once.
    size_t PipelineWindow = 200;
    // The size and header block of every message, handed to `take` in the numbers' order as each
    // becomes complete. With PIPELINING, "LIST n" and "TOP n 0" go out ahead of their replies in
    // a bounded window; without it, one multi-line "LIST" brings every size when more than a
    // handful of messages are asked for (each "LIST n" when it is refused), then "TOP n 0" goes
    // one at a time. A refusal belongs to its message alone. A lost connection fails with an
    // Error: the messages not handed over by then got nothing.
    void RetrieveHeaders(const std::vector<int>& numbers,
                         const std::function<void(THeader& header)>& take);

  private:
    struct Reply {
        bool Positive = false;
        std::string Text;  // each line from its fifth character on, each followed by CR LF
    };

    void StartTls();
    void ReadCapabilities();
    // APOP when chosen; else SASL PLAIN when the connection is under TLS and the server lists
    // the mechanism; else USER and PASS.
    void Login(const Reply& greeting);
    bool UsesSaslPlain() const;
    void LoginSaslPlain();
    void LoginOAuth();
    void SendCommand(std::string_view command);
    void SendBytes(std::string_view bytes);
    void RetrieveHeadersPipelined(const std::vector<int>& numbers,
                                  const std::function<void(THeader& header)>& take);
    // Every message's size from one multi-line "LIST"; false when the server refuses it.
    bool ListAllSizes(std::vector<std::pair<int, int64_t>>& sizes);
    // The reply to a "TOP n 0" sent before: its lines, or the refusal.
    void ReadHeaderReply(THeader& header);
    Reply ReadReply();
    Reply Command(std::string_view command);
    // The command's reply must be positive; a negative one fails with its text.
    Reply CommandOk(std::string_view command);
    void ReadMultiLine(std::vector<std::string>& lines);
    void ReadLine(std::string& line);
    // Reads more bytes into the buffer; false when the server closed the connection.
    bool Fill();
    void CloseTransport() noexcept;

    TCancelSignal cancel_;
    TPopCapabilities capabilities_;
    std::unique_ptr<TTransport> transport_;
    // Received bytes not yet taken: [bufferStart_, bufferEnd_) of buffer_.
    std::vector<char> buffer_;
    size_t bufferStart_ = 0;
    size_t bufferEnd_ = 0;
    // Received bytes counted for OnWork, or -1 outside a multi-line response.
    int64_t workCount_ = -1;
};

// The size in a "LIST" answer ("number size", or the size alone); -1 when there is none.
int64_t ParseListedSize(std::string_view text);

}  // namespace quobel
