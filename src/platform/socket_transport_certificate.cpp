#include "platform/socket_transport_certificate.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <ctime>
#include <memory>
#include <string>

#include "core/digest.h"
#include "core/error.h"
#include "core/server_certificate.h"
#include "core/strings.h"

namespace quobel {
namespace {

struct BioFree {
    void operator()(BIO* bio) const { BIO_free(bio); }
};
struct X509Free {
    void operator()(X509* cert) const { X509_free(cert); }
};
struct OpenSslFree {
    void operator()(unsigned char* data) const { OPENSSL_free(data); }
};

std::string NameText(const X509_NAME* name) {
    const std::unique_ptr<BIO, BioFree> bio(BIO_new(BIO_s_mem()));
    if (!bio ||
        X509_NAME_print_ex(bio.get(), name, 0, XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB) < 0) {
        return {};
    }
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &data);
    return size > 0 ? std::string(data, static_cast<size_t>(size)) : std::string();
}

std::string TimeText(const ASN1_TIME* time) {
    std::tm parts{};
    if (time == nullptr || ASN1_TIME_to_tm(time, &parts) != 1) {
        return {};
    }
    char text[32];
    return std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &parts) > 0 ? text : "";
}

std::string Sha256Of(const unsigned char* data, size_t size) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(data, size, digest, &length, EVP_sha256(), nullptr) != 1) {
        return {};
    }
    return HexLower(digest, length);
}

std::shared_ptr<const TServerCertificate> Describe(X509* cert, const std::string& host) {
    auto info = std::make_shared<TServerCertificate>();
    info->Host = host;
    info->Subject = NameText(X509_get_subject_name(cert));
    info->Issuer = NameText(X509_get_issuer_name(cert));
    info->ValidFrom = TimeText(X509_get0_notBefore(cert));
    info->ValidUntil = TimeText(X509_get0_notAfter(cert));
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (X509_digest(cert, EVP_sha256(), digest, &length) == 1) {
        info->Fingerprint = HexLower(digest, length);
    }
    unsigned char* der = nullptr;
    const int size = i2d_X509_PUBKEY(X509_get_X509_PUBKEY(cert), &der);
    const std::unique_ptr<unsigned char, OpenSslFree> owned(der);
    if (size > 0) {
        info->KeyPin = Sha256Of(der, static_cast<size_t>(size));
    }
    return info;
}

}  // namespace

int RememberFirstVerifyFailure(int preverifyOk, X509_STORE_CTX* store) {
    if (preverifyOk == 0) {
        auto* ssl = static_cast<SSL*>(
            X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx()));
        auto* first = ssl != nullptr ? static_cast<long*>(SSL_get_app_data(ssl)) : nullptr;
        if (first != nullptr && *first == X509_V_OK) {
            *first = X509_STORE_CTX_get_error(store);
        }
    }
    return 1;
}

void AcceptPeerOrThrow(SSL* ssl, const TTlsTrust& trust, long firstFailure) {
    const std::unique_ptr<X509, X509Free> cert(SSL_get1_peer_certificate(ssl));
    if (!cert) {
        throw Error("Certificate verification failed: the server sent no certificate");
    }
    const std::shared_ptr<const TServerCertificate> info = Describe(cert.get(), trust.HostName);
    if (!trust.PinnedKey.empty()) {
        if (!info->KeyPin.empty() && SameTextAscii(info->KeyPin, trust.PinnedKey)) {
            return;
        }
        throw Error(
            "Certificate verification failed: the server's certificate changed. "
            "Trusted key SHA-256: " +
                FormatFingerprint(trust.PinnedKey) +
                "; the server's key SHA-256: " + FormatFingerprint(info->KeyPin),
            info);
    }
    if (firstFailure != X509_V_OK) {
        throw Error("Certificate verification failed: " +
                        std::string(X509_verify_cert_error_string(firstFailure)),
                    info);
    }
}

}  // namespace quobel
