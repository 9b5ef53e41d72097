// One panel at a time. A named mutex tells whether a panel already runs
// (asking other windows could hang on one that stops answering); the
// running panel serves the DDE topic "Marrowby Kestrelkit|ControlPanel"
// and a second start asks it to "restore" itself, then ends.
#pragma once
#include <windows.h>

#include <ddeml.h>

#include "engine/handles.h"

namespace kk {

inline constexpr char kDdeService[] = "Marrowby Kestrelkit";
inline constexpr char kDdeTopic[] = "ControlPanel";

class InstanceClaim {
public:
    // Takes the claim; false when another panel holds it.
    bool Claim();

private:
    UniqueKernel mutex_;
};

// Sends "restore" to the running panel (bounded in time, DDE errors
// ignored) and activates its window. self is this process's own window,
// which carries the same title and is skipped.
void HandOverToRunningInstance(HWND self);

// The DDE server of the running panel: answers "restore" for window.
class RestoreServer {
public:
    RestoreServer() = default;
    ~RestoreServer();
    RestoreServer(const RestoreServer&) = delete;
    RestoreServer& operator=(const RestoreServer&) = delete;

    bool Start(HWND window);
    void Stop();

private:
    DWORD instance_ = 0;
    HSZ service_ = nullptr;
    HSZ topic_ = nullptr;
};

}  // namespace kk
