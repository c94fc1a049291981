#pragma once

#include <openssl/ssl.h>

#include "platform/transport.h"

namespace quobel {

// The handshake goes on past a certificate that does not verify, so that a key the user pinned
// can still be accepted; this callback keeps the first failure (the one that names the cause)
// in the long that SSL_get_app_data points to.
int RememberFirstVerifyFailure(int preverifyOk, X509_STORE_CTX* store);

// After the handshake: accepts the server's certificate by the trust, or fails with
// "Certificate verification failed: " + the reason and the certificate's details attached.
// firstFailure is what RememberFirstVerifyFailure kept (X509_V_OK when the chain verified).
void AcceptPeerOrThrow(SSL* ssl, const TTlsTrust& trust, long firstFailure);

}  // namespace quobel
