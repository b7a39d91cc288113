#include "platform/inet/Internet.h"

#include <curl/curl.h>
#include <openssl/evp.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace qlinet {

namespace {

constexpr long kStallSeconds = 30;
constexpr long kMaxRedirects = 5;
constexpr int kPollMs = 50;

void GlobalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::string ToHex(const unsigned char* bytes, unsigned int len)
{
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    for (unsigned int i = 0; i < len; ++i) {
        out += kHex[bytes[i] >> 4];
        out += kHex[bytes[i] & 15];
    }
    return out;
}

}  // namespace

struct Transfer {
    CURL* easy = nullptr;
    CURLM* multi = nullptr;
    bool added = false;
    std::string pending;
    std::size_t pendingPos = 0;
    bool headDone = false;
    bool answered = false;  // the answer's head arrived
    bool finished = false;
    bool cancelled = false;
    CURLcode result = CURLE_OK;
    std::string statusLine;
    long status = 0;
    std::function<bool()> cancel;
    char errbuf[CURL_ERROR_SIZE] = {};

    ~Transfer()
    {
        if (multi && easy && added)
            curl_multi_remove_handle(multi, easy);
        if (easy)
            curl_easy_cleanup(easy);
        if (multi)
            curl_multi_cleanup(multi);
    }

    bool CancelAsked()
    {
        if (!cancelled && cancel && cancel())
            cancelled = true;
        return cancelled;
    }

    static size_t OnBody(char* data, size_t size, size_t count, void* self)
    {
        auto* t = static_cast<Transfer*>(self);
        t->headDone = t->answered = true;
        if (t->pendingPos && t->pendingPos == t->pending.size()) {
            t->pending.clear();
            t->pendingPos = 0;
        }
        t->pending.append(data, size * count);
        return size * count;
    }

    static size_t OnHeader(char* data, size_t size, size_t count, void* self)
    {
        auto* t = static_cast<Transfer*>(self);
        std::string line(data, size * count);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        if (line.rfind("HTTP/", 0) == 0) {
            t->statusLine = line;
        } else if (line.empty()) {
            long code = 0;
            curl_easy_getinfo(t->easy, CURLINFO_RESPONSE_CODE, &code);
            // A redirect's or an interim answer's head is not the answer's.
            if (code >= 200 && (code < 300 || code >= 400))
                t->headDone = t->answered = true;
        }
        return size * count;
    }

    static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
    {
        return static_cast<Transfer*>(self)->CancelAsked() ? 1 : 0;
    }

    // One round of the transfer: work, then wait for the socket a little.
    void Drive()
    {
        if (finished)
            return;
        if (CancelAsked()) {
            finished = true;
            return;
        }
        int running = 0;
        curl_multi_perform(multi, &running);
        int left = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi, &left)) {
            if (msg->msg == CURLMSG_DONE) {
                finished = true;
                result = msg->data.result;
            }
        }
        if (finished) {
            headDone = true;
            curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
            if (result == CURLE_ABORTED_BY_CALLBACK && cancelled)
                result = CURLE_OK;
            return;
        }
        curl_multi_poll(multi, nullptr, 0, kPollMs, nullptr);
    }

    bool Failed() const { return finished && !cancelled && result != CURLE_OK; }

    [[noreturn]] void Throw() const
    {
        std::string text = errbuf[0] ? errbuf : curl_easy_strerror(result);
        throw CInternetException(static_cast<DWORD>(result), text);
    }
};

namespace {

std::unique_ptr<Transfer> MakeTransfer(const std::string& url, const CInternetSession& session)
{
    GlobalInit();
    auto t = std::make_unique<Transfer>();
    t->easy = curl_easy_init();
    t->multi = curl_multi_init();
    if (!t->easy || !t->multi)
        throw CInternetException(CURLE_OUT_OF_MEMORY, curl_easy_strerror(CURLE_OUT_OF_MEMORY));
    CURL* e = t->easy;
    const bool https = url.rfind("https://", 0) == 0;
    curl_easy_setopt(e, CURLOPT_URL, url.c_str());
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, t->errbuf);
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, kMaxRedirects);
    // Once secure, stay secure.
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, https ? "https" : "http,https");
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(session.ConnectTimeoutMs()));
    curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
    if (!session.Agent().empty())
        curl_easy_setopt(e, CURLOPT_USERAGENT, session.Agent().c_str());
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &Transfer::OnBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, t.get());
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &Transfer::OnHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, t.get());
    curl_easy_setopt(e, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(e, CURLOPT_XFERINFOFUNCTION, &Transfer::OnProgress);
    curl_easy_setopt(e, CURLOPT_XFERINFODATA, t.get());
    t->cancel = session.CancelCheck();
    return t;
}

}  // namespace

std::string Sha256Hex(const void* data, std::size_t size)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    if (!EVP_Digest(data, size, digest, &len, EVP_sha256(), nullptr))
        return {};
    return ToHex(digest, len);
}

std::string Sha256OfFile(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return {};
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    bool ok = ctx && EVP_DigestInit_ex(ctx, EVP_sha256(), nullptr);
    char buf[65536];
    while (ok) {
        const std::size_t n = std::fread(buf, 1, sizeof buf, f);
        if (n && !EVP_DigestUpdate(ctx, buf, n))
            ok = false;
        if (n < sizeof buf) {
            ok = ok && !std::ferror(f);
            break;
        }
    }
    std::fclose(f);
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    ok = ok && EVP_DigestFinal_ex(ctx, digest, &len);
    EVP_MD_CTX_free(ctx);
    return ok ? ToHex(digest, len) : std::string();
}

std::string PercentEncode(const std::string& value)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : value) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
            c == '_' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

}  // namespace qlinet

using qlinet::Transfer;

BOOL CInternetException::GetErrorMessage(char* lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (!lpszError || !nMaxError)
        return FALSE;
    const std::size_t n = std::min<std::size_t>(m_message.size(), nMaxError - 1);
    std::memcpy(lpszError, m_message.data(), n);
    lpszError[n] = '\0';
    return TRUE;
}

CHttpFile::CHttpFile(std::unique_ptr<Transfer> transfer) : m_transfer(std::move(transfer)) {}

CHttpFile::~CHttpFile() = default;

BOOL CHttpFile::SendRequest()
{
    Transfer& t = *m_transfer;
    if (!t.added) {
        curl_multi_add_handle(t.multi, t.easy);
        t.added = true;
    }
    while (!t.headDone && !t.finished)
        t.Drive();
    // A body cut short after the head is the reads' to report.
    if (t.Failed() && !t.answered)
        t.Throw();
    if (!t.status)
        curl_easy_getinfo(t.easy, CURLINFO_RESPONSE_CODE, &t.status);
    return !t.cancelled;
}

UINT CHttpFile::Read(void* lpBuf, UINT nCount)
{
    if (!m_transfer)
        return 0;
    Transfer& t = *m_transfer;
    if (!t.added)
        SendRequest();
    while (t.pending.size() - t.pendingPos < nCount && !t.finished)
        t.Drive();
    const std::size_t avail = t.pending.size() - t.pendingPos;
    if (!avail && t.Failed())
        t.Throw();
    const std::size_t n = std::min<std::size_t>(avail, nCount);
    if (n)
        std::memcpy(lpBuf, t.pending.data() + t.pendingPos, n);
    t.pendingPos += n;
    return static_cast<UINT>(n);
}

BOOL CHttpFile::QueryInfoStatusCode(DWORD& dwStatusCode) const
{
    if (!m_transfer)
        return FALSE;
    long code = m_transfer->status;
    if (!code)
        curl_easy_getinfo(m_transfer->easy, CURLINFO_RESPONSE_CODE, &code);
    dwStatusCode = static_cast<DWORD>(code);
    return code != 0;
}

std::string CHttpFile::StatusLine() const { return m_transfer ? m_transfer->statusLine : std::string(); }

bool CHttpFile::IsComplete() const
{
    return m_transfer && m_transfer->finished && !m_transfer->cancelled && m_transfer->result == CURLE_OK &&
           m_transfer->pendingPos == m_transfer->pending.size();
}

void CHttpFile::SetCancelCheck(std::function<bool()> check)
{
    if (m_transfer)
        m_transfer->cancel = std::move(check);
}

bool CHttpFile::WasCancelled() const { return m_transfer && m_transfer->cancelled; }

void CHttpFile::Close() { m_transfer.reset(); }

CHttpFile* CHttpConnection::OpenRequest(const char* pstrVerb, const char* pstrObjectName, const char*, std::uintptr_t,
                                        const char**, const char*, DWORD dwFlags)
{
    const bool https = dwFlags & INTERNET_FLAG_SECURE;
    std::string url = https ? "https://" : "http://";
    url += m_server;
    const INTERNET_PORT defaultPort = https ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT;
    if (m_port != INTERNET_INVALID_PORT_NUMBER && m_port != defaultPort)
        url += ":" + std::to_string(m_port);
    const std::string object = pstrObjectName ? pstrObjectName : "";
    if (object.empty() || object[0] != '/')
        url += '/';
    url += object;
    auto t = qlinet::MakeTransfer(url, *m_session);
    if (pstrVerb && std::strcmp(pstrVerb, "GET") != 0)
        curl_easy_setopt(t->easy, CURLOPT_CUSTOMREQUEST, pstrVerb);
    return new CHttpFile(std::move(t));
}

CInternetSession::CInternetSession(const char* pstrAgent, std::uintptr_t, DWORD, const char*, const char*, DWORD)
    : m_agent(pstrAgent ? pstrAgent : "")
{
    qlinet::GlobalInit();
}

CInternetSession::~CInternetSession() = default;

BOOL CInternetSession::SetOption(DWORD dwOption, DWORD dwValue)
{
    if (dwOption != INTERNET_OPTION_CONNECT_TIMEOUT)
        return FALSE;
    m_connectTimeoutMs = dwValue;
    return TRUE;
}

CHttpConnection* CInternetSession::GetHttpConnection(const char* pstrServer, INTERNET_PORT nPort, const char*,
                                                     const char*)
{
    return new CHttpConnection(this, pstrServer ? pstrServer : "", nPort);
}

CHttpFile* CInternetSession::OpenURL(const char* pstrURL, std::uintptr_t, DWORD, const char*, DWORD)
{
    const std::string url = pstrURL ? pstrURL : "";
    if (url.rfind("http://", 0) != 0 && url.rfind("https://", 0) != 0)
        throw CInternetException(CURLE_UNSUPPORTED_PROTOCOL, "The URL does not use a recognized protocol");
    std::unique_ptr<CHttpFile> file(new CHttpFile(qlinet::MakeTransfer(url, *this)));
    file->SendRequest();
    return file.release();
}
