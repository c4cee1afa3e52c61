// A TCP proxy on loopback that holds every chunk it reads for a fixed time before passing it on, in
// each direction: a server reached through a VPN, for bench/run-vpn.
//   tlm_delay_proxy TARGET_PORT DELAY_MS [LISTEN_PORT]
// Listens on 127.0.0.1 (LISTEN_PORT, or a free one), prints the port it listens on as one line, and
// forwards each connection to 127.0.0.1:TARGET_PORT until it is killed. On each connection's end it
// writes one line to stderr with the bytes each way and the turns (the times the client spoke again
// after the server had answered: the round trips the program waited for).
// The kernel completes the TCP handshake before the proxy sees a connection, so that one round trip of
// a connect is not delayed; everything after it is.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <list>
#include <string>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

constexpr size_t kChunk = 64 * 1024;
// A direction stops reading while this much waits in it, so a fast sender cannot fill the memory.
constexpr size_t kMaxQueued = 8 * 1024 * 1024;

struct Chunk
{
    Clock::time_point due;
    std::string bytes; // empty: the sender's end of stream
};

struct Direction
{
    int from = -1, to = -1;
    std::deque<Chunk> queue;
    size_t queued = 0;
    size_t offset = 0; // of the front chunk, already written
    bool readDone = false;
    bool writeDone = false;
    bool blocked = false; // the receiver took no more; wait for POLLOUT
    long long bytes = 0;
};

struct Link
{
    int id;
    Direction up, down; // client to server, server to client
    long long turns = 0;
    bool lastUp = false;
    bool failed = false;
};

[[noreturn]] void die(const char* what)
{
    std::fprintf(stderr, "tlm_delay_proxy: %s: %s\n", what, std::strerror(errno));
    std::exit(1);
}

void nonBlocking(int fd)
{
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

void noDelay(int fd)
{
    // Without it the kernel would hold small writes back on top of our delay.
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

sockaddr_in loopback(int port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

// Reads what is there; false when the link has failed.
bool readInto(Direction& d, Clock::duration delay)
{
    char buffer[kChunk];
    for (;;) {
        const ssize_t n = recv(d.from, buffer, sizeof buffer, 0);
        if (n > 0) {
            d.queue.push_back({Clock::now() + delay, std::string(buffer, size_t(n))});
            d.queued += size_t(n);
            d.bytes += n;
            if (d.queued >= kMaxQueued)
                return true;
            continue;
        }
        if (n == 0) {
            d.queue.push_back({Clock::now() + delay, {}});
            d.readDone = true;
            return true;
        }
        if (errno == EINTR)
            continue;
        return errno == EAGAIN || errno == EWOULDBLOCK;
    }
}

// Writes every chunk whose time has come, in order; false when the link has failed.
bool flush(Direction& d, Clock::time_point now)
{
    d.blocked = false;
    while (!d.queue.empty() && d.queue.front().due <= now) {
        Chunk& c = d.queue.front();
        if (c.bytes.empty()) {
            shutdown(d.to, SHUT_WR);
            d.writeDone = true;
            d.queue.pop_front();
            continue;
        }
        const ssize_t n = send(d.to, c.bytes.data() + d.offset, c.bytes.size() - d.offset, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                d.blocked = true;
                return true;
            }
            return false;
        }
        d.offset += size_t(n);
        if (d.offset == c.bytes.size()) {
            d.queued -= c.bytes.size();
            d.offset = 0;
            d.queue.pop_front();
        }
    }
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: %s TARGET_PORT DELAY_MS [LISTEN_PORT]\n", argv[0]);
        return 2;
    }
    const int target = std::atoi(argv[1]);
    const auto delay = std::chrono::milliseconds(std::atoi(argv[2]));
    const int listenPort = argc == 4 ? std::atoi(argv[3]) : 0;
    if (target <= 0 || target > 65535 || delay.count() < 0 || listenPort < 0 || listenPort > 65535) {
        std::fprintf(stderr, "tlm_delay_proxy: bad port or delay\n");
        return 2;
    }
    std::signal(SIGPIPE, SIG_IGN);

    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    if (listener < 0)
        die("socket");
    const int one = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address = loopback(listenPort);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) < 0)
        die("bind");
    if (listen(listener, 128) < 0)
        die("listen");
    socklen_t length = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    nonBlocking(listener);
    std::printf("%d\n", ntohs(address.sin_port));
    std::fflush(stdout);

    std::list<Link> links;
    int nextId = 1;
    std::vector<pollfd> fds;
    std::vector<Link*> owners; // the link of fds[i], two entries each from fds[1]
    for (;;) {
        // What to wait for: reads where there is room, writes where the receiver was full, and the
        // earliest chunk that comes due.
        const Clock::time_point now = Clock::now();
        Clock::duration wait = std::chrono::hours(1);
        fds.assign(1, pollfd{listener, POLLIN, 0});
        owners.assign(1, nullptr);
        for (Link& l : links) {
            short client = 0, server = 0;
            for (Direction* d : {&l.up, &l.down}) {
                short& reader = d == &l.up ? client : server;
                short& writer = d == &l.up ? server : client;
                if (!d->readDone && d->queued < kMaxQueued)
                    reader |= POLLIN;
                if (d->blocked)
                    writer |= POLLOUT;
                else if (!d->queue.empty())
                    wait = std::min(wait, std::max(Clock::duration::zero(), d->queue.front().due - now));
            }
            // A socket with nothing to wait for stays out: its hang-up would wake the poll at once.
            fds.push_back({client ? l.up.from : -1, client, 0});
            fds.push_back({server ? l.up.to : -1, server, 0});
            owners.push_back(&l);
            owners.push_back(&l);
        }
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
        const timespec timeout{time_t(ns / 1000000000), long(ns % 1000000000)};
        if (ppoll(fds.data(), fds.size(), &timeout, nullptr) < 0) {
            if (errno == EINTR)
                continue;
            die("poll");
        }

        if (fds[0].revents & POLLIN) {
            for (;;) {
                const int client = accept(listener, nullptr, nullptr);
                if (client < 0)
                    break;
                const int server = socket(AF_INET, SOCK_STREAM, 0);
                const sockaddr_in to = loopback(target);
                if (server < 0 || connect(server, reinterpret_cast<const sockaddr*>(&to), sizeof to) < 0) {
                    std::fprintf(stderr, "tlm_delay_proxy: cannot reach port %d: %s\n", target,
                                 std::strerror(errno));
                    if (server >= 0)
                        close(server);
                    close(client);
                    continue;
                }
                for (int fd : {client, server}) {
                    nonBlocking(fd);
                    noDelay(fd);
                }
                Link& l = links.emplace_back();
                l.id = nextId++;
                l.up.from = l.down.to = client;
                l.up.to = l.down.from = server;
            }
        }
        for (size_t i = 1; i < fds.size(); i += 2) {
            Link& l = *owners[i];
            const bool clientIn = fds[i].revents & (POLLIN | POLLHUP | POLLERR);
            const bool serverIn = fds[i + 1].revents & (POLLIN | POLLHUP | POLLERR);
            const long long upBefore = l.up.bytes, downBefore = l.down.bytes;
            if (serverIn && !l.down.readDone)
                l.failed |= !readInto(l.down, delay);
            if (clientIn && !l.up.readDone)
                l.failed |= !readInto(l.up, delay);
            if (l.down.bytes > downBefore)
                l.lastUp = false;
            if (l.up.bytes > upBefore && !l.lastUp) {
                ++l.turns;
                l.lastUp = true;
            }
        }
        const Clock::time_point later = Clock::now();
        for (auto it = links.begin(); it != links.end();) {
            Link& l = *it;
            l.failed = l.failed || !flush(l.up, later) || !flush(l.down, later);
            if (l.failed || (l.up.writeDone && l.down.writeDone)) {
                std::fprintf(stderr, "connection %d: %lld bytes up, %lld down, %lld turns%s\n", l.id,
                             l.up.bytes, l.down.bytes, l.turns, l.failed ? " (ended by an error)" : "");
                close(l.up.from);
                close(l.up.to);
                it = links.erase(it);
            } else {
                ++it;
            }
        }
    }
}
