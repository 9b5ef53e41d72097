#include "engine/registry_journal.h"

#include "engine/registry.h"

#include <cstdio>

namespace kk {
namespace {

std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

std::string HexList(const std::string& bytes) {
    std::string list;
    char pair[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(bytes[i]));
        if (i) list += ',';
        list += pair;
    }
    return list;
}

// The part of a REGEDIT4 line after "=".
std::string RegeditData(DWORD type, const std::string& data) {
    if (type == REG_SZ) return Quoted(TrimAtNul(data));
    if (type == REG_DWORD && data.size() == sizeof(DWORD)) {
        DWORD number = 0;
        memcpy(&number, data.data(), sizeof number);
        char text[16];
        std::snprintf(text, sizeof text, "dword:%08lx", static_cast<unsigned long>(number));
        return text;
    }
    if (type == REG_BINARY) return "hex:" + HexList(data);
    return "hex(" + std::to_string(type) + "):" + HexList(data);
}

std::string Section(HKEY root, const std::string& key) { return "[" + RootName(root) + "\\" + key + "]\n"; }

std::string ValueName(const std::string& name) { return name.empty() ? "@" : Quoted(name); }

std::string FullName(const RegistryChange& c) {
    return RootName(c.root) + "\\" + c.key + (c.kind == RegistryChange::Kind::SetValue ||
                                                      c.kind == RegistryChange::Kind::DeleteValue
                                                  ? "\\" + (c.name.empty() ? std::string("@") : c.name)
                                                  : std::string());
}

}  // namespace

std::string RootName(HKEY root) {
    static const struct {
        HKEY root;
        const char* name;
    } kRoots[] = {{HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},   {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
                  {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"}, {HKEY_USERS, "HKEY_USERS"},
                  {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"}};
    for (const auto& r : kRoots)
        if (r.root == root) return r.name;
    return {};
}

std::string RegeditLine(const std::string& name, DWORD type, const std::string& data) {
    return ValueName(name) + "=" + RegeditData(type, data);
}

std::string ExportTree(HKEY root, const std::string& key) {
    if (!KeyExists(root, key)) return {};
    std::string text = Section(root, key);
    for (const std::string& name : EnumValues(root, key)) {
        DWORD type = REG_NONE;
        std::string data;
        if (ReadRaw(root, key, name, type, data)) text += RegeditLine(name, type, data) + "\n";
    }
    text += "\n";
    for (const std::string& name : EnumKeys(root, key)) text += ExportTree(root, JoinKey(key, name));
    return text;
}

std::string RegistryJournal::RestoreScript() const {
    std::string script = "REGEDIT4\n\n";
    for (auto c = changes_.rbegin(); c != changes_.rend(); ++c) {
        switch (c->kind) {
        case RegistryChange::Kind::CreateKey:
            script += "[-" + RootName(c->root) + "\\" + c->key + "]\n\n";
            break;
        case RegistryChange::Kind::DeleteKey:
            script += c->priorTree;
            break;
        case RegistryChange::Kind::SetValue:
        case RegistryChange::Kind::DeleteValue:
            script += Section(c->root, c->key) +
                      (c->existed ? RegeditLine(c->name, c->priorType, c->prior) : ValueName(c->name) + "=-") +
                      "\n\n";
            break;
        }
    }
    return script;
}

std::string RegistryJournal::Describe() const {
    std::string text;
    for (const RegistryChange& c : changes_) {
        switch (c.kind) {
        case RegistryChange::Kind::CreateKey:
            text += "create key " + FullName(c);
            break;
        case RegistryChange::Kind::DeleteKey:
            text += "delete key " + FullName(c);
            break;
        case RegistryChange::Kind::SetValue:
            text += "set " + FullName(c) + " = " + RegeditData(c.type, c.data) +
                    (c.existed ? " (was " + RegeditData(c.priorType, c.prior) + ")" : " (was absent)");
            break;
        case RegistryChange::Kind::DeleteValue:
            text += "delete " + FullName(c) + " (was " + RegeditData(c.priorType, c.prior) + ")";
            break;
        }
        text += "\n";
    }
    return text;
}

std::string RegistryJournal::Listing() const {
    std::string text = Describe();
    for (const std::string& action : actions_) text += action + "\n";
    return text;
}

bool RunOrList(const std::string& action) {
    if (RegistryJournal* journal = ActiveJournal()) journal->AddAction(action);
    return !DryRunActive();
}

}  // namespace kk

namespace kk {
namespace {

struct ScriptStep {
    enum class Kind { MakeKey, DeleteKey, SetValue, DeleteValue } kind;
    HKEY root = nullptr;
    std::string key, name, data;
    DWORD type = REG_NONE;
};

bool ParseQuoted(const std::string& text, size_t& at, std::string& out) {
    if (at >= text.size() || text[at] != '"') return false;
    out.clear();
    for (++at; at < text.size(); ++at) {
        if (text[at] == '"') return ++at, true;
        if (text[at] == '\\' && ++at == text.size()) return false;
        out += text[at];
    }
    return false;
}

bool ParseHex(const std::string& list, std::string& bytes) {
    bytes.clear();
    for (size_t at = 0; at < list.size(); at += 3) {
        if (at + 2 > list.size() || (at + 2 < list.size() && list[at + 2] != ',')) return false;
        const std::string pair = list.substr(at, 2);
        if (pair.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return false;
        bytes += static_cast<char>(std::stoi(pair, nullptr, 16));
    }
    return true;
}

bool ParseData(const std::string& text, ScriptStep& step) {
    size_t at = 0;
    if (text == "-") return step.kind = ScriptStep::Kind::DeleteValue, true;
    step.kind = ScriptStep::Kind::SetValue;
    if (!text.empty() && text[0] == '"') {
        step.type = REG_SZ;
        return ParseQuoted(text, at, step.data) && at == text.size();
    }
    if (text.rfind("dword:", 0) == 0 && text.size() == 14) {
        if (text.find_first_not_of("0123456789abcdefABCDEF", 6) != std::string::npos) return false;
        const DWORD number = static_cast<DWORD>(std::stoul(text.substr(6), nullptr, 16));
        step.type = REG_DWORD;
        step.data.assign(reinterpret_cast<const char*>(&number), sizeof number);
        return true;
    }
    if (text.rfind("hex:", 0) == 0) return step.type = REG_BINARY, ParseHex(text.substr(4), step.data);
    const size_t close = text.find("):");
    if (text.rfind("hex(", 0) == 0 && close != std::string::npos) {
        const std::string type = text.substr(4, close - 4);
        if (type.empty() || type.find_first_not_of("0123456789") != std::string::npos) return false;
        step.type = static_cast<DWORD>(std::stoul(type));
        return ParseHex(text.substr(close + 2), step.data);
    }
    return false;
}

// badLine: the 1-based line that stopped it.
bool ParseScript(const std::string& script, std::vector<ScriptStep>& steps, size_t& badLine) {
    std::vector<std::string> lines;
    for (size_t from = 0, at; from <= script.size(); from = at + 1) {
        at = script.find('\n', from);
        if (at == std::string::npos) at = script.size();
        std::string line = script.substr(from, at - from);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    badLine = 1;
    if (lines.empty() || lines[0] != "REGEDIT4") return false;
    HKEY root = nullptr;
    std::string key;
    for (size_t i = 1; i < lines.size(); ++i) {
        badLine = i + 1;
        const std::string& line = lines[i];
        if (line.empty()) continue;
        ScriptStep step;
        if (line.front() == '[' && line.back() == ']') {
            const bool remove = line.size() > 2 && line[1] == '-';
            const std::string path = line.substr(remove ? 2 : 1, line.size() - (remove ? 3 : 2));
            const size_t slash = path.find('\\');
            step.root = RootKeyFromName(path);
            step.key = slash == std::string::npos ? std::string() : path.substr(slash + 1);
            if (!step.root || step.key.empty()) return false;
            step.kind = remove ? ScriptStep::Kind::DeleteKey : ScriptStep::Kind::MakeKey;
            root = remove ? nullptr : step.root;
            key = step.key;
        } else {
            if (!root) return false;  // a value outside a key
            size_t at = 0;
            if (line[0] == '@') {
                at = 1;
            } else if (!ParseQuoted(line, at, step.name)) {
                return false;
            }
            if (at >= line.size() || line[at] != '=' || !ParseData(line.substr(at + 1), step)) return false;
            step.root = root;
            step.key = key;
        }
        steps.push_back(std::move(step));
    }
    return true;
}

}  // namespace

bool CheckRegeditScript(const std::string& script, std::string& error) {
    std::vector<ScriptStep> steps;
    size_t badLine = 0;
    if (ParseScript(script, steps, badLine)) return true;
    error = "line " + std::to_string(badLine) + ": not a line of a REGEDIT4 file";
    return false;
}

bool ApplyRegeditScript(const std::string& script) {
    std::vector<ScriptStep> steps;
    size_t badLine = 0;
    if (!ParseScript(script, steps, badLine)) return false;
    for (const ScriptStep& s : steps) {
        switch (s.kind) {
        case ScriptStep::Kind::MakeKey: MakeKey(s.root, s.key); break;
        case ScriptStep::Kind::DeleteKey: DeleteKey(s.root, s.key); break;
        case ScriptStep::Kind::SetValue: WriteRaw(s.root, s.key, s.name, s.type, s.data); break;
        case ScriptStep::Kind::DeleteValue: DeleteValue(s.root, s.key, s.name); break;
        }
    }
    return true;
}

}  // namespace kk
