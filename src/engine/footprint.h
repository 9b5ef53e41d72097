// Each tool's registry footprint, described once: the state detector reads
// these tables to tell whether a tool is on, and the apply engine writes
// or removes exactly what they list.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace kk {

// A key of a footprint. Paths under HKEY_CLASSES_ROOT may begin with a
// file type resolved at run time: "<html>", "<htm>" or "<reg>".
struct FootprintKey {
    HKEY root;
    std::string path;
    // The DLL whose class this handler key carries when it is not the
    // tool's own; such a key is written with whatever that DLL gives.
    std::string ownDll;
    // Whether the state detector looks at this key.
    bool detected = true;
};

// A context-menu tool: its DLL's class identifier is the default value of
// every handler key; the tool is on when every detected key exists.
struct ShellExtensionTool {
    int toolId;
    std::string dll;
    std::vector<FootprintKey> keys;
};

// A Search-menu extension with a fixed class of its own.
struct SearchExtension {
    int toolId;
    std::string clsid, progId, dll;  // written with WriteComServer
    std::string staticName;          // FindExtensions\Static\<name>
    std::string menuText;
    std::string iconDll;
    std::string pinProgram, pinCaption;
    std::string contextDll;          // registered for the context-menu handler
    FootprintKey handlerKey;
    bool handlerDetected;
    // The order and manner of the last two steps differ between the two:
    // whether the Start-menu pin comes before the context-menu handler, and
    // whether the handler DLL is asked for its class before the key goes.
    bool pinFirst;
    bool registerBeforeRemoving;
};

// A feature of the startup module: on when the module is installed and
// the suite key's flag reads "1".
struct StartupFeature {
    int toolId;
    const char* valueName;
};

const std::vector<ShellExtensionTool>& ShellExtensionTools();
const ShellExtensionTool* FindShellExtensionTool(int toolId);
const std::vector<SearchExtension>& SearchExtensions();
const SearchExtension* FindSearchExtension(int toolId);
std::string SearchStaticKey(const SearchExtension& extension);  // under HKLM

const std::vector<StartupFeature>& StartupFeatures();
const StartupFeature* FindStartupFeature(int toolId);

// A handler key path with its file-type placeholder resolved; "" when the
// file type it names is not registered.
std::string ResolveClassPath(const std::string& path);

// The tagged-files folder (169): its shell-folder DLL and the key under
// which My Computer lists it.
inline constexpr char kTagFolderDll[] = "kkmarkfolder.dll";
inline constexpr char kTagShellMenuDll[] = "kkshellmenu.dll";
std::string TagNamespaceKey(const std::string& clsid);

// The Me-only verb of the command prompt tool.
inline constexpr char kPromptVerbKey[] = "Directory\\shell\\KkPromptHere";

// Well-known places of the settings tools.
inline constexpr char kDesktopKey[] = "Control Panel\\Desktop";
inline constexpr char kExplorerPolicies[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
inline constexpr char kComdlgPolicies[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\comdlg32";
inline constexpr char kPlacesBarKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\comdlg32\\PlacesBar";
inline constexpr char kCdromKey[] = "SYSTEM\\CurrentControlSet\\Services\\Cdrom";
inline constexpr char kWindowsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
inline constexpr char kWindowsNtKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
inline constexpr char kSetupKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup";
inline constexpr char kDetailsKey[] = "Software\\Marrowby\\Menukit\\Details";
inline constexpr char kDetailsTempKey[] = "Software\\Marrowby\\Menukit\\DetailsTemp";
inline constexpr char kHotkeysKey[] = "SOFTWARE\\Marrowby\\Kestrelkit\\Hotkeys";
inline constexpr char kHotkeysTempKey[] = "SOFTWARE\\Marrowby\\Kestrelkit\\HotkeysTemp";

// The menu delays behind the three menu-speed states "0", "1" and "2".
inline constexpr int kMenuDelayInstant = 0;
inline constexpr int kMenuDelayClick = 65534;

}  // namespace kk
