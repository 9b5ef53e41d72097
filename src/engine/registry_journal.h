// What the registry layer changed, in the order it changed it, with what
// was there before; and the dry run, in which the layer's writes land in
// memory, its later reads see them, and the registry itself stays as it is.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace kk {

struct RegistryChange {
    enum class Kind { SetValue, DeleteValue, CreateKey, DeleteKey };
    Kind kind = Kind::SetValue;
    HKEY root = nullptr;
    std::string key, name;
    bool existed = false;  // SetValue: whether the value was there before
    DWORD priorType = REG_NONE, type = REG_NONE;
    std::string prior, data;  // the value's bytes before and after
    std::string priorTree;    // DeleteKey: the tree as it was, as REGEDIT4 sections
};

class RegistryJournal {
public:
    const std::vector<RegistryChange>& Changes() const { return changes_; }
    void Add(RegistryChange change) { changes_.push_back(std::move(change)); }
    // What else the panel did, or in a dry run would do ("register C:\...\x.dll").
    const std::vector<std::string>& Actions() const { return actions_; }
    void AddAction(std::string action) { actions_.push_back(std::move(action)); }
    // A REGEDIT4 file that puts back what the changes replaced, newest first.
    std::string RestoreScript() const;
    // One line per change, for people.
    std::string Describe() const;
    // Describe, then one line per action: what a history entry lists.
    std::string Listing() const;

private:
    std::vector<RegistryChange> changes_;
    std::vector<std::string> actions_;
};

// The journal the layer writes to now; null when none.
RegistryJournal* ActiveJournal();

// While one lives, the layer notes every change it makes in the journal.
class JournalScope {
public:
    explicit JournalScope(RegistryJournal& journal);
    ~JournalScope();
    JournalScope(const JournalScope&) = delete;
    JournalScope& operator=(const JournalScope&) = delete;

private:
    RegistryJournal* saved_;
};

// While one lives, the layer writes into memory instead of the registry
// and notes each write in the journal; reads see the registry with those
// writes laid over it. Nothing is created, not even by a read.
class DryRunScope {
public:
    explicit DryRunScope(RegistryJournal& journal);
    ~DryRunScope();
    DryRunScope(const DryRunScope&) = delete;
    DryRunScope& operator=(const DryRunScope&) = delete;

private:
    JournalScope journal_;
};
bool DryRunActive();

// Notes an action on the system (a program started, a shortcut made) in the
// active journal; false in a dry run, where the caller lists it and stops.
bool RunOrList(const std::string& action);

// "HKEY_LOCAL_MACHINE" for HKEY_LOCAL_MACHINE, and so on; "" for others.
std::string RootName(HKEY root);
// A key's tree as REGEDIT4 sections, values and subkeys in the order the
// layer reads them; "" when the key does not exist.
std::string ExportTree(HKEY root, const std::string& key);
// Carries out a REGEDIT4 text through the layer (keys made and deleted,
// values set and deleted); false, changing nothing, when a line is not
// one the format allows.
bool ApplyRegeditScript(const std::string& script);
// Whether ApplyRegeditScript would take the text; when not, error names
// the line ("line 3: ...").
bool CheckRegeditScript(const std::string& script, std::string& error);

// One value as a REGEDIT4 line: "name"=data ("@" for the default value).
std::string RegeditLine(const std::string& name, DWORD type, const std::string& data);

}  // namespace kk
