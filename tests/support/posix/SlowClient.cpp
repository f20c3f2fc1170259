#include "SlowClient.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zonbode::testing {

SlowClient::SlowClient(int port, bool drip, std::chrono::milliseconds pause,
                       std::function<void()> ended)
    : ended_(std::move(ended)),
      fd_(socket(AF_INET, SOCK_STREAM, 0)),
      thread_(&SlowClient::Run, this, port, drip, pause) {}

SlowClient::~SlowClient() {
    stop_ = true;
    // Wakes the thread's wait at once: a hundred clients end together, not a pause each.
    shutdown(fd_, SHUT_RDWR);
    thread_.join();
    close(fd_);
}

void SlowClient::Run(int port, bool drip, std::chrono::milliseconds pause) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    const std::string request = "GET /waarschuwingen_en_verwachtingen/index.html HTTP/1.1\r\n";
    std::size_t next = 0;
    while (connected_ && !stop_ && !closed_) {
        if (drip && send(fd_, &request[next++ % request.size()], 1, MSG_NOSIGNAL) != 1) {
            closed_ = true;
            break;
        }
        pollfd readable{fd_, POLLIN, 0};
        if (poll(&readable, 1, static_cast<int>(pause.count())) > 0) {
            char byte;
            closed_ = recv(fd_, &byte, 1, 0) <= 0;
        }
    }
    if (ended_) {
        ended_();
    }
}

}  // namespace zonbode::testing
