#pragma once

#include <memory>

#include "platform/transport.h"

namespace quobel {

// Opens a TCP connection (IPv4 or IPv6, every address the name resolves to in turn) within the
// request's connect time-out. Failures: "Connect timed out.", "Socket Error # %d" + CR LF + the
// system's text, "Connection aborted." when the request's cancel signal is raised.
// The transport's reads fail with "Read timed out." after the request's read time-out, and its
// TLS (OpenSSL) fails with "Certificate verification failed: " + the reason, the certificate's
// details attached to the Error, when the server's certificate is not trusted, not made out for
// the host name or not the one whose key was pinned.
std::unique_ptr<TTransport> ConnectSocket(const TConnectRequest& request);

}  // namespace quobel
