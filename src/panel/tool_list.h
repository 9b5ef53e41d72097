// The rows of the tool list: one set of child controls per ToolId on the
// list surface, with the tags the rest of the panel reads and writes. The
// list is built once and never rebuilt while the window is open.
#pragma once
#include <windows.h>

#include "engine/catalogue.h"
#include "panel/control_ids.h"
#include "panel/list_style.h"

#include <map>
#include <string>
#include <vector>

namespace kk {

// One control of a row; position and size in twips, as the layout works.
struct RowControl {
    HWND hwnd = nullptr;
    int left = 0, top = 0, width = 0, height = 0;
    explicit operator bool() const { return hwnd != nullptr; }
};

struct ToolRow {
    int toolId = 0;
    int kind = 0;
    std::string kindTag;  // the tag of the "*" marker: the ToolKind in decimal
    bool hasLink = false;
    bool hand = false;  // the hand cursor over caption, description and link
    std::string checkTag, buttonTag, linkTag;
    RowControl caption, description, changed, checkBox, button, bullet, link;

    RowControl* Control(int family);
    const RowControl* Control(int family) const;
    // The check box, settings button or bullet its kind gives it; null when none.
    RowControl* Switch();
};

// What a row starts with, as the list is built. On/off and settings rows
// ask the state detector; the switch keeps the state text and a settings
// button its settings. A "#" link, which opens the row's settings page,
// takes the settings text after the flag, and the switch keeps the flag.
struct RowTags {
    int checkValue = 0;
    std::string checkTag, buttonTag, linkTag;
};
RowTags StartingTags(const ToolEntry& entry);

// Twips per pixel, horizontally and vertically.
struct PixelScale {
    int x = 15, y = 15;
};

int TwipsToPixels(int twips, int scale);

class ToolList {
public:
    ToolList() = default;
    ToolList(const ToolList&) = delete;
    ToolList& operator=(const ToolList&) = delete;

    // Creates every row's controls on surface from the catalogue and the
    // state detector, at their provisional places above the visible area.
    void Build(HWND surface, const ListStyle& style, PixelScale scale);
    bool Built() const { return built_; }
    // Every row back to the state the registry holds now, nothing pending.
    void Redetect();

    int Count() const { return static_cast<int>(rows_.size()); }
    int ToolIdAt(int position) const;  // positions 1..Count; 0 outside
    ToolRow* Find(int toolId);
    const ToolRow* Find(int toolId) const;
    std::vector<ToolRow>& Rows() { return rows_; }
    const std::vector<ToolRow>& Rows() const { return rows_; }
    const std::vector<std::string>& PluginKeys() const { return pluginKeys_; }

    // The row control behind a child window of the surface, or null.
    const ToolRow* RowOf(HWND control, int* family = nullptr) const;

    // Moves a control's window to its twips rectangle; false when nothing moved.
    static bool Place(RowControl& control, PixelScale scale);

    // The check box value, kept by the control itself (BM_GETCHECK).
    static int CheckValue(const ToolRow& row);
    static void SetCheckValue(ToolRow& row, int value);

private:
    static void GiveTags(ToolRow& row, const RowTags& tags);
    void AddRow(int position, HWND surface, const ListStyle& style, PixelScale scale);

    std::vector<ToolRow> rows_;
    std::map<int, size_t> index_;
    std::vector<std::string> pluginKeys_;
    std::map<int, SIZE> lineSizes_;  // by family: one line of its labels, measured once
    bool built_ = false;
};

// Routes BM_GETCHECK and BM_SETCHECK of an owner-drawn button to a value
// the button keeps; clicks toggle it through SetCheckValue.
void MakeCheckable(HWND button);

}  // namespace kk
