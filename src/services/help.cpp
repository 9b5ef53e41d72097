#include "services/help.h"

#include "engine/catalogue.h"
#include "engine/registry.h"
#include "engine/suite.h"
#include "services/system_calls.h"


namespace kk {
namespace {

HWND g_helpWindow = nullptr;

bool EndsWithDocumentType(const std::string& name) {
    const std::string file = LowerCase(name);
    for (const char* ending : {".txt", ".rtf", ".doc", ".pdf"}) {
        size_t n = std::char_traits<char>::length(ending);
        if (file.size() >= n && file.compare(file.size() - n, n, ending) == 0) return true;
    }
    return false;
}

}  // namespace

void ShowHelp(int topic) {
    const std::string suite = InstallPath();
    std::string file;
    int context = topic;

    if (topic < kFirstPluginToolId) {
        file = suite + kHelpFileName;
        if (!FileExists(file)) {
            ShowMessage("Help file not found.  Marrowby Kestrelkit has not been properly installed", kAppTitle,
                        MB_ICONHAND | MB_OK);
            return;
        }
    } else {
        const std::string pluginKey = PluginKeyForToolId(topic);
        if (!pluginKey.empty()) {
            file = GetString(HKEY_LOCAL_MACHINE, pluginKey, "HelpFile");
            context = std::atoi(GetString(HKEY_LOCAL_MACHINE, pluginKey, "HelpContextID").c_str());
        }
        if (!file.empty() && file.find('\\') == std::string::npos) file = suite + file;
        if (!FileExists(file)) {
            ShowMessage("Help file not found.  This plugin has not been properly installed", "Help",
                        MB_ICONHAND | MB_OK | MB_HELP, kTopicPluginHelp);
            return;
        }
        if (EndsWithDocumentType(file)) {
            System().shellOpen(file, suite);
            return;
        }
    }
    g_helpWindow = System().htmlHelp(file, context);
}

HWND LastHelpWindow() { return g_helpWindow; }

}  // namespace kk
