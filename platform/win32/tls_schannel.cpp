// TLS through Schannel (SSPI) over our own bounded TCP connection: the
// handshake tokens and the records are carried by TcpStream reads and
// writes, so every wait has the caller's bound. Certificates are checked
// here (manual validation): the chain must end in a trusted root without
// any error, be good for server authentication, not be revoked, and the
// SSL policy must accept it for the server's name.
#define SECURITY_WIN32
#define SCHANNEL_USE_BLACKLISTS
#define CERT_CHAIN_PARA_HAS_EXTRA_FIELDS
#include "platform/tls.h"

#include <windows.h>
#include <subauth.h>
#include <wincrypt.h>
#include <schannel.h>
#include <security.h>
#include <sspi.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace hs {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kMaxHandshakeBytes = 256 * 1024;
constexpr int kMaxHandshakeRounds = 32;
constexpr std::size_t kMaxPendingBytes = 64 * 1024;  // two records and then some
constexpr long kNeedMore = -100;
constexpr int kMaxRenegotiations = 4;
constexpr unsigned char kAlertRecord = 21;

// Nothing below TLS 1.2 is spoken.
constexpr DWORD kOldProtocols =
    SP_PROT_SSL2_CLIENT | SP_PROT_SSL3_CLIENT | SP_PROT_TLS1_0_CLIENT | SP_PROT_TLS1_1_CLIENT;

// True when the credentials would speak a version below TLS 1.2 (Wine
// takes SCH_CREDENTIALS but not its list of disabled versions).
bool offersOldProtocols(CredHandle& credentials) {
    SecPkgCred_SupportedProtocols supported{};
    return ::QueryCredentialsAttributesA(&credentials, SECPKG_ATTR_SUPPORTED_PROTOCOLS, &supported) == SEC_E_OK &&
           (supported.grbitProtocol & kOldProtocols) != 0;
}

// Outbound credentials without a client certificate: the system's own
// protocol choice (TLS 1.3 where it has it) with the old ones switched
// off; where the system does not take that form (Windows 10 before 1809,
// Wine), TLS 1.2 and 1.3 named, then TLS 1.2 alone.
bool acquireCredentials(CredHandle& credentials) {
    const DWORD flags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
    char package[] = UNISP_NAME_A;
    TimeStamp expiry;
    TLS_PARAMETERS parameters{};
    parameters.grbitDisabledProtocols = kOldProtocols;
    SCH_CREDENTIALS current{};
    current.dwVersion = SCH_CREDENTIALS_VERSION;
    current.dwFlags = flags;
    current.cTlsParameters = 1;
    current.pTlsParameters = &parameters;
    if (::AcquireCredentialsHandleA(nullptr, package, SECPKG_CRED_OUTBOUND, nullptr, &current, nullptr, nullptr,
                                    &credentials, &expiry) == SEC_E_OK) {
        if (!offersOldProtocols(credentials)) return true;
        ::FreeCredentialsHandle(&credentials);
    }
    for (const DWORD protocols : {DWORD{SP_PROT_TLS1_2_CLIENT | SP_PROT_TLS1_3_CLIENT}, DWORD{SP_PROT_TLS1_2_CLIENT}}) {
        SCHANNEL_CRED older{};
        older.dwVersion = SCHANNEL_CRED_VERSION;
        older.grbitEnabledProtocols = protocols;
        older.dwFlags = flags;
        if (::AcquireCredentialsHandleA(nullptr, package, SECPKG_CRED_OUTBOUND, nullptr, &older, nullptr, nullptr,
                                        &credentials, &expiry) == SEC_E_OK) {
            return true;
        }
    }
    return false;
}

// How the server's chain is built: good for server authentication, and
// revocation checked for every certificate but the root, every CRL or OCSP
// fetch of the chain together within `waitMs`.
struct ChainRequest {
    DWORD flags;
    DWORD urlTimeoutMs;
};
ChainRequest chainRequest(int waitMs) {
    return {CERT_CHAIN_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT | CERT_CHAIN_REVOCATION_ACCUMULATIVE_TIMEOUT,
            static_cast<DWORD>(std::max(1, waitMs))};
}
// The same without fetching anything (revocation then unknown).
constexpr DWORD kCachedChainFlags = CERT_CHAIN_CACHE_ONLY_URL_RETRIEVAL;

// A chain without errors passes; so does one whose revocation could not be
// learnt (no CRL or OCSP named, or none reachable in time), as browsers
// do. A revoked certificate, or any other error, does not.
bool chainAcceptable(DWORD errorStatus) {
    const DWORD unknown = CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION;
    return (errorStatus & ~unknown) == 0;
}

PCCERT_CHAIN_CONTEXT buildChain(PCCERT_CONTEXT certificate, DWORD flags, DWORD urlTimeoutMs) {
    char serverAuth[] = szOID_PKIX_KP_SERVER_AUTH;
    LPSTR usages[] = {serverAuth};
    CERT_CHAIN_PARA chainPara{};
    chainPara.cbSize = sizeof chainPara;
    chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_OR;
    chainPara.RequestedUsage.Usage.cUsageIdentifier = 1;
    chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
    chainPara.dwUrlRetrievalTimeout = urlTimeoutMs;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    if (!::CertGetCertificateChain(nullptr, certificate, nullptr, certificate->hCertStore, &chainPara, flags, nullptr,
                                   &chain)) {
        return nullptr;
    }
    return chain;
}

// A chain build with fetches runs on a thread of its own, waited for at
// most its timeout: Wine's chain engine does not pass that timeout on, and
// a server can name a CRL address that never answers. A build not done in
// time is left to end by itself (it holds its own references) and the
// chain is built again from what is cached. Only a few are left at once;
// beyond them nothing is fetched.
struct ChainJob {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool abandoned = false;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
};
constexpr int kMaxAbandonedBuilds = 4;
std::atomic<int> abandonedBuilds{0};

PCCERT_CHAIN_CONTEXT buildChainWithin(PCCERT_CONTEXT certificate, const ChainRequest& request) {
    if (abandonedBuilds.load() < kMaxAbandonedBuilds) {
        auto job = std::make_shared<ChainJob>();
        PCCERT_CONTEXT own = ::CertDuplicateCertificateContext(certificate);
        try {
            std::thread([job, own, request] {
                PCCERT_CHAIN_CONTEXT chain = buildChain(own, request.flags, request.urlTimeoutMs);
                ::CertFreeCertificateContext(own);
                std::lock_guard<std::mutex> lock(job->mutex);
                if (job->abandoned) {
                    if (chain != nullptr) ::CertFreeCertificateChain(chain);
                    --abandonedBuilds;
                    return;
                }
                job->chain = chain;
                job->finished = true;
                job->done.notify_one();
            }).detach();
        } catch (const std::system_error&) {
            ::CertFreeCertificateContext(own);
            return buildChain(certificate, kCachedChainFlags, 0);
        }
        std::unique_lock<std::mutex> lock(job->mutex);
        if (job->done.wait_for(lock, std::chrono::milliseconds(request.urlTimeoutMs),
                               [&] { return job->finished; })) {
            return job->chain;
        }
        job->abandoned = true;
        ++abandonedBuilds;
    }
    return buildChain(certificate, kCachedChainFlags, 0);
}

// The SSL policy judges the name; revocation is judged by the chain's
// status above (Wine's policy refuses an unknown revocation status).
constexpr DWORD kPolicyIgnoresRevocation = 0x00000080;  // SECURITY_FLAG_IGNORE_REVOCATION

class SchannelStream final : public TcpStream {
public:
    SchannelStream(std::unique_ptr<TcpStream> tcp, const std::string& serverName, int idleMs,
                   Clock::time_point deadline)
        : tcp_(std::move(tcp)), serverName_(serverName), idleMs_(idleMs), deadline_(deadline) {}

    ~SchannelStream() override {
        if (haveContext_) ::DeleteSecurityContext(&context_);
        if (haveCredentials_) ::FreeCredentialsHandle(&credentials_);
    }

    bool start(std::string& error) {
        if (!acquireCredentials(credentials_)) {
            error = "no TLS credentials";
            return false;
        }
        haveCredentials_ = true;
        return handshake(error) && checkProtocol(error) && verify(error) && querySizes(error);
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

    // kNetClosed only after the server's close_notify: a connection that
    // just ends may have cut the data short, and gives kNetError.
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
            if (got == kNetClosed) return kNetError;
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

    // The first handshake, and each later one the server asks for (a
    // renegotiation, or TLS 1.3's messages after the handshake): tokens go
    // back and forth from what `incoming_` holds until the context is
    // complete.
    bool handshake(std::string& error) {
        unsigned long wanted = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                               ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM | ISC_REQ_EXTENDED_ERROR;
        std::vector<char> target(serverName_.begin(), serverName_.end());
        target.push_back('\0');
        TimeStamp expiry;
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
            if (status == SEC_I_INCOMPLETE_CREDENTIALS) {
                // The server asks for a client certificate. There is none
                // to give: go on without one, with the same input, once.
                if ((wanted & ISC_REQ_USE_SUPPLIED_CREDS) != 0) {
                    error = "TLS client certificate required";
                    return false;
                }
                wanted |= ISC_REQ_USE_SUPPLIED_CREDS;
                continue;
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

    // The credentials already leave the old versions out; this holds where
    // a system takes the credentials and still speaks an old version.
    bool checkProtocol(std::string& error) {
        SecPkgContext_ConnectionInfo info{};
        if (::QueryContextAttributesA(&context_, SECPKG_ATTR_CONNECTION_INFO, &info) == SEC_E_OK &&
            (info.dwProtocol & kOldProtocols) != 0) {
            error = "TLS version too old";
            return false;
        }
        return true;
    }

    bool verify(std::string& error) {
        PCCERT_CONTEXT certificate = nullptr;
        if (::QueryContextAttributesA(&context_, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate) != SEC_E_OK ||
            certificate == nullptr) {
            error = "no server certificate";
            return false;
        }
        PCCERT_CHAIN_CONTEXT chain = buildChainWithin(certificate, chainRequest(waitMs(idleMs_)));
        bool trusted = false;
        // The chain's own verdict counts as well as the policy's: the SSL
        // policy does not reject every untrusted chain by itself (a chain
        // that ends in no known root passes it under Wine).
        if (chain != nullptr && chainAcceptable(chain->TrustStatus.dwErrorStatus)) {
            std::wstring name(serverName_.size() + 1, L'\0');
            const int length = ::MultiByteToWideChar(CP_ACP, 0, serverName_.c_str(), -1, &name[0],
                                                     static_cast<int>(name.size()));
            SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
            ssl.cbSize = sizeof ssl;
            ssl.dwAuthType = AUTHTYPE_SERVER;
            ssl.fdwChecks = kPolicyIgnoresRevocation;
            ssl.pwszServerName = &name[0];
            CERT_CHAIN_POLICY_PARA policyPara{};
            policyPara.cbSize = sizeof policyPara;
            policyPara.pvExtraPolicyPara = &ssl;
            CERT_CHAIN_POLICY_STATUS policyStatus{};
            policyStatus.cbSize = sizeof policyStatus;
            trusted = length > 0 &&
                      ::CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policyPara, &policyStatus) &&
                      policyStatus.dwError == 0;
        }
        if (chain != nullptr) ::CertFreeCertificateChain(chain);
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
        const unsigned char recordType = static_cast<unsigned char>(incoming_[0]);
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
        if (status != SEC_E_OK && status != SEC_I_RENEGOTIATE) return kNetError;
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
        if (status == SEC_I_RENEGOTIATE) {
            // Answered a few times per connection, each within the bounds
            // and with the certificate checked again; then refused.
            std::string error;
            if (++renegotiations_ > kMaxRenegotiations || !handshake(error) || !checkProtocol(error) ||
                !verify(error)) {
                return kNetError;
            }
        } else if (plain_.empty() && recordType == kAlertRecord) {
            // Wine's Schannel gives the close_notify as an alert record
            // without data rather than SEC_I_CONTEXT_EXPIRED.
            closed_ = true;
            incoming_.clear();
        }
        return static_cast<long>(plain_.size());
    }

    std::unique_ptr<TcpStream> tcp_;
    std::string serverName_;
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
    int renegotiations_ = 0;
};

}  // namespace

std::unique_ptr<TcpStream> startTls(std::unique_ptr<TcpStream> tcp, const std::string& serverName, int idleMs,
                                    std::chrono::steady_clock::time_point deadline, std::string& error) {
    if (!tcp) {
        error = "no connection";
        return nullptr;
    }
    auto stream = std::make_unique<SchannelStream>(std::move(tcp), serverName, idleMs, deadline);
    if (!stream->start(error)) return nullptr;
    return stream;
}

}  // namespace hs
