// The stand-in update server (fixtures/update_server.cpp) as its own
// process, answering from a folder of the test's own.
#pragma once
#include "engine/handles.h"

#include <string>
#include <vector>

namespace kktest {

// An address where no server listens: port 1 is nobody's.
inline constexpr char kNoServer[] = "http://127.0.0.1:1/";

class UpdateServer {
public:
    UpdateServer();  // started; BaseUrl() is "" when it did not start
    ~UpdateServer();

    std::string BaseUrl() const { return base_; }  // "http://127.0.0.1:PORT/"
    void Reply(int status, const std::string& body);
    // Until the next Reply, a request is left unanswered, its connection open for this long.
    void StaySilent(unsigned long forMs);
    std::vector<std::string> RequestedPaths() const;

private:
    std::string folder_, base_;
    kk::UniqueKernel process_;
};

}  // namespace kktest
