// The apply engine: ApplyTool writes one tool's footprint; ApplyChanges
// walks the list's changed rows, keeps the startup module in step and asks
// about log-off or restart. The list is reached through RowAccess, which
// the main window implements on its controls and tests implement in memory.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace kk {

class HistoryRecording;

class RowAccess {
public:
    virtual ~RowAccess() = default;
    virtual int RowCount() const = 0;
    virtual int ToolIdAt(int position) const = 0;  // positions 1..RowCount
    // The tag of the row's "*" marker: its ToolKind as decimal text.
    virtual std::string KindTag(int toolId) const = 0;
    virtual bool ChangedShown(int toolId) const = 0;
    virtual void HideChanged(int toolId) = 0;
    virtual int CheckValue(int toolId) const = 0;  // 1 checked, 0 not
    virtual std::string CheckTag(int toolId) const = 0;
    virtual void SetCheckTag(int toolId, const std::string& tag) = 0;
    virtual std::string ButtonTag(int toolId) const = 0;  // settings text of a settings row
    virtual std::string LinkTag(int toolId) const = 0;    // "#" + settings text for "#" links
    // Apply has run: Cancel becomes "&Close" and the window remembers it.
    virtual void MarkChangesApplied() = 0;
};

struct ToolState {
    int toolId = 0;
    std::string state;
};

struct ApplyFlags {
    bool logOffNeeded = false;
    bool restartNeeded = false;
    bool placesBarChanged = false;
    bool shellNotifyNeeded = false;
};

class ApplyEngine {
public:
    explicit ApplyEngine(RowAccess& rows) : rows_(rows) {}

    // Writes the footprint of one tool for the given state text.
    void ApplyTool(int toolId, const std::string& state);
    // The Apply button; operation names its history entry (the console
    // program's "Set" applies the same way).
    void ApplyChanges(const std::string& operation = "Apply");
    // Each tool to the given state, then the startup module and the
    // questions, as one history entry named by operation (an Undo, an
    // import, a reset). The rows are not touched: the caller detects again.
    // alsoDo runs after the states, inside the same entry.
    void ApplyStates(const std::vector<ToolState>& states, const std::string& operation,
                     const std::function<void()>& alsoDo = nullptr);

    const ApplyFlags& flags() const { return flags_; }

private:
    void ApplyShellExtension(int toolId, bool on);
    void ApplySearchExtension(int toolId, bool on);
    void ApplyTag(bool on);
    void ApplySetting(int toolId, const std::string& state);
    void ApplyPlacesBar(const std::string& state);
    void ApplyPlugin(int toolId, const std::string& state);
    void UpdateStartupModule();
    // The startup module, the list's question and the history entry, in
    // that order; in a dry run the question is only listed.
    void Finish(HistoryRecording& history);
    std::string QuestionAction() const;
    void AskAboutRestart();

    RowAccess& rows_;
    ApplyFlags flags_;
};

// Whether the suite's settings need the startup module running.
bool StartupModuleNeeded();

}  // namespace kk
