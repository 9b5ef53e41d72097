#include "app/memory_rows.h"

#include "engine/catalogue.h"
#include "panel/tool_list.h"

namespace kk {

MemoryRows MemoryRows::Build() {
    MemoryRows list;
    // As the window does: this list becomes the start's plugin list.
    const std::vector<std::string> plugins = ReadPluginKeys();
    const int count = ListCount(plugins.size());
    for (int p = 1; p <= count; ++p) {
        ToolEntry entry = EntryForPosition(p, plugins);
        const RowTags tags = StartingTags(entry);
        MemoryRow row{entry.toolId, entry.kind, std::to_string(entry.kind), false, tags.checkValue,
                      tags.checkTag, tags.buttonTag, tags.linkTag, entry.caption};
        list.rows_[row.toolId] = row;
        list.order_.push_back(row.toolId);
    }
    return list;
}

void MemoryRows::Tick(int toolId, bool on) {
    MemoryRow& row = Row(toolId);
    row.checkValue = on ? 1 : 0;
    row.changedShown = std::to_string(row.checkValue) != row.checkTag.substr(0, 1);
}

void MemoryRows::SetSettings(int toolId, const std::string& text) {
    MemoryRow& row = Row(toolId);
    if (!row.linkTag.empty() && row.linkTag[0] == '#') row.linkTag = "#" + text;
    else row.buttonTag = text;
    row.changedShown = true;
}

const MemoryRow* MemoryRows::Find(int toolId) const {
    auto it = rows_.find(toolId);
    return it == rows_.end() ? nullptr : &it->second;
}

int MemoryRows::ToolIdAt(int position) const {
    return position >= 1 && position <= RowCount() ? order_[position - 1] : 0;
}
std::string MemoryRows::KindTag(int toolId) const { auto r = Find(toolId); return r ? r->kindTag : ""; }
bool MemoryRows::ChangedShown(int toolId) const { auto r = Find(toolId); return r && r->changedShown; }
void MemoryRows::HideChanged(int toolId) { if (Has(toolId)) Row(toolId).changedShown = false; }
int MemoryRows::CheckValue(int toolId) const { auto r = Find(toolId); return r ? r->checkValue : 0; }
std::string MemoryRows::CheckTag(int toolId) const { auto r = Find(toolId); return r ? r->checkTag : ""; }
void MemoryRows::SetCheckTag(int toolId, const std::string& tag) { if (Has(toolId)) Row(toolId).checkTag = tag; }
std::string MemoryRows::ButtonTag(int toolId) const { auto r = Find(toolId); return r ? r->buttonTag : ""; }
std::string MemoryRows::LinkTag(int toolId) const { auto r = Find(toolId); return r ? r->linkTag : ""; }

}  // namespace kk
