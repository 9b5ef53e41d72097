#include "support/http_server.h"

#include <ws2tcpip.h>

namespace kktest {
namespace {

struct WinsockInit {
    WinsockInit() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
};

void EnsureWinsock() { static WinsockInit init; }

SOCKET BindLoopback(int& port) {
    EnsureWinsock();
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (s == INVALID_SOCKET || bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        if (s != INVALID_SOCKET) closesocket(s);
        return INVALID_SOCKET;
    }
    int len = sizeof addr;
    getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
    port = ntohs(addr.sin_port);
    return s;
}

}  // namespace

HttpServer::HttpServer() = default;

HttpServer::~HttpServer() {
    stop_ = true;
    if (listener_ != INVALID_SOCKET) closesocket(listener_);
    if (thread_.joinable()) thread_.join();
}

bool HttpServer::Start() {
    listener_ = BindLoopback(port_);
    if (listener_ == INVALID_SOCKET || listen(listener_, 8) != 0) return false;
    thread_ = std::thread([this] { Serve(); });
    return true;
}

std::string HttpServer::BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

void HttpServer::Reply(int status, const std::string& body) {
    std::lock_guard<std::mutex> lock(mutex_);
    status_ = status;
    body_ = body;
    silentMs_ = 0;
}

void HttpServer::StaySilent(DWORD forMs) {
    std::lock_guard<std::mutex> lock(mutex_);
    silentMs_ = forMs;
}

std::vector<std::string> HttpServer::RequestedPaths() {
    std::lock_guard<std::mutex> lock(mutex_);
    return paths_;
}

void HttpServer::Serve() {
    while (!stop_) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(listener_, &readable);
        timeval tick{0, 100000};
        if (select(0, &readable, nullptr, nullptr, &tick) <= 0) continue;
        SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) continue;
        std::string request;
        char buffer[1024];
        while (request.find("\r\n\r\n") == std::string::npos) {
            int n = recv(client, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            request.append(buffer, n);
        }
        std::string path;
        size_t space = request.find(' ');
        if (space != std::string::npos) path = request.substr(space + 1, request.find(' ', space + 1) - space - 1);
        int status;
        std::string body;
        DWORD silent;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            paths_.push_back(path);
            status = status_;
            body = body_;
            silent = silentMs_;
        }
        if (silent) {
            // Held open elsewhere, so that the next request is served meanwhile.
            std::thread([client, silent] {
                Sleep(silent);
                closesocket(client);
            }).detach();
            continue;
        }
        std::string response = "HTTP/1.1 " + std::to_string(status) + (status == 200 ? " OK" : " Error") +
                               "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(body.size()) +
                               "\r\nConnection: close\r\n\r\n" + body;
        send(client, response.data(), static_cast<int>(response.size()), 0);
        shutdown(client, SD_SEND);
        closesocket(client);
    }
}

int UnusedPort() {
    int port = 0;
    SOCKET s = BindLoopback(port);
    if (s != INVALID_SOCKET) closesocket(s);  // bound but never listening, then released
    return port;
}

}  // namespace kktest
