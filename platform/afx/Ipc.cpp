#include "platform/afx/Ipc.h"

#include "platform/afx/IpcWire.h"
#include "platform/afx/WndRecord.h"
#include "platform/win/Folders.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace qlafx {

namespace {

using ipc::Frame;
using ipc::Kind;

std::string folder()
{
    std::string base;
    struct stat st {};
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        runtime && runtime[0] == '/' && ::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode)) {
        base = std::string(runtime) + '/';
    } else {
        char temp[4096];
        const DWORD n = GetTempPath(sizeof temp, temp);
        if (n == 0 || n >= sizeof temp)
            return {};
        base = temp;
    }
    const std::string path = base + "quillo-windows";
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return {};
    return path + '/';
}

std::string handleText(std::uint64_t handle)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%llx", static_cast<unsigned long long>(handle));
    return buf;
}

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool writeReplacing(const std::string& path, const std::string& bytes)
{
    const std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out << bytes;
        if (!out.flush())
            return false;
    }
    return std::rename(tmp.c_str(), path.c_str()) == 0;
}

std::string exeOf(long pid)
{
    char buf[4096];
    const std::string link = "/proc/" + std::to_string(pid) + "/exe";
    const ssize_t n = ::readlink(link.c_str(), buf, sizeof buf);
    return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

// ---- the receiving side (GUI thread) ----

struct Connection {
    std::string buffer;
    bool busy = false;
};

struct Published {
    QLocalServer* server = nullptr;
    std::string socketPath;
    std::string infoPath;
};

std::map<HWND, Published>& ThePublished()
{
    static auto* instance = new std::map<HWND, Published>;
    return *instance;
}

LRESULT Deliver(HWND hwnd, const Frame& f)
{
    if (!TravelsBetweenProcesses(f.message))
        return 0;
    if (f.kind == Kind::Post)
        return PostMessage(hwnd, f.message, static_cast<WPARAM>(f.wParam), static_cast<LPARAM>(f.lParam));
    if (f.message == WM_COPYDATA) {
        COPYDATASTRUCT cds{static_cast<ULONG_PTR>(f.dwData), static_cast<DWORD>(f.data.size()),
                           f.data.empty() ? nullptr : const_cast<char*>(f.data.data())};
        return SendMessage(hwnd, WM_COPYDATA, static_cast<WPARAM>(f.wParam), reinterpret_cast<LPARAM>(&cds));
    }
    return SendMessage(hwnd, f.message, static_cast<WPARAM>(f.wParam), static_cast<LPARAM>(f.lParam));
}

// Handles every whole frame in the connection's buffer. A handler may run a
// nested loop that reads more into the buffer; the outer call handles it.
void Drain(QLocalSocket* socket, const std::shared_ptr<Connection>& conn, HWND hwnd)
{
    if (conn->busy)
        return;
    conn->busy = true;
    for (;;) {
        Frame f;
        size_t used = 0;
        const auto parse = ipc::DecodeFrame(reinterpret_cast<const unsigned char*>(conn->buffer.data()),
                                            conn->buffer.size(), f, used);
        if (parse == ipc::Parse::NeedMore)
            break;
        if (parse == ipc::Parse::Bad || f.kind == Kind::Reply) {
            conn->buffer.clear();
            socket->abort();
            break;
        }
        conn->buffer.erase(0, used);
        Frame reply;
        reply.kind = Kind::Reply;
        reply.message = f.message;
        reply.lParam = static_cast<std::uint64_t>(Deliver(hwnd, f));
        if (socket->state() == QLocalSocket::ConnectedState) {
            const std::string bytes = ipc::EncodeFrame(reply);
            socket->write(bytes.data(), static_cast<qint64>(bytes.size()));
            socket->flush();
        }
    }
    conn->busy = false;
}

void Accept(QLocalServer* server, HWND hwnd)
{
    while (QLocalSocket* socket = server->nextPendingConnection()) {
        auto conn = std::make_shared<Connection>();
        const auto read = [socket, conn, hwnd] {
            const QByteArray bytes = socket->readAll();
            conn->buffer.append(bytes.constData(), static_cast<size_t>(bytes.size()));
            Drain(socket, conn, hwnd);
        };
        QObject::connect(socket, &QLocalSocket::readyRead, socket, read);
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (socket->bytesAvailable() > 0)
            read();
        // A poster may have written and gone before the connection was taken.
        if (socket->state() == QLocalSocket::UnconnectedState)
            socket->deleteLater();
    }
}

// ---- the sending side (any thread) ----

struct Target {
    std::string socketPath;
    std::uint64_t handle = 0;
};

std::mutex g_proxyLock;
std::uintptr_t g_nextProxy = 0;
// Handles given out for other processes' windows; far above any local serial.
std::map<HWND, Target>& TheProxies()
{
    static auto* instance = new std::map<HWND, Target>;
    return *instance;
}

HWND ProxyFor(const Target& target)
{
    std::lock_guard lock(g_proxyLock);
    for (const auto& [h, t] : TheProxies())
        if (t.socketPath == target.socketPath)
            return h;
    g_nextProxy += 16;
    const auto h = reinterpret_cast<HWND>(std::uintptr_t{0x70000000} + g_nextProxy);
    TheProxies()[h] = target;
    return h;
}

// Whether a server still listens there (a record may outlive its process
// when the process id has been given to another one).
bool Listening(const std::string& path)
{
    sockaddr_un addr{};
    if (path.size() >= sizeof addr.sun_path)
        return false;
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

struct Entry {
    long pid = 0;
    std::string socketPath;
    ipc::WindowInfo info;
};

// The windows other live processes published; records of ended processes
// are cleared away on the way.
std::vector<Entry> OtherWindows()
{
    std::vector<Entry> out;
    const std::string dirPath = folder();
    if (dirPath.empty())
        return out;
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(dirPath.c_str())) {
        while (const dirent* e = ::readdir(dir))
            names.emplace_back(e->d_name);
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    const long self = ::getpid();
    for (const std::string& name : names) {
        if (name.size() < 6 || name.compare(name.size() - 5, 5, ".info") != 0)
            continue;
        char* end = nullptr;
        const long pid = std::strtol(name.c_str(), &end, 10);
        if (pid <= 0 || *end != '-' || pid == self)
            continue;
        Entry entry;
        entry.pid = pid;
        entry.socketPath = dirPath + name.substr(0, name.size() - 5);
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            ::unlink((dirPath + name).c_str());
            ::unlink(entry.socketPath.c_str());
            continue;
        }
        const std::string bytes = readAll(dirPath + name);
        if (ipc::DecodeWindowInfo(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), entry.info))
            out.push_back(std::move(entry));
    }
    return out;
}

bool equalNoCase(const std::string& a, const char* b)
{
    const std::string bb = b;
    return a.size() == bb.size() && std::equal(a.begin(), a.end(), bb.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::optional<Target> Resolve(HWND hwnd)
{
    {
        std::lock_guard lock(g_proxyLock);
        const auto it = TheProxies().find(hwnd);
        if (it != TheProxies().end())
            return it->second;
    }
    const auto value = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(hwnd));
    // Window handles of every copy of the layer have this shape; other values
    // (NULL, HWND_TOPMOST...) are no window anywhere.
    if (value < 0x10010 || (value - 0x10000) % 16 != 0 || IsHandleOfThisProcess(hwnd))
        return std::nullopt;
    // A bare handle value of another process: only a copy of this program
    // is trusted with it, since other programs number their windows alike.
    const std::string self = exeOf(::getpid());
    for (const Entry& e : OtherWindows())
        if (e.info.handle == value && !self.empty() && exeOf(e.pid) == self)
            return Target{e.socketPath, value};
    return std::nullopt;
}

// Sends one frame; with wait, returns the reply's result.
std::optional<LRESULT> Exchange(const Target& target, const Frame& frame, bool wait)
{
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(target.socketPath));
    if (!socket.waitForConnected(10000))
        return std::nullopt;
    const std::string bytes = ipc::EncodeFrame(frame);
    socket.write(bytes.data(), static_cast<qint64>(bytes.size()));
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(-1))
            return std::nullopt;
    if (!wait) {
        socket.disconnectFromServer();
        return 1;
    }
    // As SendMessage on Windows: no time limit while the receiver lives.
    std::string buffer;
    for (;;) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(-1))
            return std::nullopt;
        const QByteArray chunk = socket.readAll();
        buffer.append(chunk.constData(), static_cast<size_t>(chunk.size()));
        Frame reply;
        size_t used = 0;
        const auto parse =
            ipc::DecodeFrame(reinterpret_cast<const unsigned char*>(buffer.data()), buffer.size(), reply, used);
        if (parse == ipc::Parse::Bad)
            return std::nullopt;
        if (parse == ipc::Parse::Ok)
            return reply.kind == Kind::Reply ? std::optional<LRESULT>(static_cast<LRESULT>(reply.lParam))
                                             : std::nullopt;
    }
}

Frame MakeFrame(Kind kind, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Frame f;
    f.kind = kind;
    f.message = msg;
    f.wParam = wParam;
    f.lParam = static_cast<std::uint64_t>(lParam);
    return f;
}

} // namespace

void PublishWindow(HWND hwnd)
{
    auto rec = Record(hwnd);
    if (!rec || !rec->alive || rec->destroying || (rec->style & WS_CHILD) || rec->text.empty()) {
        WithdrawWindow(hwnd);
        return;
    }
    auto& all = ThePublished();
    static bool watchingQuit = false;
    if (!watchingQuit && QCoreApplication::instance()) {
        watchingQuit = true;
        // Programs often end with their windows still up: their records go too.
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, [] {
            while (!ThePublished().empty())
                WithdrawWindow(ThePublished().begin()->first);
        });
    }
    auto it = all.find(hwnd);
    if (it == all.end()) {
        const std::string dir = folder();
        if (dir.empty())
            return;
        const auto value = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(hwnd));
        Published p;
        p.socketPath = dir + std::to_string(::getpid()) + '-' + handleText(value);
        p.infoPath = p.socketPath + ".info";
        p.server = new QLocalServer;
        p.server->setSocketOptions(QLocalServer::UserAccessOption);
        QLocalServer::removeServer(QString::fromStdString(p.socketPath));
        if (!p.server->listen(QString::fromStdString(p.socketPath))) {
            delete p.server;
            return;
        }
        QLocalServer* server = p.server;
        QObject::connect(server, &QLocalServer::newConnection, server, [server, hwnd] { Accept(server, hwnd); });
        it = all.emplace(hwnd, p).first;
    }
    const ipc::WindowInfo info{static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(hwnd)), rec->className,
                               rec->text};
    writeReplacing(it->second.infoPath, ipc::EncodeWindowInfo(info));
}

void WithdrawWindow(HWND hwnd)
{
    auto& all = ThePublished();
    const auto it = all.find(hwnd);
    if (it == all.end())
        return;
    ::unlink(it->second.infoPath.c_str());
    // Later: this may run inside one of the server's own connections.
    it->second.server->close();
    it->second.server->deleteLater();
    ::unlink(it->second.socketPath.c_str());
    all.erase(it);
}

HWND FindWindowOfOtherProcess(LPCSTR className, LPCSTR windowName)
{
    for (const Entry& e : OtherWindows()) {
        if (className && !equalNoCase(e.info.className, className))
            continue;
        if (windowName && e.info.title != windowName)
            continue;
        if (!Listening(e.socketPath)) {
            // Left by a process that ended without closing its windows.
            ::unlink((e.socketPath + ".info").c_str());
            ::unlink(e.socketPath.c_str());
            continue;
        }
        return ProxyFor(Target{e.socketPath, e.info.handle});
    }
    return nullptr;
}

bool TravelsBetweenProcesses(UINT msg)
{
    return msg == WM_NULL || msg == WM_CLOSE || msg == WM_COPYDATA || msg >= WM_USER;
}

bool IsWindowOfOtherProcess(HWND hwnd)
{
    const auto target = Resolve(hwnd);
    return target && Listening(target->socketPath);
}

LRESULT SendToOtherProcess(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool* delivered)
{
    if (delivered)
        *delivered = false;
    if (!TravelsBetweenProcesses(msg))
        return 0;
    const auto target = Resolve(hwnd);
    if (!target)
        return 0;
    Frame f = MakeFrame(Kind::Send, msg, wParam, lParam);
    if (msg == WM_COPYDATA) {
        // The block travels; the pointer stays behind.
        const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        f.lParam = 0;
        if (cds) {
            f.dwData = cds->dwData;
            if (cds->cbData && cds->lpData)
                f.data.assign(static_cast<const char*>(cds->lpData), cds->cbData);
        }
    }
    const auto result = Exchange(*target, f, true);
    if (delivered)
        *delivered = result.has_value();
    return result.value_or(0);
}

BOOL PostToOtherProcess(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    // A posted WM_COPYDATA would outlive its block; Windows refuses it too.
    if (msg == WM_COPYDATA || !TravelsBetweenProcesses(msg))
        return FALSE;
    const auto target = Resolve(hwnd);
    if (!target)
        return FALSE;
    return Exchange(*target, MakeFrame(Kind::Post, msg, wParam, lParam), false) ? TRUE : FALSE;
}

} // namespace qlafx
