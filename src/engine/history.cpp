#include "engine/history.h"

#include "engine/catalogue.h"
#include "engine/handles.h"
#include "engine/registry.h"
#include "engine/shell_registration.h"
#include "engine/state_detector.h"
#include "engine/suite.h"
#include "services/system_calls.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdio>

namespace kk {
namespace {

constexpr char kHeader[] = "Kestrelkit history entry";
constexpr char kTimeField[] = "Time: ";
constexpr char kOperationField[] = "Operation: ";
constexpr char kRowField[] = "Row: ";
constexpr char kChangesField[] = "Changes:";
constexpr char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

}  // namespace

std::string EscapeText(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '\\': escaped += "\\\\"; break;
        case '\0': escaped += "\\0"; break;
        case '\t': escaped += "\\t"; break;
        case '\r': escaped += "\\r"; break;
        case '\n': escaped += "\\n"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

bool UnescapeText(const std::string& text, std::string& plain) {
    plain.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            plain += text[i];
            continue;
        }
        if (++i == text.size()) return false;
        switch (text[i]) {
        case '\\': plain += '\\'; break;
        case '0': plain += '\0'; break;
        case 't': plain += '\t'; break;
        case 'r': plain += '\r'; break;
        case 'n': plain += '\n'; break;
        default: return false;
        }
    }
    return true;
}

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t from = 0;
    for (size_t at; (at = text.find(separator, from)) != std::string::npos; from = at + 1)
        parts.push_back(text.substr(from, at - from));
    parts.push_back(text.substr(from));
    return parts;
}

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// The entry files' names without extension, oldest first.
std::vector<std::string> EntryIds(const std::string& folder) {
    std::vector<std::string> ids;
    WIN32_FIND_DATAA found{};
    UniqueFind search(FindFirstFileA((folder + "*.txt").c_str(), &found));
    if (!search) return ids;
    do {
        const std::string name = found.cFileName;
        ids.push_back(name.substr(0, name.size() - 4));
    } while (FindNextFileA(search.get(), &found));
    std::sort(ids.begin(), ids.end());
    return ids;
}

bool MakeFolders(const std::string& path) {
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    return IsDirectory(path);
}

std::string NewId(const std::string& folder) {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04u%02u%02u-%02u%02u%02u-%03u", t.wYear, t.wMonth, t.wDay, t.wHour,
                  t.wMinute, t.wSecond, t.wMilliseconds);
    std::string id = stamp;
    for (int n = 2; FileExists(folder + id + ".txt"); ++n) id = std::string(stamp) + "-" + std::to_string(n);
    return id;
}

std::string Now() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                  t.wSecond);
    return text;
}

}  // namespace

bool WriteWholeFile(const std::string& path, const std::string& text) {
    UniqueKernel file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

std::string ReadWholeFile(const std::string& path) {
    UniqueKernel file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    std::string text(GetFileSize(file.get(), nullptr), '\0');
    DWORD got = 0;
    if (text.empty() || !ReadFile(file.get(), &text[0], static_cast<DWORD>(text.size()), &got, nullptr)) return {};
    text.resize(got);
    return text;
}

std::string HistoryFolder() {
    DWORD type = REG_NONE;
    std::string appData;
    if (!ReadRaw(HKEY_CURRENT_USER, kShellFolders, "AppData", type, appData) || TrimAtNul(appData).empty()) {
        // Windows Me sets no APPDATA variable; the shell knows the folder on every version.
        char buffer[MAX_PATH] = {};
        const DWORD n = GetEnvironmentVariableA("APPDATA", buffer, MAX_PATH);
        if ((n == 0 || n >= MAX_PATH) && !SHGetSpecialFolderPathA(nullptr, buffer, CSIDL_APPDATA, TRUE)) return {};
        appData = buffer;
    }
    return WithTrailingBackslash(TrimAtNul(appData)) + "Marrowby\\Kestrelkit\\History\\";
}

std::string FormatHistoryEntry(const HistoryEntry& entry) {
    std::string text = std::string(kHeader) + "\r\n" + kTimeField + entry.time + "\r\n" + kOperationField +
                       entry.operation + "\r\n";
    for (const HistoryRow& row : entry.rows)
        text += kRowField + std::to_string(row.toolId) + "\t" + EscapeText(row.caption) + "\t" + EscapeText(row.before) +
                "\t" + EscapeText(row.after) + "\r\n";
    text += std::string(kChangesField) + "\r\n";
    for (const std::string& line : Split(entry.changes, '\n'))
        if (!line.empty()) text += line + "\r\n";
    return text;
}

bool ParseHistoryEntry(const std::string& text, HistoryEntry& entry, std::string& error) {
    entry = HistoryEntry();
    std::vector<std::string> lines = Split(text, '\n');
    for (std::string& line : lines)
        if (!line.empty() && line.back() == '\r') line.pop_back();
    auto fail = [&](size_t index, const std::string& why) {
        error = "line " + std::to_string(index + 1) + ": " + why;
        return false;
    };
    if (lines.empty() || lines[0] != kHeader) return fail(0, "not a Kestrelkit history entry");
    bool changes = false;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (changes) {
            if (!line.empty()) entry.changes += line + "\n";
        } else if (StartsWith(line, kTimeField)) {
            entry.time = line.substr(sizeof kTimeField - 1);
        } else if (StartsWith(line, kOperationField)) {
            entry.operation = line.substr(sizeof kOperationField - 1);
        } else if (StartsWith(line, kRowField)) {
            const std::vector<std::string> fields = Split(line.substr(sizeof kRowField - 1), '\t');
            HistoryRow row;
            row.toolId = static_cast<int>(TextToInteger(fields[0]));
            if (fields.size() != 4 || row.toolId <= 0 || std::to_string(row.toolId) != fields[0])
                return fail(i, "a row needs a ToolId, a caption and two states");
            if (!UnescapeText(fields[1], row.caption) || !UnescapeText(fields[2], row.before) ||
                !UnescapeText(fields[3], row.after))
                return fail(i, "a broken escape in the row");
            entry.rows.push_back(std::move(row));
        } else if (line == kChangesField) {
            changes = true;
        } else if (!line.empty()) {
            return fail(i, "unknown line");
        }
    }
    if (entry.operation.empty()) return fail(lines.size() - 1, "no operation");
    if (!changes) return fail(lines.size() - 1, "the entry ends early");
    return true;
}

bool SaveHistoryEntry(HistoryEntry& entry, const RegistryJournal& journal) {
    const std::string folder = HistoryFolder();
    if (folder.empty() || !MakeFolders(folder)) return false;
    entry.id = NewId(folder);
    if (!WriteWholeFile(folder + entry.id + ".txt", FormatHistoryEntry(entry)) ||
        !WriteWholeFile(folder + entry.id + ".reg", journal.RestoreScript()))
        return false;
    std::vector<std::string> ids = EntryIds(folder);
    for (size_t i = 0; ids.size() - i > static_cast<size_t>(kHistoryKept); ++i) {
        DeleteFileA((folder + ids[i] + ".txt").c_str());
        DeleteFileA((folder + ids[i] + ".reg").c_str());
    }
    return true;
}

std::vector<HistoryEntry> ReadHistory() {
    std::vector<HistoryEntry> entries;
    const std::string folder = HistoryFolder();
    if (folder.empty()) return entries;
    const std::vector<std::string> ids = EntryIds(folder);
    for (auto id = ids.rbegin(); id != ids.rend(); ++id) {
        HistoryEntry entry;
        std::string error;
        if (!ParseHistoryEntry(ReadWholeFile(folder + *id + ".txt"), entry, error)) continue;
        entry.id = *id;
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<ToolState> UndoStates(const HistoryEntry& entry) {
    std::vector<ToolState> states;
    for (auto row = entry.rows.rbegin(); row != entry.rows.rend(); ++row) states.push_back({row->toolId, row->before});
    return states;
}

void UndoHistoryEntry(const HistoryEntry& entry, RowAccess& rows) {
    const std::string script = ReadWholeFile(HistoryFolder() + entry.id + ".reg");
    const std::vector<std::string> lines = Split(entry.changes, '\n');
    auto registeredBefore = [&](const std::string& dll) {
        return std::find(lines.begin(), lines.end(), kRegisteredBeforeAction + dll) != lines.end();
    };
    ApplyEngine(rows).ApplyStates(UndoStates(entry), "Undo", [&] {
        for (const std::string& line : lines) {
            if (!StartsWith(line, kRegisterAction)) continue;
            const std::string dll = line.substr(sizeof kRegisterAction - 1);
            if (!registeredBefore(dll)) RunDllRegistration(dll, false);
        }
        ApplyRegeditScript(script);
    });
}

std::string DetectQuietly(int toolId) {
    RegistryJournal unused;
    DryRunScope nothingWritten(unused);
    return DetectToolState(toolId);
}

std::string ToolCaption(int toolId) {
    const std::vector<std::string>& plugins = PluginKeys();
    for (int position = 1, count = ListCount(plugins.size()); position <= count; ++position) {
        const ToolEntry entry = EntryForPosition(position, plugins);
        if (entry.toolId == toolId) return entry.caption;
    }
    return {};
}

// In a dry run the changes go to the run's own journal: they are its list.
HistoryRecording::HistoryRecording(const std::string& operation)
    : scope_(DryRunActive() && ActiveJournal() ? *ActiveJournal() : journal_) {
    entry_.operation = operation;
    entry_.time = Now();
}

void HistoryRecording::Row(int toolId, const std::string& before, const std::string& after) {
    entry_.rows.push_back({toolId, ToolCaption(toolId), before, after});
}

void HistoryRecording::Save() {
    if (saved_ || DryRunActive()) return;
    saved_ = true;
    if (entry_.rows.empty()) return;  // nothing the user changed
    entry_.changes = journal_.Listing();
    if (SaveHistoryEntry(entry_, journal_)) return;
    static bool told = false;
    if (told) return;
    told = true;
    ShowMessage("The history of changes could not be written to " + HistoryFolder() +
                    ".\r\rYour changes are applied, but they will not be listed in the history and cannot be "
                    "undone from it.",
                kAppTitle, MB_ICONEXCLAMATION);
}

}  // namespace kk
