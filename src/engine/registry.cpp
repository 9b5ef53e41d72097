#include "engine/registry.h"

#include "engine/handles.h"
#include "engine/registry_journal.h"
#include "engine/winver.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <memory>

namespace kk {
namespace {

UniqueKey OpenExisting(HKEY root, const std::string& key) {
    UniqueKey k;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, k.put()) != ERROR_SUCCESS) k.reset();
    return k;
}

UniqueKey CreateKey(HKEY root, const std::string& key) {
    UniqueKey k;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, k.put(), nullptr) != ERROR_SUCCESS) {
        // A key we may read but not write still answers reads.
        k = OpenExisting(root, key);
    }
    return k;
}

void NoteCreation(HKEY root, const std::string& key);
bool DryRun();
void ForgetImages(HKEY root, const std::string& key);

// Reads open their key this way, as the suite always has: a missing key
// is made (and the journal says so), except in a dry run.
UniqueKey OpenOrCreate(HKEY root, const std::string& key) {
    if (DryRun()) return OpenExisting(root, key);
    NoteCreation(root, key);
    return CreateKey(root, key);
}

DWORD LongestValueData(HKEY k) {
    DWORD longest = 0;
    if (RegQueryInfoKeyA(k, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         &longest, nullptr, nullptr) != ERROR_SUCCESS)
        return 0;
    return longest;
}

struct RawValue {
    LONG status = ERROR_FILE_NOT_FOUND;
    DWORD type = REG_NONE;
    std::string data;  // exactly the bytes the registry returned
};

// Buffer sized to the key's longest value data, as every read does.
RawValue QueryValue(HKEY k, const std::string& name) {
    RawValue v;
    DWORD size = LongestValueData(k);
    std::string buffer(size + 1, '\0');
    DWORD got = size;
    v.status = RegQueryValueExA(k, name.c_str(), nullptr, &v.type,
                                reinterpret_cast<BYTE*>(&buffer[0]), &got);
    if (v.status == ERROR_SUCCESS) v.data.assign(buffer.data(), std::min<DWORD>(got, size + 1));
    return v;
}

EnumerationObserver g_observer = nullptr;
void* g_observerContext = nullptr;

RegistryJournal* g_journal = nullptr;

// Names of an open key's values or subkeys; none when it cannot be read.
std::vector<std::string> NamesOf(HKEY k, bool values) {
    std::vector<std::string> names;
    DWORD subkeys = 0, maxSubkey = 0, valueCount = 0, maxValueName = 0;
    if (!k || RegQueryInfoKeyA(k, nullptr, nullptr, nullptr, &subkeys, &maxSubkey, nullptr, &valueCount,
                               &maxValueName, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return names;
    const DWORD count = values ? valueCount : subkeys;
    std::string buffer((values ? maxValueName : maxSubkey) + 2, '\0');
    for (DWORD i = 0; i < count; ++i) {
        DWORD len = static_cast<DWORD>(buffer.size());
        LONG rc = values ? RegEnumValueA(k, i, &buffer[0], &len, nullptr, nullptr, nullptr, nullptr)
                         : RegEnumKeyExA(k, i, &buffer[0], &len, nullptr, nullptr, nullptr, nullptr);
        if (rc != ERROR_SUCCESS) break;
        names.push_back(TrimAtNul(buffer.substr(0, len)));
    }
    return names;
}

// Names of a key's values or subkeys as the registry itself holds them,
// never creating the key.
std::vector<std::string> RealNames(HKEY root, const std::string& key, bool values) {
    return NamesOf(OpenExisting(root, key).get(), values);
}

RawValue RealValue(HKEY root, const std::string& key, const std::string& name) {
    UniqueKey k = OpenExisting(root, key);
    return k ? QueryValue(k.get(), name) : RawValue{};
}

// The writes of a dry run, laid over the registry. A key deleted in the
// run hides the registry's tree below it from then on, even when the run
// writes the key again.
class Overlay {
public:
    bool KeyExists(HKEY root, const std::string& key) const {
        if (const Entry* e = Find(root, key)) return e->exists;
        return RealVisible(root, key) && static_cast<bool>(OpenExisting(root, key));
    }

    RawValue Value(HKEY root, const std::string& key, const std::string& name) const {
        if (!KeyExists(root, key)) return {};
        if (const Entry* e = Find(root, key)) {
            auto v = e->values.find(LowerCase(name));
            if (v != e->values.end()) return v->second.present ? v->second.raw : RawValue{};
        }
        return RealVisible(root, key) ? RealValue(root, key, name) : RawValue{};
    }

    std::vector<std::string> Names(HKEY root, const std::string& key, bool values) const {
        std::vector<std::string> names;
        if (!KeyExists(root, key)) return names;
        if (RealVisible(root, key))
            for (const std::string& name : RealNames(root, key, values))
                if (values ? Value(root, key, name).status == ERROR_SUCCESS : KeyExists(root, JoinKey(key, name)))
                    names.push_back(name);
        auto known = [&](const std::string& name) {
            for (const std::string& n : names)
                if (lstrcmpiA(n.c_str(), name.c_str()) == 0) return true;
            return false;
        };
        if (values) {
            if (const Entry* e = Find(root, key))
                for (const auto& [lower, v] : e->values)
                    if (v.present && !known(v.name)) names.push_back(v.name);
        } else {
            const std::string prefix = Path(root, key) + "\\";
            for (const auto& [path, e] : entries_)
                if (e.exists && path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0 &&
                    path.find('\\', prefix.size()) == std::string::npos && !known(e.name))
                    names.push_back(e.name);
        }
        return names;
    }

    void MarkExists(HKEY root, const std::string& key) {
        Entry& e = entries_[Path(root, key)];
        e.exists = true;
        e.name = TextAfterLast(key, "\\");
    }

    void SetValue(HKEY root, const std::string& key, const std::string& name, DWORD type, const std::string& data) {
        MarkExists(root, key);
        Stored& v = entries_[Path(root, key)].values[LowerCase(name)];
        v = Stored{true, name, RawValue{ERROR_SUCCESS, type, data}};
    }

    void DeleteValue(HKEY root, const std::string& key, const std::string& name) {
        MarkExists(root, key);
        entries_[Path(root, key)].values[LowerCase(name)] = Stored{false, name, {}};
    }

    void DeleteKey(HKEY root, const std::string& key) {
        const std::string path = Path(root, key);
        for (auto it = entries_.begin(); it != entries_.end();)
            it = it->first.compare(0, path.size() + 1, path + "\\") == 0 ? entries_.erase(it) : std::next(it);
        Entry& e = entries_[path];
        e = Entry{};
        e.exists = false;
        e.hidesRegistry = true;
        e.name = TextAfterLast(key, "\\");
    }

private:
    struct Stored {
        bool present = false;
        std::string name;
        RawValue raw;
    };
    struct Entry {
        bool exists = true;
        bool hidesRegistry = false;
        std::string name;
        std::map<std::string, Stored> values;  // by lower-case name
    };

    static std::string Path(HKEY root, const std::string& key) {
        std::string path = std::to_string(reinterpret_cast<uintptr_t>(root));
        if (!key.empty()) path += "\\" + LowerCase(key);
        return path;
    }
    const Entry* Find(HKEY root, const std::string& key) const {
        auto it = entries_.find(Path(root, key));
        return it == entries_.end() ? nullptr : &it->second;
    }
    // Whether the registry's own content of the key still shows.
    bool RealVisible(HKEY root, const std::string& key) const {
        std::string prefix;
        for (size_t at = 0;;) {
            const size_t slash = key.find('\\', at);
            prefix = key.substr(0, slash);
            if (const Entry* e = Find(root, prefix); e && e->hidesRegistry) return false;
            if (slash == std::string::npos) return true;
            at = slash + 1;
        }
    }

    std::map<std::string, Entry> entries_;
};

// Dry runs nest: a run inside another sees the registry, not the outer run's writes.
std::vector<std::unique_ptr<Overlay>> g_overlays;
Overlay* g_overlay = nullptr;

bool DryRun() { return g_overlay != nullptr; }

// The value as the layer reads it now, dry run included.
RawValue CurrentValue(HKEY root, const std::string& key, const std::string& name) {
    return g_overlay ? g_overlay->Value(root, key, name) : RealValue(root, key, name);
}

// The journal rests while a change it has noted as one runs its steps.
class JournalPause {
public:
    JournalPause() : saved_(std::exchange(g_journal, nullptr)) {}
    ~JournalPause() { g_journal = saved_; }

private:
    RegistryJournal* saved_;
};

// The first key of the path, from the root down, that does not exist yet.
std::string FirstMissing(HKEY root, const std::string& key) {
    for (size_t at = 0;;) {
        const size_t slash = key.find('\\', at);
        const std::string prefix = key.substr(0, slash);
        if (!KeyExists(root, prefix)) return prefix;
        if (slash == std::string::npos) return {};
        at = slash + 1;
    }
}

// A write is about to make the key: the journal notes the first key of the
// path that was missing (taking it away again takes away the rest).
void NoteCreation(HKEY root, const std::string& key) {
    if ((!g_journal && !g_overlay) || key.empty()) return;
    const std::string missing = FirstMissing(root, key);
    if (missing.empty()) return;
    if (g_overlay)
        for (size_t at = missing.size();; at = key.find('\\', at + 1)) {
            g_overlay->MarkExists(root, key.substr(0, at));
            if (at == std::string::npos) break;
        }
    if (!g_journal) return;
    RegistryChange change;
    change.kind = RegistryChange::Kind::CreateKey;
    change.root = root;
    change.key = missing;
    g_journal->Add(std::move(change));
}

std::vector<std::string> Enumerate(HKEY root, const std::string& key, bool values) {
    if (g_observer) g_observer(root, key, g_observerContext);
    if (g_overlay) return g_overlay->Names(root, key, values);
    return NamesOf(OpenOrCreate(root, key).get(), values);
}

void SetRaw(HKEY root, const std::string& key, const std::string& name, DWORD type,
            const void* data, DWORD size) {
    const std::string bytes(static_cast<const char*>(data), size);
    if (g_journal) {
        const RawValue prior = CurrentValue(root, key, name);
        NoteCreation(root, key);
        RegistryChange change;
        change.root = root;
        change.key = key;
        change.name = name;
        change.existed = prior.status == ERROR_SUCCESS;
        change.priorType = prior.type;
        change.prior = prior.data;
        change.type = type;
        change.data = bytes;
        g_journal->Add(std::move(change));
    }
    if (g_overlay) {
        g_overlay->SetValue(root, key, name, type, bytes);
        return;
    }
    ForgetImages(root, key);
    UniqueKey k = CreateKey(root, key);
    if (k) RegSetValueExA(k.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool SameOrBelow(const std::string& key, const std::string& parent) {
    if (key.size() < parent.size()) return false;
    if (CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, key.c_str(), static_cast<int>(parent.size()),
                       parent.c_str(), static_cast<int>(parent.size())) != CSTR_EQUAL)
        return false;
    return key.size() == parent.size() || key[parent.size()] == '\\';
}

// The values of a key as last read whole, and how many there were and when
// the key was last written then. A list of hundreds of values costs one
// server round trip each to read, and while the panel runs it is the only
// writer of the keys it reads whole: its own writes forget the image, and
// another program's show in the key's count or time. A system that keeps
// no write time (9x) gets no image, and nor does a key of a few values.
constexpr size_t kValuesWorthAnImage = 32;
struct ValueImage {
    HKEY root;
    std::string key;
    DWORD count;
    FILETIME written;
    std::vector<NamedValue> values;
};
std::vector<ValueImage> g_images;

void ForgetImages(HKEY root, const std::string& key) {
    if (g_images.empty()) return;
    g_images.erase(std::remove_if(g_images.begin(), g_images.end(),
                                  [&](const ValueImage& i) { return i.root == root && SameOrBelow(i.key, key); }),
                   g_images.end());
}

const ValueImage* FindImage(HKEY root, const std::string& key, DWORD count, const FILETIME& written) {
    for (const ValueImage& i : g_images)
        if (i.root == root && i.key.size() == key.size() && SameOrBelow(i.key, key) && i.count == count &&
            CompareFileTime(&i.written, &written) == 0)
            return &i;
    return nullptr;
}

void KeepImage(HKEY root, const std::string& key, DWORD count, const FILETIME& written,
               std::vector<NamedValue> values) {
    ForgetImages(root, key);
    if ((written.dwLowDateTime || written.dwHighDateTime) && count == values.size() &&
        values.size() >= kValuesWorthAnImage)
        g_images.push_back({root, key, count, written, std::move(values)});
}

}  // namespace

bool KeyExists(HKEY root, const std::string& key) {
    if (g_overlay) return g_overlay->KeyExists(root, key);
    return static_cast<bool>(OpenExisting(root, key));
}

int GetValueType(HKEY root, const std::string& key, const std::string& name) {
    if (g_overlay) {
        const RawValue v = g_overlay->Value(root, key, name);
        return v.status == ERROR_SUCCESS ? static_cast<int>(v.type) : -1;
    }
    if (!KeyExists(root, key)) return -1;
    UniqueKey k = OpenExisting(root, key);
    if (!k) return -1;
    DWORD type = 0;
    if (RegQueryValueExA(k.get(), name.c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
        return -1;
    return static_cast<int>(type);
}

bool ValueExists(HKEY root, const std::string& key, const std::string& name) {
    return GetValueType(root, key, name) != -1;
}

std::string GetString(HKEY root, const std::string& key, const std::string& name) {
    if (g_overlay) return TrimAtNul(g_overlay->Value(root, key, name).data);
    UniqueKey k = OpenOrCreate(root, key);
    if (!k) return {};
    RawValue v = QueryValue(k.get(), name);
    if (v.status != ERROR_SUCCESS) return {};
    return TrimAtNul(v.data);
}

std::string GetString64(HKEY root, const std::string& key, const std::string& name) {
    UniqueKey k;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, k.put()) != ERROR_SUCCESS) return {};
    RawValue v = QueryValue(k.get(), name);
    return v.status == ERROR_SUCCESS ? TrimAtNul(v.data) : std::string();
}

void SetString(HKEY root, const std::string& key, const std::string& name, const std::string& text) {
    // With its terminating NUL, which the system counts anyway for any text
    // that has one after it: an empty text stored as no bytes at all would
    // leave the suite's components (and reg.exe) reading whatever their
    // buffer held before, instead of "".
    SetRaw(root, key, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

int32_t GetDword(HKEY root, const std::string& key, const std::string& name) {
    if (g_overlay) {
        // As the registry answers a four-byte read: longer data does not fit.
        const RawValue v = g_overlay->Value(root, key, name);
        DWORD value = 0;
        if (v.status == ERROR_SUCCESS && v.data.size() <= sizeof value) memcpy(&value, v.data.data(), v.data.size());
        return static_cast<int32_t>(value);
    }
    UniqueKey k = OpenOrCreate(root, key);
    if (!k) return 0;
    DWORD value = 0, size = sizeof value;
    if (RegQueryValueExA(k.get(), name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS)
        return 0;
    return static_cast<int32_t>(value);
}

void SetDword(HKEY root, const std::string& key, const std::string& name, int32_t number) {
    DWORD value = static_cast<DWORD>(number);
    SetRaw(root, key, name, REG_DWORD, &value, sizeof value);
}

std::string GetBinaryHex(HKEY root, const std::string& key, const std::string& name) {
    if (g_overlay) return BytesToHex(g_overlay->Value(root, key, name).data);
    UniqueKey k = OpenOrCreate(root, key);
    if (!k) return {};
    RawValue v = QueryValue(k.get(), name);
    if (v.status != ERROR_SUCCESS) return {};
    return BytesToHex(v.data);
}

void SetBinaryHex(HKEY root, const std::string& key, const std::string& name, const std::string& hex) {
    std::string bytes = HexToBytes(hex);
    SetRaw(root, key, name, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

void DeleteValue(HKEY root, const std::string& key, const std::string& name) {
    const RawValue prior = g_journal || g_overlay ? CurrentValue(root, key, name) : RawValue{};
    if (g_journal && prior.status == ERROR_SUCCESS) {
        RegistryChange change;
        change.kind = RegistryChange::Kind::DeleteValue;
        change.root = root;
        change.key = key;
        change.name = name;
        change.existed = true;
        change.priorType = prior.type;
        change.prior = prior.data;
        g_journal->Add(std::move(change));
    }
    if (g_overlay) {
        if (prior.status == ERROR_SUCCESS) g_overlay->DeleteValue(root, key, name);
        return;
    }
    ForgetImages(root, key);
    UniqueKey k = OpenOrCreate(root, key);
    if (k) RegDeleteValueA(k.get(), name.c_str());
}

void DeleteKey(HKEY root, const std::string& key) {
    if (key.empty()) return;  // never the root itself
    if ((g_journal || g_overlay) && !KeyExists(root, key)) return;
    if (g_journal) {
        RegistryChange change;
        change.kind = RegistryChange::Kind::DeleteKey;
        change.root = root;
        change.key = key;
        change.priorTree = ExportTree(root, key);
        g_journal->Add(std::move(change));
    }
    if (g_overlay) {
        g_overlay->DeleteKey(root, key);
        return;
    }
    ForgetImages(root, key);
    JournalPause noted;  // the steps below are this one change
    const bool nt = IsWin2000OrLater();
    // NT refuses to delete a key that still has subkeys.
    if (nt) ClearKey(root, key, ClearMode::Subkeys);
    if (RegDeleteKeyA(root, key.c_str()) == ERROR_SUCCESS || nt) return;
    // 9x deletes the tree in one step; a registry that does not (Wine when
    // it reports a 9x version) still gets the tree removed.
    if (!KeyExists(root, key)) return;
    ClearKey(root, key, ClearMode::Subkeys);
    RegDeleteKeyA(root, key.c_str());
}

void ClearKey(HKEY root, const std::string& key, ClearMode mode) {
    if (mode == ClearMode::Subkeys) {
        for (const std::string& name : EnumKeys(root, key))
            if (!name.empty()) DeleteKey(root, JoinKey(key, name));
    } else {
        for (const std::string& name : EnumValues(root, key))
            if (!name.empty()) DeleteValue(root, key, name);
    }
}

void CopyKey(HKEY sourceRoot, const std::string& sourceKey, HKEY targetRoot, const std::string& targetKey) {
    // Copying a tree into itself would never end.
    if (sourceRoot == targetRoot && SameOrBelow(targetKey, sourceKey)) return;
    if (KeyExists(targetRoot, targetKey)) DeleteKey(targetRoot, targetKey);
    // Enumerating would create a missing source, which a dry run cannot show.
    if (!KeyExists(sourceRoot, sourceKey)) return;
    std::vector<NamedValue> copied;
    for (const std::string& name : EnumValues(sourceRoot, sourceKey)) {
        copied.push_back({name, REG_SZ, GetString(sourceRoot, sourceKey, name)});
        SetString(targetRoot, targetKey, name, copied.back().text);
    }
    // What was written is what a whole read of the copy would give; a short list is not worth asking the key.
    DWORD count = 0;
    FILETIME written{};
    const bool worth = !g_overlay && copied.size() >= kValuesWorthAnImage;
    UniqueKey k = worth ? OpenExisting(targetRoot, targetKey) : UniqueKey();
    if (k && RegQueryInfoKeyA(k.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                              nullptr, nullptr, &written) == ERROR_SUCCESS)
        KeepImage(targetRoot, targetKey, count, written, std::move(copied));
    for (const std::string& name : EnumKeys(sourceRoot, sourceKey))
        CopyKey(sourceRoot, JoinKey(sourceKey, name), targetRoot, JoinKey(targetKey, name));
}

std::vector<NamedValue> ReadValues(HKEY root, const std::string& key) {
    std::vector<NamedValue> values;
    if (g_observer) g_observer(root, key, g_observerContext);
    if (g_overlay) {
        for (const std::string& name : g_overlay->Names(root, key, true)) {
            const RawValue v = g_overlay->Value(root, key, name);
            values.push_back({name, v.type, TrimAtNul(v.data)});
        }
        return values;
    }
    UniqueKey k = OpenExisting(root, key);
    if (!k) return values;
    DWORD count = 0, maxName = 0, maxData = 0;
    FILETIME written{};
    if (RegQueryInfoKeyA(k.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &maxName, &maxData,
                         nullptr, &written) != ERROR_SUCCESS)
        return values;
    if (const ValueImage* image = FindImage(root, key, count, written)) return image->values;
    std::string name(maxName + 2, '\0'), data(maxData + 1, '\0');
    for (DWORD i = 0; i < count; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size()), dataSize = maxData, type = REG_NONE;
        if (RegEnumValueA(k.get(), i, &name[0], &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]),
                          &dataSize) != ERROR_SUCCESS)
            break;
        values.push_back({TrimAtNul(name.substr(0, nameLength)), type, TrimAtNul(data.substr(0, dataSize))});
    }
    KeepImage(root, key, count, written, values);
    return values;
}

void WriteRaw(HKEY root, const std::string& key, const std::string& name, DWORD type, const std::string& bytes) {
    SetRaw(root, key, name, type, bytes.data(), static_cast<DWORD>(bytes.size()));
}

void MakeKey(HKEY root, const std::string& key) {
    NoteCreation(root, key);
    if (!g_overlay) CreateKey(root, key);
}

bool ReadRaw(HKEY root, const std::string& key, const std::string& name, DWORD& type, std::string& data) {
    const RawValue v = CurrentValue(root, key, name);
    type = v.type;
    data = v.data;
    return v.status == ERROR_SUCCESS;
}

JournalScope::JournalScope(RegistryJournal& journal) : saved_(std::exchange(g_journal, &journal)) {}
JournalScope::~JournalScope() { g_journal = saved_; }

DryRunScope::DryRunScope(RegistryJournal& journal) : journal_(journal) {
    g_overlays.push_back(std::make_unique<Overlay>());
    g_overlay = g_overlays.back().get();
}
DryRunScope::~DryRunScope() {
    g_overlays.pop_back();
    g_overlay = g_overlays.empty() ? nullptr : g_overlays.back().get();
}
bool DryRunActive() { return DryRun(); }
RegistryJournal* ActiveJournal() { return g_journal; }

void ObserveEnumerations(EnumerationObserver observer, void* context) {
    g_observer = observer;
    g_observerContext = context;
}

std::vector<std::string> EnumValues(HKEY root, const std::string& key) { return Enumerate(root, key, true); }
std::vector<std::string> EnumKeys(HKEY root, const std::string& key) { return Enumerate(root, key, false); }

HKEY RootKeyFromName(const std::string& path) {
    static const struct {
        const char* name;
        HKEY root;
    } roots[] = {
        {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},     {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},   {"HKEY_USERS", HKEY_USERS},
        {"HKEY_PERFORMANCE_DATA", HKEY_PERFORMANCE_DATA}, {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
        {"HKEY_DYN_DATA", HKEY_DYN_DATA},
    };
    std::string head = path.substr(0, path.find('\\'));
    for (const auto& r : roots)
        if (lstrcmpiA(head.c_str(), r.name) == 0) return r.root;
    return nullptr;
}

double TextToNumber(const std::string& text) {
    const size_t n = text.size();
    size_t i = 0;
    while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
    const size_t start = i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    auto digits = [&] {
        size_t from = i;
        while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
        return i - from;
    };
    size_t mantissa = digits();
    if (i < n && text[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) return 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        const size_t mark = i++;
        if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
        if (digits() == 0) i = mark;
    }
    // Only the scanned decimal text reaches strtod, so hex and "inf" never do.
    return std::strtod(text.substr(start, i - start).c_str(), nullptr);
}


std::string TrimCharacters(const std::string& text, const std::string& junk) {
    const size_t first = text.find_first_not_of(junk);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(junk) - first + 1);
}

// The system's own case mapping, from kernel32: the console program lowers
// names at every start and must not map user32 for it.
std::string LowerCase(std::string text) {
    if (text.empty()) return text;
    std::string lower(text.size(), '\0');
    const int length = static_cast<int>(text.size());
    const int mapped = LCMapStringA(LOCALE_SYSTEM_DEFAULT, LCMAP_LOWERCASE, text.data(), length, &lower[0], length);
    return mapped == length ? lower : text;
}

std::string TrimAtNul(const std::string& text) { return text.substr(0, text.find('\0')); }

std::string ExpandEnvironment(const std::string& text) {
    std::string buffer(4000, '\0');
    DWORD n = ExpandEnvironmentStringsA(text.c_str(), &buffer[0], static_cast<DWORD>(buffer.size()));
    if (n == 0 || n > buffer.size()) return {};
    return TrimAtNul(buffer);
}

std::string LongPathName(const std::string& path) {
    char buffer[MAX_PATH] = {};
    DWORD n = GetLongPathNameA(path.c_str(), buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return TrimAtNul(std::string(buffer, n));
}

bool IsDirectory(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return !path.empty() && attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string TextAfterLast(const std::string& text, const std::string& separator) {
    if (separator.empty()) return text;
    size_t at = text.rfind(separator);
    return at == std::string::npos ? text : text.substr(at + separator.size());
}

std::string WithTrailingBackslash(const std::string& path) {
    std::string trimmed = TrimSpaces(path);
    if (trimmed.empty() || trimmed.back() != '\\') trimmed += '\\';
    return trimmed;
}

std::string JoinKey(const std::string& parent, const std::string& child) {
    if (parent.empty()) return child;
    if (child.empty()) return parent;
    return parent.back() == '\\' ? parent + child : parent + "\\" + child;
}

std::string BytesToHex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (unsigned char b : bytes) {
        hex += digits[b >> 4];
        hex += digits[b & 15];
    }
    return hex;
}

std::string HexToBytes(const std::string& hex) {
    // Pairs read left to right; a lone last digit is a byte of its own and
    // anything that is not a digit counts as 0.
    std::string bytes;
    for (size_t i = 0; i < hex.size(); i += 2) {
        int value = 0;
        for (size_t j = i; j < std::min(i + 2, hex.size()); ++j) {
            int d = HexDigit(hex[j]);
            if (d < 0) break;
            value = value * 16 + d;
        }
        bytes += static_cast<char>(value);
    }
    return bytes;
}

}  // namespace kk
