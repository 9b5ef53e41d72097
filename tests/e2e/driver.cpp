#include "e2e/driver.h"

#include <commctrl.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

namespace kke2e {
namespace {

// A block of memory in a window's process, freed with the object.
class RemoteBlock {
public:
    RemoteBlock(HWND window, size_t size) : size_(size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process_.reset(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
        if (process_) address_ = VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBlock() {
        if (address_) VirtualFreeEx(process_.get(), address_, 0, MEM_RELEASE);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;
    char* at(size_t offset) const { return static_cast<char*>(address_) + offset; }
    bool Write(size_t offset, const void* data, size_t size) {
        return address_ && offset + size <= size_ && WriteProcessMemory(process_.get(), at(offset), data, size, nullptr);
    }
    bool Read(size_t offset, void* data, size_t size) const {
        return address_ && offset + size <= size_ && ReadProcessMemory(process_.get(), at(offset), data, size, nullptr);
    }

private:
    kk::UniqueKernel process_;
    void* address_ = nullptr;
    size_t size_;
};

constexpr size_t kRemoteText = 512, kRemoteTextSize = 512;

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

// Shared for writing too: a console host may still hold a file a program wrote its output to.
std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteString(HKEY root, const std::string& key, const std::string& name, const std::string& value) {
    return RegSetKeyValueA(root, key.c_str(), name.empty() ? nullptr : name.c_str(), REG_SZ, value.c_str(),
                           static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

std::string ReadString(HKEY root, const std::string& key, const std::string& name) {
    char buffer[1024] = {};
    DWORD size = sizeof buffer;
    if (RegGetValueA(root, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return {};
    return buffer;
}

std::string ReadValue(HKEY root, const std::string& key, const std::string& name) {
    DWORD number = 0, size = sizeof number;
    if (RegGetValueA(root, key.c_str(), name.c_str(), RRF_RT_REG_DWORD, nullptr, &number, &size) == ERROR_SUCCESS)
        return "dword:" + std::to_string(number);
    char text[1024] = {};
    size = sizeof text;
    if (RegGetValueA(root, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, text, &size) == ERROR_SUCCESS) return text;
    return "absent";
}

void SetPanelWindowsVersion(const std::string& version) {
    WriteString(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Control Panel.exe", "Version", version);
    WriteString(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\kkctl.exe", "Version", version);
}

std::string InstallPanel(bool withStandIns) {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        RegDeleteTreeA(root, "SOFTWARE\\Marrowby");
        RegDeleteKeyA(root, "SOFTWARE\\Marrowby");
    }
    SetPanelWindowsVersion("winxp");
    const std::string folder = "C:\\Program Files\\Marrowby\\Kestrelkit\\";
    for (size_t at = folder.find('\\', 3); at != std::string::npos; at = folder.find('\\', at + 1))
        CreateDirectoryA(folder.substr(0, at).c_str(), nullptr);
    const std::string exe = folder + "Control Panel.exe";
    if (!CopyFileA(WinePath(KK_PANEL_EXE).c_str(), exe.c_str(), FALSE) ||
        !CopyFileA(WinePath(KK_KKCTL_EXE).c_str(), (folder + "kkctl.exe").c_str(), FALSE))
        return {};
    WIN32_FIND_DATAA found;
    HANDLE search = withStandIns ? FindFirstFileA(FixturePath("*.dll").c_str(), &found) : INVALID_HANDLE_VALUE;
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        CopyFileA(FixturePath(found.cFileName).c_str(), (folder + found.cFileName).c_str(), FALSE);
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    return WriteString(HKEY_LOCAL_MACHINE, kSuiteKey, "InstallPath", folder) ? exe : std::string();
}

bool WaitUntil(const std::function<bool()>& ready, DWORD timeoutMs) {
    for (const DWORD start = GetTickCount(); !ready(); Sleep(20))
        if (GetTickCount() - start >= timeoutMs) return ready();
    return true;
}

Process Process::Start(const std::string& program, const std::string& tail) {
    // Wine starts the panel although its manifest asks for administrator
    // rights: CreateProcess does not fail with ERROR_ELEVATION_REQUIRED.
    std::string commandLine = "\"" + program + "\" " + tail;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    Process p;
    if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        CloseHandle(info.hThread);
        p.process_.reset(info.hProcess);
        p.pid_ = info.dwProcessId;
    }
    return p;
}

bool Process::Running() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

DWORD Process::ExitCode(DWORD timeoutMs) {
    DWORD code = STILL_ACTIVE;
    WaitUntil([&] {
        Watch();
        return !Running();
    }, timeoutMs);
    if (process_ && !Running()) GetExitCodeProcess(process_.get(), &code);
    return code;
}

Process::~Process() {
    if (!Running()) return;
    TerminateProcess(process_.get(), 99);
    WaitForSingleObject(process_.get(), 5000);
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
    WaitUntil(
        [&] {
            for (HWND w : Watch())
                if (!found && ClassName(w) == className) found = w;
            return found || !Running();
        },
        timeoutMs);
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
    GetWindowTextA(window, text, sizeof text);
    return text;
}

bool Press(HWND dialog, int buttonId) {
    HWND button = GetDlgItem(dialog, buttonId);
    return button && PostMessageA(button, BM_CLICK, 0, 0);
}

bool ApplyChanges(HWND main) {
    // A change marks its row before it enables Apply, both in one handler.
    HWND apply = GetDlgItem(main, 10);
    return WaitUntil([&] { return IsWindowEnabled(apply) != FALSE; }, 3000) && Press(main, 10) &&
           WaitUntil([&] { return !IsWindowEnabled(apply) && WindowText(GetDlgItem(main, 11)) == "&Close"; }, 10000);
}

bool Answer(const MessageBoxView& box, int buttonId) {
    return Press(box.hwnd, buttonId) && WaitUntil([&] { return !IsWindow(box.hwnd); }, 3000);
}

std::vector<ListRow> ListRows(HWND list) {
    std::vector<ListRow> rows;
    RemoteBlock block(list, kRemoteText + kRemoteTextSize);
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        ListRow row;
        for (int column = 0; column < 2; ++column) {
            LVITEMA item{};
            item.mask = LVIF_TEXT | (column == 0 ? LVIF_IMAGE : 0);
            item.iItem = i;
            item.iSubItem = column;
            item.pszText = block.at(kRemoteText);
            item.cchTextMax = kRemoteTextSize;
            char text[kRemoteTextSize] = {};
            if (!block.Write(0, &item, sizeof item) ||
                !SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(block.at(0))) ||
                !block.Read(0, &item, sizeof item) || !block.Read(kRemoteText, text, sizeof text - 1))
                break;
            (column == 0 ? row.text : row.second) = text;
            if (column == 0) row.picture = item.iImage;
        }
        rows.push_back(row);
    }
    return rows;
}

RECT ListRowRect(HWND list, int i) {
    RECT r{};
    r.left = LVIR_BOUNDS;
    RemoteBlock block(list, sizeof r);
    if (!block.Write(0, &r, sizeof r) || !SendMessageA(list, LVM_GETITEMRECT, i, reinterpret_cast<LPARAM>(block.at(0))) ||
        !block.Read(0, &r, sizeof r))
        return RECT{};
    return r;
}

void PostDrag(HWND list, POINT press, const std::vector<POINT>& path) {
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
    POINT last = press;
    for (POINT p : path) PostMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(last.x = p.x, last.y = p.y));
    PostMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(last.x, last.y));
}

HWND RowControl(HWND main, int controlId) { return GetDlgItem(GetDlgItem(GetDlgItem(main, 20), 21), controlId); }

}  // namespace kke2e
