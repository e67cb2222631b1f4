#pragma once
// A TCP proxy on loopback for tests and the benchmark: it forwards to a
// server, can delay each direction (a slow link), counts round trips (a
// request that follows an answer), and can swallow everything for a while (a
// link that drops every packet).
#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

// A connection to that port on loopback (without Nagle's delay); -1 when nothing listens.
int ConnectLoopback(int port);

class TTcpProxy {
public:
  // listenPort 0: a free port; another: that one again (a proxy restarted).
  TTcpProxy(int targetPort, int delayMs = 0, int listenPort = 0);
  ~TTcpProxy();
  int Port() const { return FPort; }
  // Round trips since the start or the last reset: connections opened plus
  // requests that follow an answer (or open a connection).
  int RoundTrips() const { return FRoundTrips.load(); }
  void ResetRoundTrips() { FRoundTrips = 0; }
  // While swallowing, nothing is read, forwarded or accepted; the sockets stay open.
  void SetSwallow(bool on) { FSwallow = on; }
  // After this many requests of a connection (0: never), its further requests
  // are dropped: a link that answers the login and then nothing, as an
  // exhausted pooler or a hung server does.
  void SetStallAfter(int requests) { FStallAfter = requests; }
  // Requests (a client's message after an answer) since the start.
  int Requests() const { return FRequests.load(); }
  // The request with this number and all after it are held, not forwarded,
  // until Release(): a link that stops while a statement is on its way and
  // delivers it late, even after the client gave up.
  void HoldFrom(int request) {
    FReleased = false;
    FHoldFrom = request;
  }
  void Release() { FReleased = true; }
  // Closes every connection at once, as a server restart does.
  void DropAll();

private:
  void Loop();
  int FListen = -1;
  int FPort = 0;
  int FTargetPort;
  int FDelayMs;
  std::atomic<int> FRoundTrips{0};
  std::atomic<bool> FSwallow{false};
  std::atomic<bool> FDropAll{false};
  std::atomic<int> FStallAfter{0};
  std::atomic<int> FRequests{0};
  std::atomic<int> FHoldFrom{0};
  std::atomic<bool> FReleased{false};
  std::atomic<bool> FStop{false};
  int FWake[2] = {-1, -1};
  std::thread FThread;
};
