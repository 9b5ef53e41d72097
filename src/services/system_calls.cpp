#include "services/system_calls.h"

#include "engine/handles.h"
#include "services/help.h"
#include "services/system_actions.h"

#include <shellapi.h>

namespace kk {
namespace {

HWND g_owner = nullptr;

void CALLBACK OnMessageBoxHelp(LPHELPINFO info) {
    // The Help button of a message box opens the topic the message names.
    if (info) ShowHelp(static_cast<int>(info->dwContextId));
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
    params.lpfnMsgBoxCallback = OnMessageBoxHelp;
    return MessageBoxIndirectA(&params);
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
