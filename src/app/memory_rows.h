// The list's rows held in memory, built the way the main window builds its
// list (catalogue entry, detected state, tags), so that the apply engine,
// the DLL upgrade and the uninstall run without a window: in the console
// program and in tests.
#pragma once
#include "engine/apply_engine.h"

#include <map>
#include <string>
#include <vector>

namespace kk {

struct MemoryRow {
    int toolId = 0;
    int kind = 0;
    std::string kindTag;
    bool changedShown = false;
    int checkValue = 0;
    std::string checkTag, buttonTag, linkTag;
    std::string caption;
};

class MemoryRows : public RowAccess {
public:
    // Builds every list position from the catalogue and the state detector.
    static MemoryRows Build();

    MemoryRow& Row(int toolId) { return rows_.at(toolId); }
    const MemoryRow& Row(int toolId) const { return rows_.at(toolId); }
    bool Has(int toolId) const { return rows_.count(toolId) != 0; }
    const std::vector<int>& ToolIds() const { return order_; }

    // A click on the row's check box: marks the row changed when the box
    // differs from its applied value.
    void Tick(int toolId, bool on);
    // A settings page accepted: new settings text for a settings row, or
    // for the link of a "#" row.
    void SetSettings(int toolId, const std::string& text);

    int RowCount() const override { return static_cast<int>(order_.size()); }
    int ToolIdAt(int position) const override;
    std::string KindTag(int toolId) const override;
    bool ChangedShown(int toolId) const override;
    void HideChanged(int toolId) override;
    int CheckValue(int toolId) const override;
    std::string CheckTag(int toolId) const override;
    void SetCheckTag(int toolId, const std::string& tag) override;
    std::string ButtonTag(int toolId) const override;
    std::string LinkTag(int toolId) const override;
    void MarkChangesApplied() override { changesApplied = true; }

    bool changesApplied = false;

private:
    const MemoryRow* Find(int toolId) const;
    std::map<int, MemoryRow> rows_;
    std::vector<int> order_;
};

}  // namespace kk
