#include "support/update_server.h"

#include "support/test_env.h"

#include <fstream>
#include <sstream>

namespace kktest {

UpdateServer::UpdateServer() : folder_(MakeTempFolder("update-server")) {
    // The folder without its last backslash, which would escape the closing quote.
    std::string command = "\"" + FixturesFolder() + "kkupdatesrv.exe\" \"" + folder_.substr(0, folder_.size() - 1) +
                          "\" " + std::to_string(GetCurrentProcessId());
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &info))
        return;
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    for (int i = 0; i < 500 && base_.empty() && WaitForSingleObject(process_.get(), 20) == WAIT_TIMEOUT; ++i) {
        int port = 0;
        if (std::ifstream(folder_ + "port") >> port) base_ = "http://127.0.0.1:" + std::to_string(port) + "/";
    }
}

UpdateServer::~UpdateServer() {
    if (process_ && TerminateProcess(process_.get(), 0)) WaitForSingleObject(process_.get(), 5000);
}

void UpdateServer::Reply(int status, const std::string& body) {
    std::ofstream(folder_ + "reply", std::ios::binary) << status << "\n" << body;
}

void UpdateServer::StaySilent(unsigned long forMs) { std::ofstream(folder_ + "reply") << "silent " << forMs << "\n"; }

std::vector<std::string> UpdateServer::RequestedPaths() const {
    std::vector<std::string> paths;
    std::ifstream log(folder_ + "requests.log");
    for (std::string line; std::getline(log, line);) paths.push_back(line);
    return paths;
}

}  // namespace kktest
