// The hotkeys and Alt-Tab size pages in the page fixture, driven by clicks, typed characters, menu keys and posted
// mouse messages; the hotkeys' working key lives in the scratch registry.
#include "pages/alt_tab_page.h"
#include "pages/hotkeys_page.h"
#include "pages/page_fixture.h"

#include "engine/footprint.h"
#include "engine/registry.h"

#include <commctrl.h>

#include <utility>

using namespace kk;
using namespace std::string_literals;  // "...\0..."s keeps the NULs of a settings text

namespace {

constexpr int kAlt = 1, kCtrl = 2, kShift = 4;
std::string Stored(const std::string& name) { return GetString(HKEY_CURRENT_USER, kHotkeysTempKey, name); }

class HotkeysPage : public kktest::PageTest {
protected:
    HWND List() const { return Item(kIdHotkeyList); }
    // A row as "picture key|text"; the text keeps the space after the column mark.
    std::string Row(int row) const {
        char key[64] = {}, text[256] = {};
        LVITEMA item{LVIF_TEXT | LVIF_IMAGE, row, 0, 0, 0, key, sizeof key, 0, 0, 0, 0, 0, nullptr, nullptr, 0};
        SendMessageA(List(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        ListView_GetItemText(List(), row, 1, text, sizeof text);
        return std::to_string(item.iImage) + key + "|" + text;
    }
    int Find(const std::string& row) const {
        for (int i = 0; i < ListView_GetItemCount(List()); ++i)
            if (Row(i) == row) return i;
        return -1;
    }
    void Select(int row) {
        ListView_SetItemState(List(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        kktest::Pump(hwnd_);
    }
    int Ticked() const {
        int code = 0;
        for (int m : {kAlt, kCtrl, kShift}) code += m * IsTicked(Item(kIdHotkeyShift + m));
        return code;
    }
    // The editors and Delete are there only while a row is.
    bool CanEdit() const {
        return IsWindowVisible(Item(kIdHotkeyFrame)) && IsWindowVisible(Item(kIdHotkeyMeat)) &&
               IsWindowEnabled(Item(kIdHotkeyDelete));
    }
};

TEST_F(HotkeysPage, StoredValuesBecomeRowsAndAcceptWritesBackOnlyTheRows) {
    // row: "" for none; afterwards: "none" for no value after Accept.
    struct Case { std::string name, data; bool dword; std::string row, afterwards; };
    const Case cases[] = {
        {"4F1", "\"Shift alone\"", false, "", "none"}, {"0F1", "\"no modifier\"", false, "", "none"},
        {"xA", "\"not a digit\"", false, "", "none"}, {"_Other", "kept?", false, "", "none"},
        {"2B", "unquoted", false, "2B| unquoted", "\"unquoted\""},
        {"3C", "\"\"", false, "3C| ", "\"\""},
        {"1Q", "\"", false, "1Q| \"", "\"\"\""},
        {"5D", "", true, "5D| ", "\"\""},  // a number where a text belongs
        {"6\\", "\"back\\slash\"", false, "6\\| back\\slash", "\"back\\slashed\""},
    };
    for (const Case& c : cases)
        c.dword ? SetDword(HKEY_CURRENT_USER, kHotkeysTempKey, c.name, 0x41)
                : SetString(HKEY_CURRENT_USER, kHotkeysTempKey, c.name, c.data);
    SetString(HKEY_CURRENT_USER, kHotkeysTempKey, "_Advanced", "1");
    Open(MakeHotkeysPage(), "9");
    EXPECT_EQ(ListView_GetItemCount(List()), 5);
    for (const Case& c : cases) EXPECT_TRUE(c.row.empty() || Find(c.row) >= 0) << c.name;
    EXPECT_TRUE(IsTicked(Item(kIdHotkeyAdvanced)));
    // The "\" key comes back from the drop-down intact after an edit.
    Select(Find("6\\| back\\slash"));
    EXPECT_EQ(Text(kIdHotkeyAssortment), "\\");
    Type(kIdHotkeyMeat, "ed");

    EXPECT_EQ(Accepted(), "5");
    for (const Case& c : cases)
        EXPECT_EQ(ValueExists(HKEY_CURRENT_USER, kHotkeysTempKey, c.name) ? Stored(c.name) : "none", c.afterwards)
            << c.name;
    EXPECT_EQ(GetValueType(HKEY_CURRENT_USER, kHotkeysTempKey, "5D"), REG_SZ);
    EXPECT_EQ(Stored("_Advanced"), "1");
}

TEST_F(HotkeysPage, ClearingTheLastOfCtrlAndAltTicksTheOther) {
    const struct { int code, clicked, expected; } cases[] = {
        {kCtrl, kCtrl, kAlt}, {kAlt, kAlt, kCtrl}, {kAlt + kShift, kAlt, kCtrl + kShift},
        {kCtrl + kShift, kCtrl, kAlt + kShift}, {kCtrl + kAlt, kCtrl, kAlt},  // the last: Alt remains
    };
    for (const auto& c : cases)
        SetString(HKEY_CURRENT_USER, kHotkeysTempKey, std::to_string(c.code) + "K", "case " + std::to_string(c.code));
    Open(MakeHotkeysPage(), "5");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const int row = Find(std::to_string(c.code) + "K| case " + std::to_string(c.code));
        ASSERT_GE(row, 0);
        Select(row);
        EXPECT_EQ(Ticked(), c.code);
        Click(kIdHotkeyShift + c.clicked);
        EXPECT_EQ(Ticked(), c.expected);
        EXPECT_EQ(std::stoi(Row(row)), c.expected) << "the row's picture follows";
    }
    Accepted();
    EXPECT_EQ(Stored(std::to_string(kAlt + kShift) + "K"), "\"case 6\"");
}

TEST_F(HotkeysPage, NewSpecialAndDelete) {
    Open(MakeHotkeysPage(), "0");
    EXPECT_FALSE(CanEdit());
    Click(kIdHotkeyNew);
    EXPECT_GT(acceptEnabled, 0);
    // "Special...", fourth item ("Enter key"), picked with the keyboard, goes in at the caret, which then follows it.
    SendMessageA(Item(kIdHotkeyMeat), EM_SETSEL, 3, 3);
    for (int i = 0; i < 4; ++i) PostMessageA(hwnd_, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(hwnd_, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(hwnd_, WM_CHAR, '\r', 0);
    Click(kIdHotkeyInsert);
    EXPECT_EQ(SendMessageA(Item(kIdHotkeyMeat), EM_GETSEL, 0, 0), MAKELRESULT(10, 10));  // the caret
    EXPECT_EQ(GetFocus(), Item(kIdHotkeyMeat));
    EXPECT_EQ(Row(0), "1A| My {Enter}text");

    Click(kIdHotkeyDelete);
    EXPECT_EQ(ListView_GetItemCount(List()), 0);
    EXPECT_FALSE(CanEdit());
    EXPECT_EQ(Accepted(), "0");
    EXPECT_EQ(EnumValues(HKEY_CURRENT_USER, kHotkeysTempKey), std::vector<std::string>{"_Advanced"});
    EXPECT_EQ(Stored("_Advanced"), "0");
}

class AltTabPage : public kktest::PageTest {
protected:
    HWND Model() const { return Item(kIdTinyIconFrame); }
    std::pair<int, int> ModelSize() const {
        RECT r{};
        GetClientRect(Model(), &r);
        return {r.right, r.bottom};
    }
    std::string Fields() const { return Text(kIdTinyIconField) + "x" + Text(kIdTinyIconField + 1); }
    int Icons(bool visibleOnly) const {
        int n = 0;
        for (WPARAM i = 1; LRESULT state = SendMessageA(Model(), kMsgTinyIconState, i, 0); ++i)
            n += !visibleOnly || state == kTinyIconShown;
        return n;
    }
    void Mouse(UINT msg, WPARAM keys, int x, int y) {
        PostMessageA(Model(), msg, keys, MAKELPARAM(static_cast<short>(x), static_cast<short>(y)));
        kktest::Pump(hwnd_);
    }
};

TEST_F(AltTabPage, TypedValuesAreKeptWithinTheLimits) {
    const struct { int field; std::string typed, shown; } cases[] = {
        {0, "0", "1"}, {0, "word", "1"}, {0, "40", "26"}, {0, "99999999999999999999", "26"}, {1, "0", "1"}, {1, " 4 ", "4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Open(MakeAltTabPage(), "7\0"s "3");
        // As the user types: focus, text, focus elsewhere.
        SetFocus(Item(kIdTinyIconField + c.field));
        SetText(kIdTinyIconField + c.field, c.typed);
        SetFocus(Item(kIdTinyIconField + 1 - c.field));
        kktest::Pump(hwnd_);
        EXPECT_EQ(Text(kIdTinyIconField + c.field), c.shown);
        EXPECT_GT(acceptEnabled, 0);
        EXPECT_EQ(Accepted(), c.field == 0 ? c.shown + "\0" "3"s : "7\0"s + c.shown);
    }
    SetFocus(Item(kIdTinyIconField + 0));  // selects the whole text
    EXPECT_EQ(SendMessageA(Item(kIdTinyIconField), EM_GETSEL, 0, 0), MAKELRESULT(0, 1));
}

TEST_F(AltTabPage, DraggingTheCornerStopsAtTheLimitsAndHidesIconsWithoutDestroyingThem) {
    Open(MakeAltTabPage(), "7\0"s "3");
    EXPECT_EQ(Icons(true), 21);
    const std::pair<int, int> start = ModelSize();
    // A press away from the corner starts no drag.
    Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 4, 4);
    Mouse(WM_MOUSEMOVE, MK_LBUTTON, 300, 150);
    Mouse(WM_LBUTTONUP, 0, 300, 150);
    EXPECT_EQ(ModelSize(), start);

    Mouse(WM_LBUTTONDOWN, MK_LBUTTON, start.first - 4, start.second - 4);
    Mouse(WM_MOUSEMOVE, MK_LBUTTON, 2000, 2000);
    EXPECT_EQ(Fields() + " " + std::to_string(Icons(true)), "26x9 234");
    Mouse(WM_MOUSEMOVE, MK_LBUTTON, -500, -500);
    const std::pair<int, int> smallest = ModelSize();
    EXPECT_EQ(Fields() + " " + std::to_string(Icons(true)) + " " + std::to_string(Icons(false)), "1x1 1 234")
        << "hidden, not destroyed";
    EXPECT_GT(acceptEnabled, 0);
    // Once released, moves no longer size the model.
    Mouse(WM_LBUTTONUP, 0, -500, -500);
    Mouse(WM_MOUSEMOVE, MK_LBUTTON, 200, 100);
    EXPECT_EQ(ModelSize(), smallest);
    EXPECT_EQ(Accepted(), "1\0"s "1");
}

}  // namespace
