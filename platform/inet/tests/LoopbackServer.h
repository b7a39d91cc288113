// A small HTTP server on 127.0.0.1 (a port the system picks) for the tests:
// each connection's request head is recorded and handed to a script that
// writes the answer as it likes (status, headers, chunks, a slow drip, a
// dropped connection). Connections are served one after another and closed
// when the script returns.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace inettest {

class LoopbackServer;

class Connection {
public:
    // False once the client has gone.
    bool Send(const std::string& bytes);
    // A whole answer with Content-Length and "Connection: close".
    bool Answer(int status, const std::string& reason, const std::string& body,
                const std::string& extraHeaders = "");
    // Waits until the server's Release() or its end; false at the end.
    bool WaitRelease();
    void Sleep(int ms);
    bool Stopping() const;

private:
    friend class LoopbackServer;
    Connection(LoopbackServer* server, int fd) : m_server(server), m_fd(fd) {}
    LoopbackServer* m_server;
    int m_fd;
};

class LoopbackServer {
public:
    using Script = std::function<void(const std::string& requestLine, Connection& c)>;
    explicit LoopbackServer(Script script);
    ~LoopbackServer();

    int Port() const { return m_port; }
    std::string Base() const { return "127.0.0.1:" + std::to_string(m_port); }
    std::string Url(const std::string& path) const { return "http://" + Base() + path; }
    std::vector<std::string> RequestLines();
    std::vector<std::string> Requests();  // whole heads
    void Release();

private:
    friend class Connection;
    void Serve();

    Script m_script;
    int m_listen = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::mutex m_lock;
    std::condition_variable m_released;
    bool m_release = false;
    std::vector<std::string> m_lines;
    std::vector<std::string> m_heads;
    std::thread m_thread;
};

// A port nothing listens on (bound, then closed).
int ClosedPort();

} // namespace inettest
