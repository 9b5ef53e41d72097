#include "e2e/driver.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace kke2e {
namespace {

const DWORD kPollMs = 20;

bool SameName(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

// This process's environment with extra's variables added or replaced, as
// a block for CreateProcess.
std::string EnvironmentBlock(const Environment& extra) {
    std::vector<std::string> entries;
    if (char* block = GetEnvironmentStringsA()) {
        for (const char* p = block; *p; p += lstrlenA(p) + 1) entries.emplace_back(p);
        FreeEnvironmentStringsA(block);
    }
    for (const auto& [name, value] : extra) {
        entries.erase(std::remove_if(entries.begin(), entries.end(),
                                     [&](const std::string& e) {
                                         size_t eq = e.find('=', 1);  // "=C:" entries start with '='
                                         return eq != std::string::npos && SameName(e.substr(0, eq), name);
                                     }),
                      entries.end());
        entries.push_back(name + "=" + value);
    }
    std::string result;
    for (const auto& e : entries) result += e + '\0';
    return result + '\0';
}

std::string ClassName(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

}  // namespace

std::string WinePath(const std::string& linuxPath) {
    std::string path = "Z:" + linuxPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string FixturePath(const std::string& name) { return WinePath(KK_FIXTURES_DIR) + "\\" + name; }

std::string InstallPanel() {
    std::string folder = kInstallFolder;
    for (size_t at = folder.find('\\', 3); at != std::string::npos; at = folder.find('\\', at + 1))
        CreateDirectoryA(folder.substr(0, at).c_str(), nullptr);
    std::string exe = folder + "Control Panel.exe";
    if (!CopyFileA(WinePath(KK_PANEL_EXE).c_str(), exe.c_str(), FALSE)) return {};
    WriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Marrowby\\Kestrelkit", "InstallPath", folder);
    return exe;
}

void ClearSuiteKeys() {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        RegDeleteTreeA(root, "SOFTWARE\\Marrowby");
        RegDeleteKeyA(root, "SOFTWARE\\Marrowby");
    }
}

bool WriteString(HKEY root, const std::string& key, const std::string& name, const std::string& value) {
    kk::UniqueKey k;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, k.put(), nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExA(k.get(), name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(value.size() + 1)) ==
           ERROR_SUCCESS;
}

void DeleteValue(HKEY root, const std::string& key, const std::string& name) {
    kk::UniqueKey k;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_SET_VALUE, k.put()) == ERROR_SUCCESS)
        RegDeleteValueA(k.get(), name.c_str());
}

void SetPanelWindowsVersion(const std::string& version) {
    WriteString(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Control Panel.exe", "Version", version);
}

bool WaitUntil(const std::function<bool()>& ready, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!ready()) {
        if (GetTickCount() - start >= timeoutMs) return ready();
        Sleep(kPollMs);
    }
    return true;
}

Process Process::Start(const std::string& program, const std::string& tail, const Environment& extra) {
    std::string commandLine = "\"" + program + "\" " + tail;
    std::string environment = EnvironmentBlock(extra);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    Process p;
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, &environment[0], nullptr, &startup,
                        &info))
        return p;
    CloseHandle(info.hThread);
    p.process_.reset(info.hProcess);
    p.pid_ = info.dwProcessId;
    return p;
}

bool Process::Running() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

bool Process::WaitForExit(DWORD timeoutMs, DWORD* exitCode) {
    if (!process_) return false;
    const DWORD start = GetTickCount();
    for (;;) {
        Watch();
        if (WaitForSingleObject(process_.get(), kPollMs) == WAIT_OBJECT_0) break;
        if (GetTickCount() - start >= timeoutMs) return false;
    }
    if (exitCode) GetExitCodeProcess(process_.get(), exitCode);
    return true;
}

void Process::Kill() {
    if (!Running()) return;
    TerminateProcess(process_.get(), 99);
    WaitForSingleObject(process_.get(), 5000);
}

void Process::Watch() {
    for (HWND w : TopLevelWindows(pid_)) {
        if (!IsWindowVisible(w)) continue;
        if (ClassName(w) == "#32770") showedMessageBox_ = true;
        else showedWindow_ = true;
    }
}

std::string WindowText(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::vector<HWND> TopLevelWindows(DWORD pid, const char* className) {
    struct Search {
        DWORD pid;
        const char* className;
        std::vector<HWND> found;
    } search{pid, className, {}};
    EnumWindows(
        [](HWND w, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == s->pid && (!s->className || ClassName(w) == s->className)) s->found.push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForMainWindow(Process& panel, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            panel.Watch();
            for (HWND w : TopLevelWindows(panel.pid(), "KestrelkitControlPanel"))
                if (IsWindowVisible(w)) found = w;
            return found != nullptr || !panel.Running();
        },
        timeoutMs);
    return found;
}

MessageBoxView WaitForMessageBox(Process& process, DWORD timeoutMs) {
    MessageBoxView view;
    WaitUntil(
        [&] {
            process.Watch();
            for (HWND w : TopLevelWindows(process.pid(), "#32770"))
                if (IsWindowVisible(w)) view.hwnd = w;
            return view.hwnd != nullptr || !process.Running();
        },
        timeoutMs);
    if (!view.hwnd) return view;
    view.title = WindowText(view.hwnd);
    for (HWND child = GetWindow(view.hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        const std::string cls = ClassName(child), text = WindowText(child);
        if (SameName(cls, "Static") && GetDlgCtrlID(child) == 0xFFFF) {
            view.text += text;
        } else if (SameName(cls, "Button")) {
            std::string label;
            std::copy_if(text.begin(), text.end(), std::back_inserter(label), [](char c) { return c != '&'; });
            view.buttons[GetDlgCtrlID(child)] = label;
        }
    }
    return view;
}

bool Press(HWND dialog, int buttonId) {
    HWND button = GetDlgItem(dialog, buttonId);
    return button && PostMessageA(button, BM_CLICK, 0, 0);
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace kke2e
