#pragma once
// A TCP listener on 127.0.0.1 that counts the connections made to it: each one is accepted
// and closed at once, so a client that connects fails fast instead of waiting for an answer.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

namespace vyr::test {

class TLoopbackListener {
 public:
  TLoopbackListener() {
    socket_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (socket_ < 0 || ::bind(socket_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(socket_, 16) != 0 ||
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      return;
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~TLoopbackListener() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (socket_ >= 0) ::close(socket_);
  }
  TLoopbackListener(const TLoopbackListener&) = delete;
  TLoopbackListener& operator=(const TLoopbackListener&) = delete;

  bool Listening() const { return port_ != 0; }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/" + path;
  }
  // Connections so far, counting any still waiting to be accepted.
  int Connections() {
    Accept(0);
    return connections_;
  }

 private:
  void Serve() {
    while (!stop_) Accept(50);
  }
  void Accept(int waitMs) {
    pollfd ready{socket_, POLLIN, 0};
    while (::poll(&ready, 1, waitMs) > 0) {
      const int client = ::accept4(socket_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) break;
      ++connections_;
      ::close(client);
      waitMs = 0;
    }
  }

  int socket_ = -1;
  int port_ = 0;
  std::atomic<int> connections_{0};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace vyr::test
