#include "services/system_actions.h"

#include "engine/sent_message_wait.h"

#include "engine/handles.h"
#include "engine/registry.h"
#include "engine/registry_journal.h"
#include "engine/suite.h"
#include "engine/winver.h"
#include "services/pending_messages.h"
#include "services/system_calls.h"

#include <windows.h>
#include <ddeml.h>
#include <objbase.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <memory>

namespace kk {
namespace {

const char kShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kStartupModule[] = "kkboot.exe";
const DWORD kCloseLimitMs = 2000;
const DWORD kCloseRetryMs = 20;
// The closing conversation runs on its own thread: finding a DDE partner
// sends to every top-level window, and a hung one would block the caller.
const DWORD kCloseThreadLimitMs = kCloseLimitMs + 200;
const int kClearTempToolId = 153;

// COM for the length of one action; on a thread that already has it
// this only counts one more use.
class ComApartment {
public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT result_;
};

class Variant {
public:
    Variant() { VariantInit(&v_); }
    ~Variant() { VariantClear(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT& get() { return v_; }

private:
    VARIANT v_;
};

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(BSTR text) : b_(text) {}
    ~Bstr() { SysFreeString(b_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return b_; }
    BSTR* put() {
        SysFreeString(b_);
        b_ = nullptr;
        return &b_;
    }

private:
    BSTR b_ = nullptr;
};

// COM speaks UTF-16; the panel's texts are in the ANSI code page.
std::wstring Wide(const std::string& text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(n > 0 ? n : 0, L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
    return wide;
}

BSTR AllocBstr(const std::string& text) { return SysAllocString(Wide(text).c_str()); }

HDDEDATA CALLBACK DdeClientCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

// Shared with a closing thread that may outlive the wait for it: once
// abandoned it must not close a module started after it.
struct CloseJob {
    std::atomic<bool> abandoned{false};
};

DWORD WINAPI CloseStartupModuleThread(void* parameter) {
    std::unique_ptr<std::shared_ptr<CloseJob>> owned(static_cast<std::shared_ptr<CloseJob>*>(parameter));
    const std::shared_ptr<CloseJob> job = *owned;
    DWORD instance = 0;
    if (DdeInitializeA(&instance, DdeClientCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return 1;
    HSZ service = DdeCreateStringHandleA(instance, kStartupDdeService, CP_WINANSI);
    HSZ topic = DdeCreateStringHandleA(instance, kStartupDdeTopic, CP_WINANSI);
    const DWORD start = GetTickCount();
    // "close" again and again until no module answers any more or the time
    // is up. A module that is already going may still answer and then fail
    // the command; the next attempt finds it gone.
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= kCloseLimitMs || job->abandoned) break;
        HCONV conversation = DdeConnect(instance, service, topic, nullptr);
        if (!conversation) break;
        char command[] = "close";
        if (!job->abandoned)
            DdeClientTransaction(reinterpret_cast<BYTE*>(command), sizeof command, conversation, nullptr, 0,
                                 XTYP_EXECUTE, kCloseLimitMs - elapsed, nullptr);
        DdeDisconnect(conversation);
        // Between attempts: pending events, and a moment for the module to go.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kCloseRetryMs, QS_ALLINPUT);
        PumpPendingMessages();
    }
    DdeFreeStringHandle(instance, service);
    DdeFreeStringHandle(instance, topic);
    DdeUninitialize(instance);
    return 0;
}

void CloseStartupModule() {
    auto job = std::make_shared<CloseJob>();
    auto* parameter = new std::shared_ptr<CloseJob>(job);
    UniqueKernel thread(CreateThread(nullptr, 0, CloseStartupModuleThread, parameter, 0, nullptr));
    if (!thread) {
        delete parameter;
        return;
    }
    if (!WaitServingSentMessages(thread.get(), kCloseThreadLimitMs)) job->abandoned = true;
}

// The suite folder as the shell's scripting object wants it: no trailing
// backslash except at a drive's root.
std::string WithoutTrailingBackslash(const std::string& folder) {
    if (folder.size() > 3 && folder.back() == '\\') return folder.substr(0, folder.size() - 1);
    return folder;
}

// Invokes the verb of that caption on one item of a folder through the
// shell's scripting object (Shell.Application). No such verb: nothing.
void InvokeItemVerb(const std::string& folder, const std::string& item, const std::string& verbName) {
    ComApartment com;
    ComPtr<IShellDispatch> shell;
    if (FAILED(CoCreateInstance(CLSID_Shell, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IShellDispatch,
                                shell.putVoid())))
        return;
    Variant where;
    where.get().vt = VT_BSTR;
    where.get().bstrVal = AllocBstr(WithoutTrailingBackslash(folder));
    ComPtr<Folder> shellFolder;
    if (shell->NameSpace(where.get(), shellFolder.put()) != S_OK || !shellFolder) return;
    Bstr itemName(AllocBstr(item));
    ComPtr<FolderItem> entry;
    if (shellFolder->ParseName(itemName.get(), entry.put()) != S_OK || !entry) return;
    // Invoked by its caption, as the shell names it; an item without such a
    // verb is left alone. (Walking the item's verb list instead crashes some
    // shells on its separators.)
    Variant verb;
    verb.get().vt = VT_BSTR;
    verb.get().bstrVal = AllocBstr(verbName);
    entry->InvokeVerb(verb.get());
}

std::string ShortcutPath() {
    const std::string folder = StartupFolder();
    return folder.empty() ? std::string() : folder + kStartupShortcutName;
}

// A temp path as the clean-up compares it: references expanded, long
// form, trailing backslash.
std::string NormalTempPath(const std::string& path) {
    return WithTrailingBackslash(LongPathName(ExpandEnvironment(path)));
}

}  // namespace

bool RestartOrLogOff(int mode) { return System().restartOrLogOff(mode); }

bool RealRestartOrLogOff(int mode) {
    const bool nineX = IsWin95() || IsWin98OrMe() || IsWinMe();
    if (!nineX) {
        HANDLE raw = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) return false;
        UniqueKernel token(raw);
        TOKEN_PRIVILEGES privileges{};
        if (!LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) return false;
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (!AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr) ||
            GetLastError() == ERROR_NOT_ALL_ASSIGNED)
            return false;
        UINT flags = mode == kShutDown ? EWX_SHUTDOWN : mode == kRestart ? EWX_REBOOT : EWX_LOGOFF;
        ExitWindowsEx(flags, 0);
        return true;
    }
    if (mode == kShutDown) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_HIDE;
        PROCESS_INFORMATION pi{};
        char command[] = "RUNDLL32.EXE user.exe,ExitWindows";
        if (CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
    } else if (mode == kRestart) {
        ExitWindowsEx(EWX_SHUTDOWN | EWX_REBOOT | EWX_FORCE, 0);
    } else {
        ExitWindowsEx(EWX_LOGOFF, 0);
    }
    return true;
}

std::string StartupFolder() {
    const std::string folder = GetString(HKEY_CURRENT_USER, kShellFoldersKey, "Startup");
    // No folder is no folder: a bare backslash would be the drive's root.
    return folder.empty() ? std::string() : WithTrailingBackslash(folder);
}

bool StartupModuleInstalled() {
    const std::string shortcut = ShortcutPath();
    return !shortcut.empty() && FileExists(shortcut);
}

void SetStartupModule(bool on) {
    const std::string suite = InstallPath();
    const std::string module = suite + kStartupModule;
    if (RunOrList("close " + module)) CloseStartupModule();
    const std::string shortcut = ShortcutPath();
    if (!on) {
        DeleteShortcut(shortcut);
        return;
    }
    if (RunOrList("start " + module + " /on")) {
        // The "open" verb as ShellExecute runs it, without the shell's error box.
        SHELLEXECUTEINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
        info.lpVerb = "open";
        info.lpFile = module.c_str();
        info.lpParameters = "/on";
        info.lpDirectory = suite.c_str();
        info.nShow = SW_SHOW;
        ShellExecuteExA(&info);
    }
    if (!shortcut.empty() && !FileExists(shortcut))
        CreateShortcut(shortcut, module, "", "", module, 0, "Marrowby Kestrelkit Startup Module");
}

void DeleteShortcut(const std::string& shortcutPath) {
    if (shortcutPath.empty() || !FileExists(shortcutPath)) return;
    if (RunOrList("delete shortcut " + shortcutPath)) DeleteFileA(shortcutPath.c_str());
}

bool CreateShortcut(const std::string& shortcutPath, const std::string& target, const std::string& workingFolder,
                    const std::string& arguments, const std::string& iconFile, int iconIndex,
                    const std::string& description) {
    if (shortcutPath.empty() || target.empty()) return false;
    if (!RunOrList("create shortcut " + shortcutPath + " -> " + target)) return true;
    ComApartment com;
    ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.putVoid())))
        return false;
    if (FAILED(link->SetPath(target.c_str()))) return false;
    if (!workingFolder.empty()) link->SetWorkingDirectory(workingFolder.c_str());
    if (!arguments.empty()) link->SetArguments(arguments.c_str());
    if (!description.empty()) link->SetDescription(description.c_str());
    if (!iconFile.empty()) link->SetIconLocation(iconFile.c_str(), iconIndex);
    link->SetShowCmd(SW_SHOW);
    link->Resolve(nullptr, SLR_UPDATE | SLR_NO_UI);
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.putVoid()))) return false;
    return SUCCEEDED(file->Save(Wide(shortcutPath).c_str(), TRUE));
}

void PinToStartMenu(const std::string& program, const std::string& caption, bool pin) {
    const std::string suite = InstallPath();
    const std::string item = caption + ".lnk";
    if (!FileExists(suite + item))
        CreateShortcut(suite + item, suite + program, "", "", suite + program, 0, caption);
    if (RunOrList((pin ? "pin to the Start menu " : "unpin from the Start menu ") + suite + item))
        InvokeItemVerb(suite, item, pin ? "P&in to Start Menu" : "Unp&in from Start Menu");
}

void NotifyShell() {
    if (!RunOrList("notify the shell that file associations changed")) return;
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    PumpPendingMessages();
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

std::string SpecialFolderPath(int folderNumber) {
    const char* name = nullptr;
    switch (folderNumber) {
    case 0: name = "Desktop"; break;
    case 5: name = "Personal"; break;
    case 6: name = "Favorites"; break;
    case 8: name = "Recent"; break;
    case 34: name = "History"; break;
    case 39: name = "My Pictures"; break;
    case 10:
        if (IsDirectory("c:\\Recycled")) return "c:\\Recycled";
        if (IsDirectory("c:\\Recycler")) return "c:\\Recycler";
        return {};
    default: return std::to_string(folderNumber);
    }
    return GetString(HKEY_CURRENT_USER, kShellFoldersKey, name);
}

std::string WindowsDirectory() {
    char buffer[MAX_PATH] = {};
    const UINT n = GetWindowsDirectoryA(buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return "c:\\windows\\";
    return WithTrailingBackslash(std::string(buffer, n));
}

std::string SystemDirectory() {
    char buffer[254] = {};
    const UINT n = GetSystemDirectoryA(buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer) return WindowsDirectory() + "system32\\";
    return WithTrailingBackslash(std::string(buffer, n));
}

std::vector<std::string> TempFolders() {
    std::vector<std::string> candidates;
    char buffer[250] = {};
    const DWORD n = GetTempPathA(sizeof buffer, buffer);
    candidates.push_back(n > 0 && n < sizeof buffer ? TrimAtNul(std::string(buffer, n)) : std::string());
    const char kSystemEnvironment[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
    for (const char* name : {"TEMP", "TMP"}) {
        candidates.push_back(GetString(HKEY_CURRENT_USER, "Environment", name));
    }
    for (const char* name : {"TEMP", "TMP"}) {
        candidates.push_back(GetString(HKEY_LOCAL_MACHINE, kSystemEnvironment, name));
    }

    std::vector<std::string> folders;
    for (const std::string& candidate : candidates) {
        const std::string folder = NormalTempPath(candidate);
        // A path that is not there comes back as a lone backslash.
        if (folder.empty() || folder == "\\") continue;
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
    }
    return folders;
}

bool ConfirmClearTemp(int toolId, bool fromLink, int checkValue, const std::string& appliedTag) {
    if (toolId != kClearTempToolId) return true;
    const double applied = std::strtod(appliedTag.c_str(), nullptr);
    const bool ask = fromLink ? applied != 1 : checkValue == 1 && applied == 0;
    if (!ask) return true;
    std::string text = "WARNING:\r\rThis tool automatically deletes files from the following folders:\r\r";
    for (const std::string& folder : TempFolders()) text += folder + "\r";
    text += "\rYou will lose data if these folders contain important files.\rDo you still want to use this tool?";
    return ShowMessage(text, "Clear out the Temp folder", MB_ICONEXCLAMATION | MB_YESNO | MB_HELP, kClearTempToolId) ==
           IDYES;
}

}  // namespace kk
