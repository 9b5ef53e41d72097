#include "e2e/driver.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace kke2e {
namespace {

const DWORD kPollMs = 20;

std::string ClassName(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// The first visible top-level window of the class, polled until it shows
// or the process ends.
HWND WaitForVisible(Process& process, const char* className, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            process.Watch();
            for (HWND w : TopLevelWindows(process.pid(), className))
                if (!found && IsWindowVisible(w)) found = w;
            return found || !process.Running();
        },
        timeoutMs);
    return found;
}

}  // namespace

std::string WinePath(const std::string& linuxPath) {
    std::string path = "Z:" + linuxPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string FixturePath(const std::string& name) { return WinePath(KK_FIXTURES_DIR) + "\\" + name; }

std::string InstallPanel(bool withStandIns) {
    const std::string folder = kInstallFolder;
    for (size_t at = folder.find('\\', 3); at != std::string::npos; at = folder.find('\\', at + 1))
        CreateDirectoryA(folder.substr(0, at).c_str(), nullptr);
    const std::string exe = folder + "Control Panel.exe";
    if (!CopyFileA(WinePath(KK_PANEL_EXE).c_str(), exe.c_str(), FALSE)) return {};
    if (withStandIns) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(FixturePath("*.dll").c_str(), &found);
        for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
            CopyFileA(FixturePath(found.cFileName).c_str(), (folder + found.cFileName).c_str(), FALSE);
        if (search != INVALID_HANDLE_VALUE) FindClose(search);
    }
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
    return RegSetKeyValueA(root, key.c_str(), name.empty() ? nullptr : name.c_str(), REG_SZ, value.c_str(),
                           static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
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

Process Process::Start(const std::string& program, const std::string& tail,
                       const std::vector<std::pair<std::string, std::string>>& extra) {
    // This process's environment with extra's names replaced or added.
    std::string environment;
    if (char* block = GetEnvironmentStringsA()) {
        for (const char* p = block; *p; p += lstrlenA(p) + 1) {
            std::string entry = p;
            size_t eq = entry.find('=', 1);  // "=C:=..." entries start with '='
            bool replaced = std::any_of(extra.begin(), extra.end(), [&](const auto& e) {
                return lstrcmpiA(entry.substr(0, eq).c_str(), e.first.c_str()) == 0;
            });
            if (!replaced) environment += entry + '\0';
        }
        FreeEnvironmentStringsA(block);
    }
    for (const auto& [name, value] : extra) environment += name + "=" + value + '\0';
    environment += '\0';

    // Wine starts the panel although its manifest asks for administrator
    // rights: CreateProcess does not fail with ERROR_ELEVATION_REQUIRED.
    std::string commandLine = "\"" + program + "\" " + tail;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    Process p;
    if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, &environment[0], nullptr, &startup,
                       &info)) {
        CloseHandle(info.hThread);
        p.process_.reset(info.hProcess);
        p.pid_ = info.dwProcessId;
    }
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
        (ClassName(w) == "#32770" ? showedMessageBox_ : showedWindow_) = true;
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
    return WaitForVisible(panel, "KestrelkitControlPanel", timeoutMs);
}

MessageBoxView WaitForMessageBox(Process& process, DWORD timeoutMs) {
    MessageBoxView view;
    view.hwnd = WaitForVisible(process, "#32770", timeoutMs);
    if (!view.hwnd) return view;
    view.title = WindowText(view.hwnd);
    for (HWND child = GetWindow(view.hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        const std::string cls = ClassName(child), text = WindowText(child);
        if (lstrcmpiA(cls.c_str(), "Static") == 0 && GetDlgCtrlID(child) == 0xFFFF) {
            view.text += text;
        } else if (lstrcmpiA(cls.c_str(), "Button") == 0) {
            std::string& label = view.buttons[GetDlgCtrlID(child)];
            std::copy_if(text.begin(), text.end(), std::back_inserter(label), [](char c) { return c != '&'; });
        }
    }
    return view;
}

bool Press(HWND dialog, int buttonId) {
    HWND button = GetDlgItem(dialog, buttonId);
    return button && PostMessageA(button, BM_CLICK, 0, 0);
}

HWND RowControl(HWND main, int controlId) {
    return GetDlgItem(GetDlgItem(GetDlgItem(main, 20), 21), controlId);
}

int CheckState(HWND main, int toolId) {
    DWORD_PTR result = 0;
    HWND box = RowControl(main, 4000 + toolId);
    if (!box || !SendMessageTimeoutA(box, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &result)) return -1;
    return static_cast<int>(result);
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace kke2e
