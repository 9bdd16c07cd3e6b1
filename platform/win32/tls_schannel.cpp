// TLS through Schannel (SSPI) over our own bounded TCP connection: the
// handshake tokens and the records are carried by TcpStream reads and
// writes, so every wait has the caller's bound. Certificates are checked
// here (manual validation): the chain must end in a trusted root without
// any error, and the SSL policy must accept it for the server's name.
#define SECURITY_WIN32
#include "platform/tls.h"

#include <windows.h>
#include <wincrypt.h>
#include <schannel.h>
#include <security.h>
#include <sspi.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace hs {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kMaxHandshakeBytes = 256 * 1024;
constexpr int kMaxHandshakeRounds = 32;
constexpr std::size_t kMaxPendingBytes = 64 * 1024;  // two records and then some
constexpr long kNeedMore = -100;

class SchannelStream final : public TcpStream {
public:
    SchannelStream(std::unique_ptr<TcpStream> tcp, int idleMs, Clock::time_point deadline)
        : tcp_(std::move(tcp)), idleMs_(idleMs), deadline_(deadline) {}

    ~SchannelStream() override {
        if (haveContext_) ::DeleteSecurityContext(&context_);
        if (haveCredentials_) ::FreeCredentialsHandle(&credentials_);
    }

    bool start(const std::string& serverName, std::string& error) {
        return handshake(serverName, error) && verify(serverName, error) && querySizes(error);
    }

    bool sendAll(const char* data, std::size_t size, int timeoutMs) override {
        while (size > 0) {
            const std::size_t piece = std::min<std::size_t>(size, sizes_.cbMaximumMessage);
            std::vector<char> message(sizes_.cbHeader + piece + sizes_.cbTrailer);
            std::memcpy(message.data() + sizes_.cbHeader, data, piece);
            SecBuffer buffers[4] = {
                {sizes_.cbHeader, SECBUFFER_STREAM_HEADER, message.data()},
                {static_cast<unsigned long>(piece), SECBUFFER_DATA, message.data() + sizes_.cbHeader},
                {sizes_.cbTrailer, SECBUFFER_STREAM_TRAILER, message.data() + sizes_.cbHeader + piece},
                {0, SECBUFFER_EMPTY, nullptr}};
            SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
            if (::EncryptMessage(&context_, 0, &desc, 0) != SEC_E_OK) return false;
            const std::size_t total = buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer;
            if (!tcp_->sendAll(message.data(), total, waitMs(timeoutMs))) return false;
            data += piece;
            size -= piece;
        }
        return true;
    }

    long receive(char* buffer, std::size_t size, int timeoutMs) override {
        if (size == 0) return kNetError;
        for (;;) {
            if (plainPos_ < plain_.size()) {
                const std::size_t n = std::min(size, plain_.size() - plainPos_);
                std::memcpy(buffer, plain_.data() + plainPos_, n);
                plainPos_ += n;
                return static_cast<long>(n);
            }
            if (closed_) return kNetClosed;
            if (!incoming_.empty()) {
                const long decrypted = decrypt();
                if (decrypted != kNeedMore) {
                    if (decrypted < 0) return decrypted;
                    continue;
                }
            }
            // A whole record is not there yet.
            if (incoming_.size() > kMaxPendingBytes) return kNetError;
            const long got = receiveRaw(waitMs(timeoutMs));
            if (got == kNetClosed) return incoming_.empty() ? kNetClosed : kNetError;
            if (got < 0) return got;
        }
    }

    std::string localAddress() const override { return tcp_->localAddress(); }

private:
    int waitMs(int callerMs) const {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now()).count();
        if (left <= 0) return 0;
        return static_cast<int>(std::min<long long>(left, callerMs));
    }

    long receiveRaw(int timeoutMs) {
        if (timeoutMs <= 0) return kNetTimedOut;
        char piece[16384];
        const long got = tcp_->receive(piece, sizeof piece, timeoutMs);
        if (got > 0) incoming_.append(piece, static_cast<std::size_t>(got));
        return got;
    }

    // Keeps the bytes the last call did not use (an EXTRA buffer).
    void keepExtra(const SecBuffer& extra) {
        if (extra.BufferType == SECBUFFER_EXTRA && extra.cbBuffer > 0 && extra.cbBuffer <= incoming_.size()) {
            incoming_.erase(0, incoming_.size() - extra.cbBuffer);
        } else {
            incoming_.clear();
        }
    }

    bool sendToken(SecBuffer& token) {
        bool ok = true;
        if (token.pvBuffer != nullptr) {
            if (token.cbBuffer > 0) {
                ok = tcp_->sendAll(static_cast<const char*>(token.pvBuffer), token.cbBuffer, waitMs(idleMs_));
            }
            ::FreeContextBuffer(token.pvBuffer);
            token.pvBuffer = nullptr;
        }
        return ok;
    }

    bool handshake(const std::string& serverName, std::string& error) {
        SCHANNEL_CRED settings{};
        settings.dwVersion = SCHANNEL_CRED_VERSION;
        settings.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
        settings.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
        TimeStamp expiry;
        char package[] = UNISP_NAME_A;
        if (::AcquireCredentialsHandleA(nullptr, package, SECPKG_CRED_OUTBOUND, nullptr, &settings, nullptr,
                                        nullptr, &credentials_, &expiry) != SEC_E_OK) {
            error = "no TLS credentials";
            return false;
        }
        haveCredentials_ = true;

        const unsigned long wanted = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                                     ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM | ISC_REQ_EXTENDED_ERROR;
        std::vector<char> target(serverName.begin(), serverName.end());
        target.push_back('\0');
        for (int round = 0; round < kMaxHandshakeRounds; ++round) {
            SecBuffer in[2] = {{static_cast<unsigned long>(incoming_.size()), SECBUFFER_TOKEN, &incoming_[0]},
                               {0, SECBUFFER_EMPTY, nullptr}};
            SecBufferDesc inDesc{SECBUFFER_VERSION, 2, in};
            SecBuffer out[1] = {{0, SECBUFFER_TOKEN, nullptr}};
            SecBufferDesc outDesc{SECBUFFER_VERSION, 1, out};
            unsigned long got = 0;
            const SECURITY_STATUS status = ::InitializeSecurityContextA(
                &credentials_, haveContext_ ? &context_ : nullptr, target.data(), wanted, 0, 0,
                haveContext_ ? &inDesc : nullptr, 0, haveContext_ ? nullptr : &context_, &outDesc, &got, &expiry);
            if (!haveContext_ && (status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED)) haveContext_ = true;
            if (!sendToken(out[0])) {
                error = "TLS handshake not sent";
                return false;
            }
            if (status == SEC_E_OK) {
                keepExtra(in[1]);  // the start of the first record, if any
                return true;
            }
            if (status == SEC_I_CONTINUE_NEEDED) {
                keepExtra(in[1]);
            } else if (status != SEC_E_INCOMPLETE_MESSAGE) {
                error = "TLS handshake failed";
                return false;
            }
            if (status == SEC_E_INCOMPLETE_MESSAGE || incoming_.empty()) {
                if (incoming_.size() > kMaxHandshakeBytes) {
                    error = "TLS handshake too long";
                    return false;
                }
                const long read = receiveRaw(waitMs(idleMs_));
                if (read <= 0) {
                    error = read == kNetTimedOut ? "TLS handshake timed out" : "TLS handshake broken";
                    return false;
                }
            }
        }
        error = "TLS handshake did not end";
        return false;
    }

    bool verify(const std::string& serverName, std::string& error) {
        PCCERT_CONTEXT certificate = nullptr;
        if (::QueryContextAttributesA(&context_, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate) != SEC_E_OK ||
            certificate == nullptr) {
            error = "no server certificate";
            return false;
        }
        char serverAuth[] = szOID_PKIX_KP_SERVER_AUTH;
        LPSTR usages[] = {serverAuth};
        CERT_CHAIN_PARA chainPara{};
        chainPara.cbSize = sizeof chainPara;
        chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_OR;
        chainPara.RequestedUsage.Usage.cUsageIdentifier = 1;
        chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
        PCCERT_CHAIN_CONTEXT chain = nullptr;
        bool trusted = false;
        if (::CertGetCertificateChain(nullptr, certificate, nullptr, certificate->hCertStore, &chainPara, 0,
                                      nullptr, &chain) &&
            chain != nullptr) {
            // The chain's own verdict counts as well as the policy's: the
            // SSL policy does not reject every untrusted chain by itself
            // (a chain that ends in no known root passes it under Wine).
            const DWORD ignorable = CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION;
            if ((chain->TrustStatus.dwErrorStatus & ~ignorable) == 0) {
                std::wstring name(serverName.size() + 1, L'\0');
                const int length = ::MultiByteToWideChar(CP_ACP, 0, serverName.c_str(), -1, &name[0],
                                                         static_cast<int>(name.size()));
                SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
                ssl.cbSize = sizeof ssl;
                ssl.dwAuthType = AUTHTYPE_SERVER;
                ssl.pwszServerName = &name[0];
                CERT_CHAIN_POLICY_PARA policyPara{};
                policyPara.cbSize = sizeof policyPara;
                policyPara.pvExtraPolicyPara = &ssl;
                CERT_CHAIN_POLICY_STATUS policyStatus{};
                policyStatus.cbSize = sizeof policyStatus;
                trusted = length > 0 &&
                          ::CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policyPara,
                                                             &policyStatus) &&
                          policyStatus.dwError == 0;
            }
            ::CertFreeCertificateChain(chain);
        }
        ::CertFreeCertificateContext(certificate);
        if (!trusted) error = "server certificate not trusted";
        return trusted;
    }

    bool querySizes(std::string& error) {
        if (::QueryContextAttributesA(&context_, SECPKG_ATTR_STREAM_SIZES, &sizes_) != SEC_E_OK ||
            sizes_.cbMaximumMessage == 0) {
            error = "no TLS record sizes";
            return false;
        }
        return true;
    }

    // Decrypts the first record in `incoming_`: the number of plain bytes
    // it gave (0 for a record without data or the end), kNeedMore while the
    // record is not whole, or kNetError.
    long decrypt() {
        SecBuffer buffers[4] = {{static_cast<unsigned long>(incoming_.size()), SECBUFFER_DATA, &incoming_[0]},
                                {0, SECBUFFER_EMPTY, nullptr},
                                {0, SECBUFFER_EMPTY, nullptr},
                                {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
        const SECURITY_STATUS status = ::DecryptMessage(&context_, &desc, 0, nullptr);
        if (status == SEC_E_INCOMPLETE_MESSAGE) return kNeedMore;
        if (status == SEC_I_CONTEXT_EXPIRED) {  // the server's close_notify
            closed_ = true;
            incoming_.clear();
            return 0;
        }
        if (status != SEC_E_OK) return kNetError;  // renegotiation included
        std::string plain;
        std::string extra;
        for (const SecBuffer& b : buffers) {
            if (b.BufferType == SECBUFFER_DATA && b.cbBuffer > 0) {
                plain.assign(static_cast<const char*>(b.pvBuffer), b.cbBuffer);
            } else if (b.BufferType == SECBUFFER_EXTRA && b.cbBuffer > 0) {
                extra.assign(static_cast<const char*>(b.pvBuffer), b.cbBuffer);
            }
        }
        incoming_.swap(extra);
        plain_.swap(plain);
        plainPos_ = 0;
        return static_cast<long>(plain_.size());
    }

    std::unique_ptr<TcpStream> tcp_;
    int idleMs_;
    Clock::time_point deadline_;
    CredHandle credentials_{};
    CtxtHandle context_{};
    bool haveCredentials_ = false;
    bool haveContext_ = false;
    SecPkgContext_StreamSizes sizes_{};
    std::string incoming_;
    std::string plain_;
    std::size_t plainPos_ = 0;
    bool closed_ = false;
};

}  // namespace

std::unique_ptr<TcpStream> startTls(std::unique_ptr<TcpStream> tcp, const std::string& serverName, int idleMs,
                                    std::chrono::steady_clock::time_point deadline, std::string& error) {
    if (!tcp) {
        error = "no connection";
        return nullptr;
    }
    auto stream = std::make_unique<SchannelStream>(std::move(tcp), idleMs, deadline);
    if (!stream->start(serverName, error)) return nullptr;
    return stream;
}

}  // namespace hs
