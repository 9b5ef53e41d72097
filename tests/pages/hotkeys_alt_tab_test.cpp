// The hotkeys and Alt-Tab size pages on a window of the test's own (the
// page fixture): real controls driven by clicks, typed characters, menu
// keys and posted mouse messages; the hotkeys' working key lives in the
// scratch registry.
#include "pages/alt_tab_page.h"
#include "pages/hotkeys_page.h"
#include "pages/page_fixture.h"

#include "engine/footprint.h"
#include "engine/registry.h"
#include "support/message_pump.h"

#include <commctrl.h>
#include <gtest/gtest.h>

using namespace kk;
using namespace std::string_literals;  // "...\0..."s keeps the NULs of a settings text

namespace {

constexpr int kAlt = 1, kCtrl = 2, kShift = 4;
std::string Stored(const std::string& name) { return GetString(HKEY_CURRENT_USER, kHotkeysTempKey, name); }

class HotkeysPage : public kktest::PageTest {
protected:
    HWND List() const { return Item(kIdHotkeyList); }
    int Count() const { return ListView_GetItemCount(List()); }
    // A row as "picture key|text"; the text keeps the space after the column mark.
    std::string Row(int row) const {
        char key[64] = {}, text[256] = {};
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE, item.iItem = row, item.pszText = key, item.cchTextMax = sizeof key;
        SendMessageA(List(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        const std::string picture = std::to_string(item.iImage);
        item.mask = LVIF_TEXT, item.iSubItem = 1, item.pszText = text, item.cchTextMax = sizeof text;
        SendMessageA(List(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return picture + key + "|" + text;
    }
    int Picture(int row) const { return std::stoi(Row(row)); }
    int Find(const std::string& row) const {
        for (int i = 0; i < Count(); ++i)
            if (Row(i) == row) return i;
        return -1;
    }
    void Select(int row) {
        ListView_SetItemState(List(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        kktest::Pump(hwnd_);
    }
    int Ticked() const {
        int code = 0;
        for (int bit : {kAlt, kCtrl, kShift})
            if (IsTicked(Item(kIdHotkeyShift + bit))) code += bit;
        return code;
    }
    bool EditorsShown() const { return IsWindowVisible(Item(kIdHotkeyFrame)) && IsWindowVisible(Item(kIdHotkeyMeat)); }
};

TEST_F(HotkeysPage, StoredValuesBecomeRowsAndAcceptWritesBackOnlyTheRows) {
    struct Case {
        std::string name, data;
        bool dword;
        std::string row, afterwards;  // "" for no row, for no value after Accept
    };
    const Case cases[] = {
        {"4F1", "\"Shift alone\"", false, "", ""},
        {"0F1", "\"no modifier\"", false, "", ""},
        {"xA", "\"not a digit\"", false, "", ""},
        {"_Other", "kept?", false, "", ""},
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
    EXPECT_EQ(Count(), 5);
    for (const Case& c : cases) {
        if (!c.row.empty()) {
            EXPECT_GE(Find(c.row), 0) << c.name;
        }
    }
    EXPECT_TRUE(IsTicked(Item(kIdHotkeyAdvanced)));

    // The "\" key comes back from the drop-down intact after an edit.
    Select(Find("6\\| back\\slash"));
    EXPECT_EQ(Text(kIdHotkeyAssortment), "\\");
    Type(kIdHotkeyMeat, "ed");
    EXPECT_GE(Find("6\\| back\\slashed"), 0);

    EXPECT_EQ(Accepted(), "5");
    for (const Case& c : cases) {
        EXPECT_EQ(ValueExists(HKEY_CURRENT_USER, kHotkeysTempKey, c.name), !c.afterwards.empty()) << c.name;
        if (!c.afterwards.empty()) {
            EXPECT_EQ(Stored(c.name), c.afterwards) << c.name;
        }
    }
    EXPECT_EQ(GetValueType(HKEY_CURRENT_USER, kHotkeysTempKey, "5D"), REG_SZ);
    EXPECT_EQ(Stored("_Advanced"), "1");
}

TEST_F(HotkeysPage, ClearingTheLastOfCtrlAndAltTicksTheOther) {
    struct Case { int code, clicked, expected; };
    const Case cases[] = {
        {kCtrl, kCtrl, kAlt},
        {kAlt, kAlt, kCtrl},
        {kAlt + kShift, kAlt, kCtrl + kShift},
        {kCtrl + kShift, kCtrl, kAlt + kShift},
        {kCtrl + kAlt, kCtrl, kAlt},  // Alt remains: nothing to correct
    };
    for (const Case& c : cases)
        SetString(HKEY_CURRENT_USER, kHotkeysTempKey, std::to_string(c.code) + "K", "case " + std::to_string(c.code));
    Open(MakeHotkeysPage(), "5");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const int row = Find(std::to_string(c.code) + "K| case " + std::to_string(c.code));
        ASSERT_GE(row, 0);
        Select(row);
        EXPECT_EQ(Ticked(), c.code);
        Click(kIdHotkeyShift + c.clicked);
        EXPECT_EQ(Ticked(), c.expected);
        EXPECT_EQ(Picture(row), c.expected);
    }
    Accepted();
    EXPECT_EQ(Stored(std::to_string(kAlt + kShift) + "K"), "\"case 6\"");
}

TEST_F(HotkeysPage, NewSpecialAndDelete) {
    Open(MakeHotkeysPage(), "0");
    EXPECT_EQ(Count(), 0);
    EXPECT_FALSE(EditorsShown());
    EXPECT_FALSE(IsWindowEnabled(Item(kIdHotkeyDelete)));

    Click(kIdHotkeyNew);
    EXPECT_EQ(Count(), 1);
    EXPECT_EQ(Row(0), "1A| My text");
    EXPECT_TRUE(EditorsShown());
    EXPECT_TRUE(IsWindowEnabled(Item(kIdHotkeyDelete)));
    EXPECT_EQ(Ticked(), kAlt);
    EXPECT_EQ(Text(kIdHotkeyAssortment), "A");
    EXPECT_EQ(Text(kIdHotkeyMeat), "My text");
    EXPECT_GT(acceptEnabled, 0);

    // "Special...", fourth item ("Enter key"), picked with the keyboard,
    // goes in at the caret, which then follows it.
    SendMessageA(Item(kIdHotkeyMeat), EM_SETSEL, 3, 3);
    for (int i = 0; i < 4; ++i) PostMessageA(hwnd_, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(hwnd_, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(hwnd_, WM_CHAR, '\r', 0);
    Click(kIdHotkeyInsert);
    EXPECT_EQ(Text(kIdHotkeyMeat), "My {Enter}text");
    EXPECT_EQ(SendMessageA(Item(kIdHotkeyMeat), EM_GETSEL, 0, 0), MAKELRESULT(10, 10));  // the caret
    EXPECT_EQ(GetFocus(), Item(kIdHotkeyMeat));
    EXPECT_EQ(Row(0), "1A| My {Enter}text");

    Click(kIdHotkeyDelete);
    EXPECT_EQ(Count(), 0);
    EXPECT_FALSE(EditorsShown());
    EXPECT_FALSE(IsWindowEnabled(Item(kIdHotkeyDelete)));
    EXPECT_EQ(Accepted(), "0");
    EXPECT_EQ(EnumValues(HKEY_CURRENT_USER, kHotkeysTempKey), std::vector<std::string>{"_Advanced"});
    EXPECT_EQ(Stored("_Advanced"), "0");
}

class AltTabPage : public kktest::PageTest {
protected:
    HWND Model() const { return Item(kIdTinyIconFrame); }
    SIZE ModelSize() const {
        RECT r{};
        GetClientRect(Model(), &r);
        return {r.right, r.bottom};
    }
    HWND Icon(int i) const { return GetDlgItem(Model(), kIdTinyIcon + i); }
    int Icons(bool visibleOnly) const {
        int n = 0;
        for (int i = 1; Icon(i); ++i)
            if (!visibleOnly || IsWindowVisible(Icon(i))) ++n;
        return n;
    }
    // Types into a field as the user does: focus, text, focus elsewhere.
    void Enter(int field, const std::string& text) {
        SetFocus(Item(kIdTinyIconField + field));
        SetText(kIdTinyIconField + field, text);
        SetFocus(Item(kIdTinyIconField + 1 - field));
        kktest::Pump(hwnd_);
    }
    void Mouse(UINT msg, WPARAM keys, int x, int y) {
        PostMessageA(Model(), msg, keys, MAKELPARAM(static_cast<short>(x), static_cast<short>(y)));
        kktest::Pump(hwnd_);
    }
};

TEST_F(AltTabPage, TypedValuesAreKeptWithinTheLimits) {
    struct Case { int field; std::string typed, shown; };
    const Case cases[] = {
        {0, "0", "1"}, {0, "word", "1"}, {0, "40", "26"}, {0, "99999999999999999999", "26"},
        {1, "12", "9"}, {1, "0", "1"},  {1, " 4 ", "4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Open(MakeAltTabPage(), "7\0"s "3");
        Enter(c.field, c.typed);
        EXPECT_EQ(Text(kIdTinyIconField + c.field), c.shown);
        EXPECT_GT(acceptEnabled, 0);
        const std::string other = c.field == 0 ? "3" : "7";
        EXPECT_EQ(Accepted(), c.field == 0 ? c.shown + '\0' + other : other + '\0' + c.shown);
    }
    SetFocus(Item(kIdTinyIconField + 0));  // selects the whole text
    EXPECT_EQ(SendMessageA(Item(kIdTinyIconField), EM_GETSEL, 0, 0), MAKELRESULT(0, 1));
}

TEST_F(AltTabPage, IconsAreCreatedOnDemandAndHiddenNotDestroyed) {
    Open(MakeAltTabPage(), "7\0"s "3");
    EXPECT_EQ(Icons(true), 21);
    EXPECT_EQ(ModelSize().cx, kTinyIconSize * 16);
    Enter(0, "26");
    Enter(1, "9");
    EXPECT_EQ(Icons(false), 234);
    EXPECT_EQ(Icons(true), 234);
    Enter(0, "7");
    Enter(1, "3");
    EXPECT_EQ(Icons(false), 234);
    EXPECT_EQ(Icons(true), 21);
    // Row by row: the eighth icon starts the second row.
    RECT eighth{};
    GetWindowRect(Icon(8), &eighth);
    MapWindowPoints(nullptr, Model(), reinterpret_cast<POINT*>(&eighth), 2);
    EXPECT_EQ(eighth.left, kTinyIconSize);
    EXPECT_EQ(eighth.top, 3 * kTinyIconSize);
}

TEST_F(AltTabPage, DraggingTheCornerStopsAtTheLimits) {
    Open(MakeAltTabPage(), "7\0"s "3");
    const SIZE start = ModelSize();
    // A press away from the corner starts no drag.
    Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 4, 4);
    Mouse(WM_MOUSEMOVE, MK_LBUTTON, 300, 150);
    EXPECT_EQ(ModelSize().cx, start.cx);
    Mouse(WM_LBUTTONUP, 0, 300, 150);

    Mouse(WM_LBUTTONDOWN, MK_LBUTTON, start.cx - 4, start.cy - 4);
    Mouse(WM_MOUSEMOVE, MK_LBUTTON, 2000, 2000);
    EXPECT_EQ(ModelSize().cx, kMaxModelWidth * kTinyIconSize);
    EXPECT_EQ(ModelSize().cy, kMaxModelHeight * kTinyIconSize);
    EXPECT_EQ(Text(kIdTinyIconField + 0) + "x" + Text(kIdTinyIconField + 1), "26x9");
    Mouse(WM_MOUSEMOVE, MK_LBUTTON, -500, -500);
    EXPECT_EQ(ModelSize().cx, kMinModelWidth * kTinyIconSize);
    EXPECT_EQ(ModelSize().cy, kMinModelHeight * kTinyIconSize);
    EXPECT_EQ(Accepted(), "1\0"s "1");
    EXPECT_EQ(Icons(true), 1);
    EXPECT_GT(acceptEnabled, 0);

    // Once released, moves no longer size the model.
    Mouse(WM_LBUTTONUP, 0, -500, -500);
    Mouse(WM_MOUSEMOVE, MK_LBUTTON, 200, 100);
    EXPECT_EQ(ModelSize().cx, kMinModelWidth * kTinyIconSize);
}

}  // namespace
