#include "tcpproxy.h"

#include <arpa/inet.h>
#include <chrono>
#include <deque>
#include <fcntl.h>
#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>
#include <cstdio>
#include <cstdlib>

namespace {
using Clock = std::chrono::steady_clock;

struct Chunk {
  Clock::time_point due;
  std::string bytes;
};

struct Pair {
  int client = -1;
  int server = -1;
  std::deque<Chunk> toServer, toClient;
  bool lastWasAnswer = true; // the first request opens a round trip
  int requests = 0;
  bool holding = false;            // the request being read is held
  std::deque<std::string> held;    // held requests, forwarded on release
  bool closed = false;
};

void CloseFd(int &fd) {
  if (fd >= 0)
    ::close(fd);
  fd = -1;
}


// Sends what is due; false when the socket is gone.
bool Flush(int fd, std::deque<Chunk> &queue, Clock::time_point now) {
  while (!queue.empty() && queue.front().due <= now) {
    const std::string &b = queue.front().bytes;
    size_t sent = 0;
    while (sent < b.size()) {
      const ssize_t n = ::send(fd, b.data() + sent, b.size() - sent, MSG_NOSIGNAL);
      if (n <= 0)
        return false;
      sent += size_t(n);
    }
    queue.pop_front();
  }
  return true;
}
} // namespace

int ConnectLoopback(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(uint16_t(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0) {
    ::close(fd);
    return -1;
  }
  int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  return fd;
}


TTcpProxy::TTcpProxy(int targetPort, int delayMs, int listenPort) : FTargetPort(targetPort), FDelayMs(delayMs) {
  FListen = ::socket(AF_INET, SOCK_STREAM, 0);
  int one = 1;
  ::setsockopt(FListen, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(uint16_t(listenPort));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(FListen, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 || ::listen(FListen, 64) != 0)
    throw std::runtime_error("proxy: listen failed");
  socklen_t len = sizeof a;
  ::getsockname(FListen, reinterpret_cast<sockaddr *>(&a), &len);
  FPort = ntohs(a.sin_port);
  if (::pipe(FWake) != 0)
    throw std::runtime_error("proxy: pipe failed");
  FThread = std::thread([this] { Loop(); });
}

TTcpProxy::~TTcpProxy() {
  FStop = true;
  const char c = 0;
  (void)!::write(FWake[1], &c, 1);
  FThread.join();
  CloseFd(FListen);
  CloseFd(FWake[0]);
  CloseFd(FWake[1]);
}

// At once, not at the loop's next turn (up to a second later).
void TTcpProxy::DropAll() {
  FDropAll = true;
  const char c = 0;
  (void)!::write(FWake[1], &c, 1);
}

void TTcpProxy::Loop() {
  std::vector<std::unique_ptr<Pair>> pairs;
  const auto delay = std::chrono::milliseconds(FDelayMs);
  char buffer[65536];
  while (!FStop) {
    if (FDropAll.exchange(false)) {
      for (auto &p : pairs) {
        CloseFd(p->client);
        CloseFd(p->server);
      }
      pairs.clear();
    }
    const bool swallow = FSwallow;
    std::vector<pollfd> fds;
    fds.push_back({FWake[0], POLLIN, 0});
    if (!swallow)
      fds.push_back({FListen, POLLIN, 0});
    auto now = Clock::now();
    int timeout = swallow ? 50 : 1000;
    for (auto &p : pairs) {
      if (swallow)
        continue;
      fds.push_back({p->closed ? -1 : p->client, POLLIN, 0});
      fds.push_back({p->server, POLLIN, 0});
      for (auto *q : {&p->toServer, &p->toClient})
        if (!q->empty())
          timeout = std::min<int>(timeout, std::max<int>(0, int(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                                      q->front().due - now)
                                                                      .count()) + 1));
    }
    ::poll(fds.data(), fds.size(), timeout);
    now = Clock::now();
    if (fds[0].revents & POLLIN) {
      char c;
      (void)!::read(FWake[0], &c, 1);
    }
    if (swallow)
      continue;
    if (fds[1].revents & POLLIN) {
      const int client = ::accept(FListen, nullptr, nullptr);
      if (client >= 0) {
        int one = 1;
        ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        auto p = std::make_unique<Pair>();
        p->client = client;
        p->server = ConnectLoopback(FTargetPort);
        if (p->server < 0)
          CloseFd(p->client);
        else {
          ++FRoundTrips; // the TCP handshake
          pairs.push_back(std::move(p));
        }
      }
    }
    if (FReleased)
      for (auto &p : pairs)
        for (; !p->held.empty(); p->held.pop_front())
          p->toServer.push_back({now, p->held.front()});
    size_t i = 2;
    for (auto &p : pairs) {
      const short clientEvents = i < fds.size() ? fds[i].revents : 0;
      const short serverEvents = i + 1 < fds.size() ? fds[i + 1].revents : 0;
      i += 2;
      if (clientEvents & (POLLIN | POLLHUP | POLLERR)) {
        const ssize_t n = ::recv(p->client, buffer, sizeof buffer, 0);
        if (n <= 0)
          p->closed = true;
        else if (p->lastWasAnswer && FStallAfter > 0 && ++p->requests > FStallAfter) {
          // dropped; the connection stays open
        } else if ((p->lastWasAnswer ? (p->holding = ++FRequests >= FHoldFrom && FHoldFrom > 0) : p->holding) &&
                   !FReleased) {
          p->lastWasAnswer = false;
          p->held.emplace_back(buffer, size_t(n));
        } else {
          if (p->lastWasAnswer) {
            ++FRoundTrips;
            if (getenv("PROXY_DEBUG"))
              fprintf(stderr, "RT %d: %c %.*s\n", FRoundTrips.load(), buffer[0], int(std::min<ssize_t>(n - 5, 110)), n > 5 ? buffer + 5 : buffer);
          }
          p->lastWasAnswer = false;
          p->toServer.push_back({now + delay, std::string(buffer, size_t(n))});
        }
      }
      if (serverEvents & (POLLIN | POLLHUP | POLLERR)) {
        const ssize_t n = ::recv(p->server, buffer, sizeof buffer, 0);
        if (n <= 0)
          p->closed = true;
        else {
          p->lastWasAnswer = true;
          p->toClient.push_back({now + delay, std::string(buffer, size_t(n))});
        }
      }
      if (!Flush(p->server, p->toServer, now) || !Flush(p->client, p->toClient, now))
        p->closed = true;
    }
    for (auto it = pairs.begin(); it != pairs.end();) {
      Pair &p = **it;
      if (p.closed && !p.held.empty()) {
        ++it; // what the client sent before it went reaches the server on release
      } else if (p.closed && p.toClient.empty()) {
        Flush(p.server, p.toServer, Clock::now() + delay);
        CloseFd(p.client);
        CloseFd(p.server);
        it = pairs.erase(it);
      } else if (p.closed) {
        Flush(p.client, p.toClient, Clock::now() + delay);
        p.toClient.clear();
        ++it;
      } else {
        ++it;
      }
    }
  }
  for (auto &p : pairs) {
    CloseFd(p->client);
    CloseFd(p->server);
  }
}
