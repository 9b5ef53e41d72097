// A one-thread HTTP server on 127.0.0.1 for the update check: answers
// every GET with a fixed status and body, or leaves it unanswered, and
// records the paths asked for.
#pragma once
#include <winsock2.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kktest {

class HttpServer {
public:
    HttpServer();
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    bool Start();
    int port() const { return port_; }
    std::string BaseUrl() const;  // "http://127.0.0.1:PORT/"

    void Reply(int status, const std::string& body);
    // Until the next Reply, a request is read and left unanswered, its
    // connection open for this long (a server that has stalled).
    void StaySilent(DWORD forMs);
    std::vector<std::string> RequestedPaths();

private:
    void Serve();

    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    int status_ = 200;
    std::string body_;
    std::vector<std::string> paths_;
    DWORD silentMs_ = 0;
};

// A port on 127.0.0.1 where nothing listens.
int UnusedPort();

}  // namespace kktest
