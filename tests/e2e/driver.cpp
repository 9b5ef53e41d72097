#include "e2e/driver.h"

#include "support/test_env.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

namespace kke2e {
namespace {

constexpr size_t kRemoteText = 512, kRemoteTextSize = 512;

// Memory in a window's process, freed with the object, for the messages of
// a list view, which carry pointers no other process can follow.
struct RemoteBlock {
    explicit RemoteBlock(HWND window) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process.reset(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
        const size_t size = kRemoteText + kRemoteTextSize;
        if (process) at = static_cast<char*>(VirtualAllocEx(process.get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    }
    ~RemoteBlock() {
        if (at) VirtualFreeEx(process.get(), at, 0, MEM_RELEASE);
    }
    // Sends the message with a copy of data in the block, and copies it back.
    bool Send(HWND window, UINT message, WPARAM w, void* data, size_t size) {
        return at && WriteProcessMemory(process.get(), at, data, size, nullptr) &&
               SendMessageA(window, message, w, reinterpret_cast<LPARAM>(at)) &&
               ReadProcessMemory(process.get(), at, data, size, nullptr);
    }
    kk::UniqueKernel process;
    char* at = nullptr;
};

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

// Shared for writing too: a console host may still hold a file a program wrote its output to.
std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadValue(HKEY root, const std::string& key, const std::string& name) {
    const int type = kk::GetValueType(root, key, name);
    if (type == REG_DWORD) return "dword:" + std::to_string(static_cast<DWORD>(kk::GetDword(root, key, name)));
    return type < 0 ? "absent" : kk::GetString(root, key, name);
}

void SetPanelWindowsVersion(const std::string& version) {
    for (const char* program : {"Control Panel.exe", "kkctl.exe"})
        kk::SetString(HKEY_CURRENT_USER, std::string("Software\\Wine\\AppDefaults\\") + program, "Version", version);
}

std::string InstallPanel(bool withStandIns) {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) kk::DeleteKey(root, "SOFTWARE\\Marrowby");
    SetPanelWindowsVersion("winxp");
    const std::string folder = "C:\\Program Files\\Marrowby\\Kestrelkit\\";
    SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
    if (!CopyFileA(WinePath(KK_PANEL_EXE).c_str(), (folder + "Control Panel.exe").c_str(), FALSE) ||
        !CopyFileA(WinePath(KK_KKCTL_EXE).c_str(), (folder + "kkctl.exe").c_str(), FALSE))
        return {};
    WIN32_FIND_DATAA found;
    const std::string standIns = kktest::FixturesFolder();
    kk::UniqueFind search(withStandIns ? FindFirstFileA((standIns + "*.dll").c_str(), &found) : INVALID_HANDLE_VALUE);
    for (bool more = static_cast<bool>(search); more; more = FindNextFileA(search.get(), &found))
        CopyFileA((standIns + found.cFileName).c_str(), (folder + found.cFileName).c_str(), FALSE);
    kk::SetString(HKEY_LOCAL_MACHINE, kSuiteKey, "InstallPath", folder);
    kk::SetString(HKEY_CURRENT_USER, kSuiteKey, "NoAutoUpdate", "1");
    return folder + "Control Panel.exe";
}

bool WaitUntil(const std::function<bool()>& ready, DWORD timeoutMs) {
    for (const DWORD start = GetTickCount(); !ready(); Sleep(20))
        if (GetTickCount() - start >= timeoutMs) return ready();
    return true;
}

Process Process::Start(const std::string& program, const std::string& tail, HANDLE out, HANDLE err) {
    // Wine starts the panel although its manifest asks for administrator
    // rights: CreateProcess does not fail with ERROR_ELEVATION_REQUIRED.
    std::string commandLine = "\"" + program + "\" " + tail;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = out ? STARTF_USESTDHANDLES : 0;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION info{};
    Process p;
    if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, out != nullptr, out ? CREATE_NO_WINDOW : 0, nullptr,
                       nullptr, &startup, &info)) {
        CloseHandle(info.hThread);
        p.process_.reset(info.hProcess);
        p.pid_ = info.dwProcessId;
    }
    return p;
}

bool Process::Running() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

DWORD Process::ExitCode(DWORD timeoutMs) {
    DWORD code = STILL_ACTIVE;
    if (WaitUntil([&] { Watch(); return !Running(); }, timeoutMs) && process_) GetExitCodeProcess(process_.get(), &code);
    return code;
}

bool Process::Lost() const {
    DWORD code = 0;
    return !process_ || (!Running() && GetExitCodeProcess(process_.get(), &code) && code == STILL_ACTIVE);
}

Process::~Process() {
    if (Running() && TerminateProcess(process_.get(), 99)) WaitForSingleObject(process_.get(), 5000);
}

std::vector<HWND> Process::Watch() {
    std::vector<HWND> found;
    for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner != pid_ || !IsWindowVisible(w)) continue;
        (ClassName(w) == "#32770" ? showedMessageBox_ : showedWindow_) = true;
        found.push_back(w);
    }
    return found;
}

HWND Process::WaitForWindow(const char* className, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND w : Watch())
            if (!found && ClassName(w) == className) found = w;
        return found || !Running();
    }, timeoutMs);
    return found;
}

MessageBoxView Process::WaitForMessageBox(DWORD timeoutMs) {
    MessageBoxView view;
    view.hwnd = WaitForWindow("#32770", timeoutMs);
    if (!view.hwnd) return view;
    view.title = WindowText(view.hwnd);
    for (HWND child = GetWindow(view.hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        if (GetDlgCtrlID(child) == 0xFFFF) view.text += WindowText(child);
        else if (lstrcmpiA(ClassName(child).c_str(), "Button") == 0) view.buttons.insert(GetDlgCtrlID(child));
    }
    return view;
}

std::string WindowText(HWND window) {
    char text[1024] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                        &copied);
    return text;
}

bool Press(HWND dialog, int buttonId) {
    HWND button = GetDlgItem(dialog, buttonId);
    return WaitUntil([&] { return IsWindowEnabled(button) != FALSE; }, 3000) && PostMessageA(button, BM_CLICK, 0, 0);
}

bool ApplyChanges(Process& panel, HWND main, const std::string& boxTitle) {
    // A change marks its row before it enables Apply, both in one handler.
    if (!Press(main, 10)) return false;
    if (!boxTitle.empty()) {
        const MessageBoxView box = panel.WaitForMessageBox();
        if (box.title != boxTitle || !Answer(box, IDOK)) return false;
    }
    HWND apply = GetDlgItem(main, 10), cancel = GetDlgItem(main, 11);
    return WaitUntil([&] { return !IsWindowEnabled(apply) && WindowText(cancel) == "&Close"; }, 10000);
}

bool Answer(const MessageBoxView& box, int buttonId) {
    return Press(box.hwnd, buttonId) && WaitUntil([&] { return !IsWindow(box.hwnd); }, 3000);
}

std::vector<std::string> ListRows(HWND list) {
    std::vector<std::string> rows;
    RemoteBlock block(list);
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::string texts[2];
        int picture = -1;
        for (int column = 0; column < 2; ++column) {
            LVITEMA item{};
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = i;
            item.iSubItem = column;
            item.pszText = block.at + kRemoteText;
            item.cchTextMax = kRemoteTextSize;
            char text[kRemoteTextSize] = {};
            if (!block.Send(list, LVM_GETITEMA, 0, &item, sizeof item) ||
                !ReadProcessMemory(block.process.get(), block.at + kRemoteText, text, sizeof text - 1, nullptr))
                return rows;
            texts[column] = text;
            if (column == 0) picture = item.iImage;
        }
        rows.push_back(texts[0] + (texts[1].empty() ? "" : "/" + texts[1]) + "/" + std::to_string(picture));
    }
    return rows;
}

POINT InListRow(HWND list, int i, int x) {
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    if (!RemoteBlock(list).Send(list, LVM_GETITEMRECT, i, &r, sizeof r)) r = RECT{};
    return {r.left + x, (r.top + r.bottom) / 2};
}

void PostKey(HWND window, int key, int times) {
    for (int i = 0; i < times; ++i) {
        PostMessageA(window, WM_KEYDOWN, key, 1);
        PostMessageA(window, WM_KEYUP, key, 0xC0000001);
    }
}

void PostChars(HWND window, const std::string& text) {
    for (char c : text) PostMessageA(window, WM_CHAR, static_cast<unsigned char>(c), 1);
}

void PostDrag(HWND window, POINT press, const std::vector<POINT>& path) {
    PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(press.x, press.y));
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
    POINT last = press;
    for (POINT p : path) PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(last.x = p.x, last.y = p.y));
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(last.x, last.y));
}

HWND RowControl(HWND main, int controlId) { return GetDlgItem(GetDlgItem(GetDlgItem(main, 20), 21), controlId); }

}  // namespace kke2e
