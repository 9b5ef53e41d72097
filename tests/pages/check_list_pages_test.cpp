// The details and Autoplay pages on real list views, driven by the space bar and by mouse messages posted to the list
// as a user's would arrive.
#include "pages/autoplay_page.h"
#include "pages/details_page.h"
#include "pages/page_fixture.h"
#include "pages/settings_dialog.h"
#include "engine/footprint.h"
#include "engine/registry.h"

#include <commctrl.h>

#include <vector>

using namespace kk;

namespace {

using Stored = std::vector<std::pair<std::string, std::string>>;

class CheckListPages : public kktest::PageTest {
protected:
    void OpenDetails(const Stored& values) {
        for (const auto& [name, text] : values) SetString(HKEY_CURRENT_USER, kDetailsTempKey, name, text);
        Open(MakeDetailsPage(), "#1");
    }
    std::string Value(const std::string& name) { return GetString(HKEY_CURRENT_USER, kDetailsTempKey, name); }
    HWND List() const { return GetDlgItem(hwnd_, kIdDetailsList); }  // both pages' lists are 101
    // Rows from..to-1 as "name+" when checked, "name-" when not.
    std::string Rows(int from, int to) const {
        std::string rows;
        for (int i = from; i < to; ++i) {
            char text[64] = {};
            LVITEMA item{LVIF_TEXT | LVIF_IMAGE, i, 0, 0, 0, text, sizeof text, 0, 0, 0, 0, 0, nullptr, nullptr, 0};
            SendMessageA(List(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
            rows += std::string(rows.empty() ? "" : ",") + text + (item.iImage == CheckImageBase() + 1 ? "+" : "-");
        }
        return rows;
    }
    POINT RowPoint(int row, int x, int dy = 0) const {
        RECT r{};
        ListView_GetItemRect(List(), row, &r, LVIR_BOUNDS);
        return {x, (r.top + r.bottom) / 2 + dy};
    }
    void Post(UINT msg, WPARAM wp, POINT at) { PostMessageA(List(), msg, wp, MAKELPARAM(at.x, at.y)); }
    // A press at the first point, moves through the others, the release at the last.
    void Drag(const std::vector<POINT>& path) {
        Post(WM_LBUTTONDOWN, MK_LBUTTON, path.front());
        for (const POINT& p : path) Post(WM_MOUSEMOVE, MK_LBUTTON, p);
        Post(WM_LBUTTONUP, 0, path.back());
        kktest::Pump(hwnd_);
    }
    void Space(int row) {
        ListView_SetItemState(List(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        SendMessageA(List(), WM_KEYDOWN, VK_SPACE, 0);
    }
    static constexpr int kPastCheck = 120, kOnCheck = 6;  // press positions beside and on the picture
};

// Each stored list as the page first shows it, then what Accept writes: the list it kept ("count:names") and the
// readers those need ("InitJPG, InitImage, InitMP3Spec, InitMP3ID3").
TEST_F(CheckListPages, DetailsShowTheStoredOrderFirstDropWhatTheyCannotPlaceAndWriteTheReadersNeeded) {
    const struct { Stored stored; std::string firstRows, written, init; } cases[] = {
        {{{"", "3"}, {"1", "MP3 Title"}, {"2", "Bogus"}, {"3", "File Size"}},
         "MP3 Title+,File Size+,File Size (exact)-", "2:MP3 Title,File Size", "0001"},
        {{{"", "4"}, {"1", "JPG Width"}, {"2", ""}, {"3", "JPG Width"}, {"4", "File Date"}},
         "JPG Width+,File Date+,File Size-", "2:JPG Width,File Date", "1100"},
        {{{"", "2"}, {"1", "File Type"}, {"3", "File Date"}}, "File Type+,File Size-,File Size (exact)-", "1:File Type",
         "0000"},
        {{{"", "many"}, {"1", "File Type"}}, "File Size-,File Size (exact)-,File Date-", "0:", "0000"},
        {{{"1", "File Type"}}, "File Size-,File Size (exact)-,File Date-", "0:", "0000"},
        {{{"", "1"}, {"1", "MP3 Bit Rate"}}, "MP3 Bit Rate+,File Size-,File Size (exact)-", "1:MP3 Bit Rate", "0010"},
        {{{"", "3"}, {"1", "MP3 Duration"}, {"2", "JPG Camera"}, {"3", "MP3 Title"}},
         "MP3 Duration+,JPG Camera+,MP3 Title+", "3:MP3 Duration,JPG Camera,MP3 Title", "1011"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.firstRows);
        DeleteKey(HKEY_CURRENT_USER, kDetailsTempKey);
        SetString(HKEY_CURRENT_USER, kDetailsTempKey, "7", "File Date");  // past the count: Accept drops it
        OpenDetails(c.stored);
        EXPECT_EQ(Rows(0, 3) + " of " + std::to_string(ListView_GetItemCount(List())), c.firstRows + " of 24");
        for (const auto& [name, text] : c.stored) EXPECT_EQ(Value(name), text) << "filling writes nothing";
        EXPECT_EQ(Accepted(), "before") << "the settings text is left as it was";
        std::string written = Value("") + ":";
        for (int i = 1; ValueExists(HKEY_CURRENT_USER, kDetailsTempKey, std::to_string(i)); ++i)
            written += (i > 1 ? "," : "") + Value(std::to_string(i));
        EXPECT_EQ(written, c.written);
        EXPECT_EQ(Value("InitJPG") + Value("InitImage") + Value("InitMP3Spec") + Value("InitMP3ID3"), c.init);
        EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kDetailsTempKey, "7"));
    }
}

TEST_F(CheckListPages, DetailsOptionNeedsACheckedDetailAndTheSeparatorKeepsOneCharacterTabStoredEmpty) {
    OpenDetails({{"Delim", ""}, {"No Paths", "1"}, {"TwoContext", "1"}});
    HWND option = Item(kIdDetailsOption);
    std::string seen = std::to_string(IsTicked(option)) + std::to_string(IsWindowEnabled(option));
    for (int all : {1, 0}) {
        Click(kIdDetailsAll + all);
        seen += std::to_string(IsWindowEnabled(option));
    }
    Space(5);
    EXPECT_EQ(seen + std::to_string(IsWindowEnabled(option)) + Rows(5, 6), "10101Folder Path+");
    EXPECT_EQ(acceptEnabled, 3);

    seen = Text(kIdDetailsDelim) + std::to_string(IsTicked(Item(kIdDetailsPaths)));
    Type(kIdDetailsDelim, "x");
    seen += Text(kIdDetailsDelim);
    SetText(kIdDetailsDelim, ";,|");  // pasted, or set by a driver
    Click(kIdDetailsPaths);
    Accepted();
    seen += " " + Value("Delim") + Value("No Paths");
    BYTE keys[256] = {};
    keys[VK_CONTROL] = 0x80;  // Ctrl-Tab through the dialog's keyboard handling, which Tab alone leaves
    SetKeyboardState(keys);
    SetFocus(Item(kIdDetailsDelim));
    PostMessageA(Item(kIdDetailsDelim), WM_KEYDOWN, VK_TAB, 0);
    kktest::Pump(hwnd_);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    seen += " " + Text(kIdDetailsDelim);
    Accepted();
    seen += " [" + Value("Delim") + "]" + std::to_string(ValueExists(HKEY_CURRENT_USER, kDetailsTempKey, "Delim"));
    EXPECT_EQ(seen, "-Tab-0x |0 -Tab- []1");
    EXPECT_GT(acceptEnabled, 3);
}

TEST_F(CheckListPages, DetailsRowsMoveByDragAndResetRestoresTheStoredOrderKeepingTicks) {
    OpenDetails({{"", "2"}, {"1", "File Type"}, {"2", "MP3 Year"}});
    Drag({RowPoint(0, kPastCheck), RowPoint(3, kPastCheck)});
    const std::string moved = "MP3 Year+,File Size-,File Size (exact)-,File Type+ 1";  // the rows, acceptEnabled
    EXPECT_EQ(Rows(0, 4) + " " + std::to_string(acceptEnabled), moved) << "pressed right of the picture";
    Drag({RowPoint(1, kPastCheck), RowPoint(5, kPastCheck), RowPoint(1, kPastCheck)});
    // Pressed near a row's foot, released just inside the next: under the threshold.
    const int rowHeight = RowPoint(1, 0).y - RowPoint(0, 0).y, nearFoot = rowHeight / 2 - 1;
    Drag({RowPoint(1, kPastCheck, nearFoot), RowPoint(1, kPastCheck, nearFoot + 3)});
    EXPECT_EQ(Rows(0, 4) + " " + std::to_string(acceptEnabled), moved) << "no move";
    Space(3);                                         // unticks File Type
    Drag({RowPoint(6, kOnCheck), RowPoint(6, kOnCheck)});  // ticks Folder Path
    Click(kIdDetailsReorder);
    EXPECT_EQ(Rows(0, 3) + "|" + Rows(6, 7), "File Type+,MP3 Year+,File Size-|Folder Path+");
}

TEST_F(CheckListPages, AutoplayRowsFollowTheMaskAndRebuildItFromTheLetters) {
    // untick: letters unticked by the space bar; all: the All button pressed (0 none, 1 every row), or -1.
    const struct { std::string in, untick; int all; std::string out; } cases[] = {
        {"0", "D", -1, "8"}, {"0", "AZ", -1, "33554433"}, {"-1", "", -1, "67108863"}, {"drive", "", -1, "0"},
        {"4227858433", "", -1, "1"}, {"-2147483647", "", -1, "1"},  // bits above Z dropped; bit 31 read back signed
        {"8", "", 0, "67108863"}, {"8", "", 1, "0"},  // the All buttons leave Accept as it was
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        Open(MakeAutoplayPage(), c.in);
        for (char letter : c.untick) Space(letter - 'A');
        if (c.all >= 0) Click(kIdBtnAutoplay + c.all);
        EXPECT_EQ(Accepted(), c.out);
        EXPECT_EQ(acceptEnabled > 0, !c.untick.empty());
    }
}

}  // namespace
