// The internet session of the update notifier, on libcurl: a session, an HTTP
// connection, requests and opened addresses, read in pieces.
//
// A read never blocks without bound: connecting gives up after the session's
// connect time-out (5 s unless set), a transfer that brings no byte for 30 s
// fails, and a cancel check set on the file stops it within 100 ms.
// Proxies come from the environment (http_proxy, https_proxy, no_proxy); at
// most 5 redirects are followed, never from https to http; https checks the
// server's certificate.
#pragma once

#include "platform/win/WinTypes.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

using INTERNET_PORT = WORD;

inline constexpr DWORD INTERNET_OPEN_TYPE_PRECONFIG = 0;
inline constexpr INTERNET_PORT INTERNET_INVALID_PORT_NUMBER = 0;
inline constexpr INTERNET_PORT INTERNET_DEFAULT_HTTP_PORT = 80;
inline constexpr INTERNET_PORT INTERNET_DEFAULT_HTTPS_PORT = 443;
inline constexpr DWORD INTERNET_OPTION_CONNECT_TIMEOUT = 2;
inline constexpr DWORD INTERNET_FLAG_TRANSFER_BINARY = 0x00000002;
inline constexpr DWORD INTERNET_FLAG_EXISTING_CONNECT = 0x20000000;
inline constexpr DWORD INTERNET_FLAG_SECURE = 0x00800000;
inline constexpr DWORD INTERNET_FLAG_RELOAD = 0x80000000;
inline constexpr DWORD HTTP_STATUS_OK = 200;

// What the session reports when connecting, sending or reading fails.
// Thrown by value.
class CInternetException {
public:
    CInternetException(DWORD error, std::string message) : m_dwError(error), m_message(std::move(message)) {}
    // Copies the failure's text, cut to fit and NUL-terminated.
    BOOL GetErrorMessage(char* lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const;
    const std::string& Message() const { return m_message; }

    DWORD m_dwError;

private:
    std::string m_message;
};

namespace qlinet {
struct Transfer;
}

// One transfer: a request to send, or an opened address. Reads the body.
class CHttpFile {
public:
    ~CHttpFile();
    CHttpFile(const CHttpFile&) = delete;
    CHttpFile& operator=(const CHttpFile&) = delete;

    // Sends the request and waits for the answer's head (the status).
    // Throws CInternetException when the server can't be reached.
    BOOL SendRequest();
    // Up to nCount bytes of the body: returns when that many are there, at
    // the end of the body (0 then), or when the cancel check says stop
    // (what arrived so far, then 0). Throws on a failure of the transfer.
    UINT Read(void* lpBuf, UINT nCount);
    // The final answer's status code (after redirects); FALSE before one.
    BOOL QueryInfoStatusCode(DWORD& dwStatusCode) const;
    // The status line as the server sent it ("HTTP/1.1 404 Not Found").
    std::string StatusLine() const;
    // True once the body ended as the server announced it (not cut, not cancelled).
    bool IsComplete() const;
    // Asked every few milliseconds while waiting; true stops the transfer.
    void SetCancelCheck(std::function<bool()> check);
    bool WasCancelled() const;
    void Close();

private:
    friend class CInternetSession;
    friend class CHttpConnection;
    explicit CHttpFile(std::unique_ptr<qlinet::Transfer> transfer);
    std::unique_ptr<qlinet::Transfer> m_transfer;
};

class CHttpConnection {
public:
    // flags INTERNET_FLAG_SECURE asks for https; the object path is taken
    // as it stands (a leading '/' is added when missing).
    CHttpFile* OpenRequest(const char* pstrVerb, const char* pstrObjectName, const char* pstrReferer = nullptr,
                           std::uintptr_t dwContext = 1, const char** ppstrAcceptTypes = nullptr,
                           const char* pstrVersion = nullptr, DWORD dwFlags = INTERNET_FLAG_EXISTING_CONNECT);
    void Close() {}

private:
    friend class CInternetSession;
    CHttpConnection(const class CInternetSession* session, std::string server, INTERNET_PORT port)
        : m_session(session), m_server(std::move(server)), m_port(port)
    {
    }
    const CInternetSession* m_session;
    std::string m_server;
    INTERNET_PORT m_port;
};

class CInternetSession {
public:
    explicit CInternetSession(const char* pstrAgent = nullptr, std::uintptr_t dwContext = 1,
                              DWORD dwAccessType = INTERNET_OPEN_TYPE_PRECONFIG, const char* pstrProxyName = nullptr,
                              const char* pstrProxyBypass = nullptr, DWORD dwFlags = 0);
    ~CInternetSession();
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;

    // INTERNET_OPTION_CONNECT_TIMEOUT in milliseconds.
    BOOL SetOption(DWORD dwOption, DWORD dwValue);
    // The caller owns the connection (delete it).
    CHttpConnection* GetHttpConnection(const char* pstrServer, INTERNET_PORT nPort = INTERNET_INVALID_PORT_NUMBER,
                                       const char* pstrUserName = nullptr, const char* pstrPassword = nullptr);
    // Opens an http or https address: the request is sent and its head read.
    // The caller owns the file (delete it). Throws CInternetException.
    CHttpFile* OpenURL(const char* pstrURL, std::uintptr_t dwContext = 1, DWORD dwFlags = INTERNET_FLAG_TRANSFER_BINARY,
                       const char* pstrHeaders = nullptr, DWORD dwHeadersLength = 0);
    void Close() {}

    // Handed to every transfer the session opens from now on.
    void SetCancelCheck(std::function<bool()> check) { m_cancel = std::move(check); }
    const std::function<bool()>& CancelCheck() const { return m_cancel; }
    const std::string& Agent() const { return m_agent; }
    DWORD ConnectTimeoutMs() const { return m_connectTimeoutMs; }

private:
    std::string m_agent;
    DWORD m_connectTimeoutMs = 5000;
    std::function<bool()> m_cancel;
};

namespace qlinet {

// The SHA-256 of a file as 64 lower-case hex digits; "" when it can't be read.
std::string Sha256OfFile(const std::string& path);
std::string Sha256Hex(const void* data, std::size_t size);

// Percent-encoding of a query value: letters, digits and "-._~" stay.
std::string PercentEncode(const std::string& value);

}  // namespace qlinet
