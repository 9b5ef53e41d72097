#include "engine/preview.h"

namespace kk {
namespace {

// The rows as Apply reads them; what Apply would mark on them is dropped.
class UnmarkedRows : public RowAccess {
public:
    explicit UnmarkedRows(RowAccess& rows) : rows_(rows) {}
    int RowCount() const override { return rows_.RowCount(); }
    int ToolIdAt(int position) const override { return rows_.ToolIdAt(position); }
    std::string KindTag(int toolId) const override { return rows_.KindTag(toolId); }
    bool ChangedShown(int toolId) const override { return rows_.ChangedShown(toolId); }
    void HideChanged(int) override {}
    int CheckValue(int toolId) const override { return rows_.CheckValue(toolId); }
    std::string CheckTag(int toolId) const override { return rows_.CheckTag(toolId); }
    void SetCheckTag(int, const std::string&) override {}
    std::string ButtonTag(int toolId) const override { return rows_.ButtonTag(toolId); }
    std::string LinkTag(int toolId) const override { return rows_.LinkTag(toolId); }
    void MarkChangesApplied() override {}

private:
    RowAccess& rows_;
};

}  // namespace

RegistryJournal PreviewChanges(RowAccess& rows) {
    RegistryJournal journal;
    {
        DryRunScope dryRun(journal);
        UnmarkedRows unmarked(rows);
        ApplyEngine(unmarked).ApplyChanges();
    }
    return journal;
}

}  // namespace kk
