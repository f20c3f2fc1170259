#include "LoopbackExchange.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <thread>

namespace zonbode::testing {

std::string Exchange(int port, const std::string& request) {
    return ExchangeInPieces(port, {request});
}

std::string ExchangeInPieces(int port, const std::vector<std::string>& pieces) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) {
        return {};
    }
    // Generous: with a listen queue of 5, a burst of clients overflows it and the kernel drops
    // handshakes, which TCP then retries with growing back-off.
    timeval timeout{90, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string response;
    bool sent = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    for (std::size_t i = 0; sent && i < pieces.size(); ++i) {
        if (i > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        sent = send(fd, pieces[i].data(), pieces[i].size(), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(pieces[i].size());
    }
    if (sent) {
        char buffer[8192];
        ssize_t n;
        while ((n = recv(fd, buffer, sizeof buffer, 0)) > 0) {
            response.append(buffer, static_cast<std::size_t>(n));
        }
    }
    close(fd);
    return response;
}

std::string HttpGet(int port, const std::string& path) {
    return Exchange(port, "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
}

}  // namespace zonbode::testing
