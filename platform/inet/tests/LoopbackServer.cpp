#include "LoopbackServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace inettest {

bool Connection::Send(const std::string& bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(m_fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

bool Connection::Answer(int status, const std::string& reason, const std::string& body,
                        const std::string& extraHeaders)
{
    return Send("HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\nContent-Length: " +
                std::to_string(body.size()) + "\r\nConnection: close\r\n" + extraHeaders + "\r\n" + body);
}

bool Connection::WaitRelease()
{
    std::unique_lock lock(m_server->m_lock);
    m_server->m_released.wait(lock, [&] { return m_server->m_release || m_server->m_stop; });
    return !m_server->m_stop;
}

void Connection::Sleep(int ms)
{
    std::unique_lock lock(m_server->m_lock);
    m_server->m_released.wait_for(lock, std::chrono::milliseconds(ms), [&] { return m_server->m_stop.load(); });
}

bool Connection::Stopping() const { return m_server->m_stop; }

LoopbackServer::LoopbackServer(Script script) : m_script(std::move(script))
{
    m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    ::bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(m_listen, 8);
    socklen_t len = sizeof addr;
    ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len);
    m_port = ntohs(addr.sin_port);
    m_thread = std::thread([this] { Serve(); });
}

LoopbackServer::~LoopbackServer()
{
    {
        std::lock_guard lock(m_lock);
        m_stop = true;
    }
    m_released.notify_all();
    m_thread.join();
    ::close(m_listen);
}

void LoopbackServer::Release()
{
    {
        std::lock_guard lock(m_lock);
        m_release = true;
    }
    m_released.notify_all();
}

std::vector<std::string> LoopbackServer::RequestLines()
{
    std::lock_guard lock(m_lock);
    return m_lines;
}

std::vector<std::string> LoopbackServer::Requests()
{
    std::lock_guard lock(m_lock);
    return m_heads;
}

void LoopbackServer::Serve()
{
    while (!m_stop) {
        pollfd p{m_listen, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        const int fd = ::accept(m_listen, nullptr, nullptr);
        if (fd < 0)
            continue;
        std::string head;
        char buf[4096];
        while (head.find("\r\n\r\n") == std::string::npos && !m_stop) {
            pollfd q{fd, POLLIN, 0};
            if (::poll(&q, 1, 20) <= 0)
                continue;
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n <= 0)
                break;
            head.append(buf, static_cast<std::size_t>(n));
        }
        const std::string line = head.substr(0, head.find("\r\n"));
        {
            std::lock_guard lock(m_lock);
            m_lines.push_back(line);
            m_heads.push_back(head);
        }
        Connection c(this, fd);
        if (!line.empty())
            m_script(line, c);
        ::shutdown(fd, SHUT_RDWR);
        ::close(fd);
    }
}

int ClosedPort()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(s);
    return ntohs(addr.sin_port);
}

} // namespace inettest
