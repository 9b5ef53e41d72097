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

}  // namespace kk
