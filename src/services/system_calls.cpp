#include "services/system_calls.h"

#include "engine/handles.h"
#include "services/help.h"
#include "services/subclass.h"
#include "services/system_actions.h"

#include <shellapi.h>

#include <utility>

namespace kk {
namespace {

HWND g_owner = nullptr;

struct HookTraits {
    static HHOOK invalid() { return nullptr; }
    static bool valid(HHOOK h) { return h != nullptr; }
    static void close(HHOOK h) { UnhookWindowsHookEx(h); }
};
using UniqueHook = UniqueHandle<HHOOK, HookTraits>;

const char kHelpTopicProp[] = "KkHelpTopic";
const char kMessageBoxClass[] = "#32770";
const int kNoTopic = -1;
// The topic of the message box this thread is about to create; the box
// takes it as it is created, so a message shown from its help gets its own.
thread_local int t_pendingTopic = kNoTopic;

// The box's Help button and F1 open its topic here rather than through the
// box's help callback, which not every system calls.
LRESULT CALLBACK MessageBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if ((msg == WM_COMMAND && LOWORD(wp) == IDHELP) || msg == WM_HELP) {
        const int topic = static_cast<int>(reinterpret_cast<INT_PTR>(GetPropA(hwnd, kHelpTopicProp)));
        // What the help says (a missing file) is modal to this box.
        MessageOwnerScope owner(hwnd);
        ShowHelp(topic);
        return TRUE;
    }
    if (msg == WM_NCDESTROY) {
        RemovePropA(hwnd, kHelpTopicProp);
        Unsubclass(hwnd);
    }
    return CallOldWndProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK WatchForMessageBox(int code, WPARAM wp, LPARAM lp) {
    HWND created = reinterpret_cast<HWND>(wp);
    char cls[sizeof kMessageBoxClass + 1] = {};
    if (code == HCBT_CREATEWND && t_pendingTopic != kNoTopic && GetClassNameA(created, cls, sizeof cls) &&
        lstrcmpA(cls, kMessageBoxClass) == 0) {
        SetPropA(created, kHelpTopicProp, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(t_pendingTopic)));
        Subclass(created, MessageBoxProc);
        t_pendingTopic = kNoTopic;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

int RealMessageBox(HWND owner, const std::string& text, const std::string& title, int style, int helpTopic) {
    MSGBOXPARAMSA params{};
    params.cbSize = sizeof params;
    params.hwndOwner = owner;
    params.hInstance = GetModuleHandleA(nullptr);
    params.lpszText = text.c_str();
    params.lpszCaption = title.c_str();
    params.dwStyle = static_cast<DWORD>(style);
    params.dwContextHelpId = static_cast<DWORD_PTR>(helpTopic);
    if (!(style & MB_HELP)) return MessageBoxIndirectA(&params);
    const int outer = std::exchange(t_pendingTopic, helpTopic);
    UniqueHook watch(SetWindowsHookExA(WH_CBT, WatchForMessageBox, nullptr, GetCurrentThreadId()));
    const int answer = MessageBoxIndirectA(&params);
    t_pendingTopic = outer;
    return answer;
}

void RealShellOpen(const std::string& file, const std::string& folder) {
    ShellExecuteA(nullptr, "open", file.c_str(), nullptr, folder.empty() ? nullptr : folder.c_str(), SW_SHOW);
}

void RealStartProgram(HWND owner, const std::string& verb, const std::string& program,
                      const std::string& arguments, const std::string& folder) {
    ShellExecuteA(owner, verb.empty() ? nullptr : verb.c_str(), program.c_str(),
                  arguments.empty() ? nullptr : arguments.c_str(),
                  folder.empty() ? nullptr : folder.c_str(), SW_SHOW);
}

using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

HWND RealHtmlHelp(const std::string& helpFile, int context) {
    // hhctrl.ocx stays loaded for the life of the process: it owns the help window.
    static UniqueModule module(LoadLibraryA("hhctrl.ocx"));
    if (!module) return nullptr;
    auto fn = reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void*>(GetProcAddress(module.get(), "HtmlHelpA")));
    if (!fn) return nullptr;
    const UINT kHelpContext = 0x000F;  // HH_HELP_CONTEXT
    return fn(GetDesktopWindow(), helpFile.c_str(), kHelpContext, static_cast<DWORD_PTR>(context));
}

}  // namespace

SystemCalls RealSystemCalls() {
    SystemCalls calls;
    calls.messageBox = RealMessageBox;
    calls.shellOpen = RealShellOpen;
    calls.startProgram = RealStartProgram;
    calls.htmlHelp = RealHtmlHelp;
    calls.restartOrLogOff = RealRestartOrLogOff;
    return calls;
}

SystemCalls& System() {
    static SystemCalls calls = RealSystemCalls();
    return calls;
}

void SetMessageOwner(HWND owner) { g_owner = owner; }
HWND MessageOwner() { return g_owner; }

int ShowMessage(const std::string& text, const std::string& title, int style, int helpTopic) {
    return System().messageBox(g_owner, text, title, style, helpTopic);
}

}  // namespace kk
