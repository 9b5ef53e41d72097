// The stand-in update server (fixtures/update_server.cpp) as its own
// process, answering from a folder of the test's own.
#pragma once
#include "engine/handles.h"
#include "support/test_env.h"

#include <fstream>
#include <string>
#include <vector>

namespace kktest {

// An address where no server listens: port 1 is nobody's.
inline constexpr char kNoServer[] = "http://127.0.0.1:1/";

class UpdateServer {
public:
    // Started; BaseUrl() is "" when it did not start.
    UpdateServer() {
        // The folder without its last backslash, which would escape the closing quote.
        std::string command = "\"" + FixturesFolder() + "kkupdatesrv.exe\" \"" +
                              folder_.substr(0, folder_.size() - 1) + "\" " + std::to_string(GetCurrentProcessId());
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                            &startup, &info))
            return;
        CloseHandle(info.hThread);
        process_.reset(info.hProcess);
        for (int i = 0, port = 0; i < 500 && base_.empty() && WaitForSingleObject(info.hProcess, 20); ++i)
            if (std::ifstream(folder_ + "port") >> port) base_ = "http://127.0.0.1:" + std::to_string(port) + "/";
    }
    ~UpdateServer() {
        if (process_ && TerminateProcess(process_.get(), 0)) WaitForSingleObject(process_.get(), 5000);
    }

    std::string BaseUrl() const { return base_; }  // "http://127.0.0.1:PORT/"
    void Reply(int status, const std::string& body) {
        std::ofstream(folder_ + "reply", std::ios::binary) << status << "\n" << body;
    }
    // Until the next Reply, a request is left unanswered, its connection open for this long.
    void StaySilent(unsigned long forMs) { std::ofstream(folder_ + "reply") << "silent " << forMs << "\n"; }
    std::vector<std::string> RequestedPaths() const {
        std::vector<std::string> paths;
        std::ifstream log(folder_ + "requests.log");
        for (std::string line; std::getline(log, line);) paths.push_back(line);
        return paths;
    }

private:
    const std::string folder_ = MakeTempFolder("update-server");
    std::string base_;
    kk::UniqueKernel process_;
};

}  // namespace kktest
