#include "support/recorder.h"

namespace kktest {

SystemRecorder::SystemRecorder() : saved_(kk::System()) {
    kk::SystemCalls& calls = kk::System();
    calls.messageBox = [this](HWND owner, const std::string& text, const std::string& title, int style, int topic) {
        messages.push_back({text, title, style, topic});
        owners.push_back(owner);
        if (answers.empty()) return IDOK;
        int answer = answers.front();
        answers.pop_front();
        return answer;
    };
    calls.shellOpen = [this](const std::string& file, const std::string& folder) {
        opened.push_back(file + "|" + folder);
    };
    calls.startProgram = [this](HWND owner, const std::string& verb, const std::string& program,
                                const std::string& arguments, const std::string& folder) {
        started.push_back(verb + "|" + program + "|" + arguments + "|" + folder);
        owners.push_back(owner);
    };
    calls.htmlHelp = [this](const std::string& file, int context) {
        helpShown.emplace_back(file, context);
        return static_cast<HWND>(nullptr);
    };
    calls.restartOrLogOff = [this](int mode) {
        restartRequests.push_back(mode);
        return true;
    };
}

SystemRecorder::~SystemRecorder() { kk::System() = saved_; }

std::string SystemRecorder::Message(size_t i) const {
    if (i >= messages.size()) return "none";
    const RecordedMessage& m = messages[i];
    return m.text + "|" + m.title + "|" + std::to_string(m.style) + "|" + std::to_string(m.helpTopic);
}

}  // namespace kktest
