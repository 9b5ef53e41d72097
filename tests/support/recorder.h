// Replaces the panel's system calls (message boxes, shell open, HTML Help,
// ending the session) with a recorder for the life of the object. Message
// boxes are answered from a queue of button IDs (IDOK when it is empty).
#pragma once
#include "services/system_calls.h"

#include <deque>
#include <string>
#include <vector>

namespace kktest {

struct RecordedMessage {
    std::string text, title;
    int style = 0, helpTopic = 0;
};

class SystemRecorder {
public:
    SystemRecorder();
    ~SystemRecorder();
    SystemRecorder(const SystemRecorder&) = delete;
    SystemRecorder& operator=(const SystemRecorder&) = delete;
    // The i-th message as "text|title|style|help topic"; "none" past the last.
    std::string Message(size_t i) const;

    std::vector<RecordedMessage> messages;
    std::vector<std::string> opened;                     // "file|folder"
    std::vector<std::string> started;                    // "verb|program|arguments|folder"
    std::vector<HWND> owners;                            // of each message and started program, in turn
    std::vector<std::pair<std::string, int>> helpShown;  // file, context
    std::vector<int> restartRequests;  // modes asked for
    std::deque<int> answers;

private:
    kk::SystemCalls saved_;
};

}  // namespace kktest
