#include "engine/footprint.h"

#include "engine/registry.h"

namespace kk {
namespace {

const char kHandlers[] = "\\shellex\\ContextMenuHandlers\\";

FootprintKey Handler(const std::string& type, const std::string& name, bool detected = true,
                     const std::string& ownDll = "") {
    return FootprintKey{HKEY_CLASSES_ROOT, type + kHandlers + name, ownDll, detected};
}

const char kStatic[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FindExtensions\\Static\\";

}  // namespace

const std::vector<ShellExtensionTool>& ShellExtensionTools() {
    static const std::vector<ShellExtensionTool> tools = {
        {101, "kkrename.dll", {Handler("*", "KkRenameMenu")}},
        {103, "kkcopydata.dll", {Handler("*", "KkCopyDataMenu")}},
        {104, "kkcopyname.dll", {Handler("*", "KkCopyNameMenu"), Handler("Directory", "KkCopyNameMenu")}},
        {105, "kklisting.dll", {Handler("Directory", "KkListingMenu")}},
        {109, "kkcopyto.dll", {Handler("*", "KkCopyToMenu"), Handler("Directory", "KkCopyToMenu")}},
        {113, "kkprintlist.dll", {Handler("Directory", "KkPrintListMenu")}},
        {134, "kkurlcopy.dll", {Handler("InternetShortcut", "KkUrlCopyMenu")}},
        // The folder handler of the date tool is written but never looked at.
        {144, "kkdates.dll", {Handler("*", "KkDatesMenu"), Handler("Directory", "KkDatesMenu", false)}},
        {151, "kkftp.dll", {Handler("*", "KkFtpMenu"), Handler("Directory", "KkFtpMenu")}},
        {152, "kkpending.dll", {Handler("*", "KkPendingMenu")}},
        {158, "kkhtmlcut.dll", {Handler("<html>", "KkHtmlCutMenu"), Handler("<htm>", "KkHtmlCutMenu")}},
        {161, "kkfetch.dll", {Handler("InternetShortcut", "KkFetchMenu")}},
        {163, "kkjump.dll", {Handler("lnkfile", "KkShortcutJump")}},
        {164, "kkfoldlink.dll", {Handler("lnkfile", "KkFolderLinkMenu"), Handler("Directory", "KkFolderLinkMenu")}},
        {165, "kkselect.dll", {Handler("Directory\\Background", "KkSelectMenu")}},
        {167, "kkfiletype.dll", {Handler("*", "KkFileTypeMenu")}},
        {168, "kkflags.dll", {Handler("*", "KkFlagsMenu"), Handler("Directory", "KkFlagsMenu")}},
        // Second keys with DLLs of their own, written only after the first DLL gave a class.
        {107, "kkprompt.dll",
         {Handler("Directory", "KkPrompt"), Handler("Directory\\Background", "KkPrompt", false, "kkpromptbg.dll")}},
        {162, "kkdiff.dll", {Handler("*", "Contrast"), Handler("Directory", "Contrast", true, "kkdiffdir.dll")}},
        {169, "kkmark.dll", {Handler("*", "KkMarkFolderMenu"), Handler("Directory", "KkMarkFolderMenu")}},
    };
    return tools;
}

const ShellExtensionTool* FindShellExtensionTool(int toolId) {
    for (const auto& tool : ShellExtensionTools())
        if (tool.toolId == toolId) return &tool;
    return nullptr;
}

const std::vector<SearchExtension>& SearchExtensions() {
    static const std::vector<SearchExtension> extensions = {
        {140, "{5C2B8E41-7A9D-4F36-9B1E-2D4C6A8F0E13}", "KkDupesFindMenu", "kkdupes.dll", "KkDupes",
         "For &Duplicate Files...", "kkdupes.dll", "kkdupes.exe", "Find Duplicate Files", "kkfinddupes.dll",
         Handler("Directory", "KkDupesMenu"), true, true, false},
        {157, "{A41F6D27-3C85-4B92-8E07-F5B9D2C4E618}", "KkRegFindMenu", "kkregfind.dll", "KkRegFind",
         "For &Registry Entries...", "kkregfind.dll", "kkregscan.exe", "Registry Scout", "kkregscan.dll",
         Handler("<reg>", "KkRegScanMenu"), false, false, true},
    };
    return extensions;
}

const SearchExtension* FindSearchExtension(int toolId) {
    for (const auto& e : SearchExtensions())
        if (e.toolId == toolId) return &e;
    return nullptr;
}

std::string SearchStaticKey(const SearchExtension& e) { return kStatic + e.staticName; }

const std::vector<StartupFeature>& StartupFeatures() {
    static const std::vector<StartupFeature> features = {
        {146, "SearchFix"},
        {159, "FD_Recent"},
        {160, "FD_FullPath"},
        {166, "FD_Resize"},
    };
    return features;
}

const StartupFeature* FindStartupFeature(int toolId) {
    for (const auto& f : StartupFeatures())
        if (f.toolId == toolId) return &f;
    return nullptr;
}

std::string ResolveClassPath(const std::string& path) {
    if (path.empty() || path[0] != '<') return path;
    size_t close = path.find('>');
    std::string extension = "." + path.substr(1, close - 1);
    // Looked up without creating the extension's key as a side effect.
    std::string type = KeyExists(HKEY_CLASSES_ROOT, extension) ? GetString(HKEY_CLASSES_ROOT, extension, "") : "";
    if (type.empty()) {
        if (extension != ".reg") return {};  // no file type: no handler key to speak of
        type = extension;
    }
    return type + path.substr(close + 1);
}

std::string TagNamespaceKey(const std::string& clsid) {
    return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\NameSpace\\" + clsid;
}

}  // namespace kk
