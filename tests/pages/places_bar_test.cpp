// The Places Bar page: the settings text as the controls show it and as Accept writes it back, the two refusals that
// keep the dialog open, and the Browse buttons with a stand-in browser.
#include "pages/places_bar_page.h"

#include "pages/page_fixture.h"
#include "services/folder_browser.h"
#include "support/test_env.h"

#include <functional>
#include <vector>

using namespace kk;
using namespace std::string_literals;  // "...\0..."s keeps the NULs of a settings text

namespace {

class PlacesBar : public kktest::PageTest {
protected:
    void SetUp() override { FolderChoice() = "before"; }
    // The page with a browser that records where it was asked to start and leaves `answer` in FolderChoice, as
    // the real one does.
    void OpenPlaces(const std::string& pageValue) {
        Open(MakePlacesBarPage([this](HWND owner) {
                 started.push_back((owner == hwnd_ ? "" : "other owner: ") + FolderChoice());
                 FolderChoice() = answer;
             }),
             pageValue);
    }
    int Selection(int id) const { return static_cast<int>(SendMessageA(Item(id), CB_GETCURSEL, 0, 0)); }
    // What a place shows: its selected entry's text or its typed text.
    std::string Shown(int i) const { return (Selection(kIdPlace + i) < 0 ? "typed " : "entry ") + Text(kIdPlace + i); }

    std::vector<std::string> started;
    std::string answer;
    const std::string temp = kktest::MakeTempFolder("places");
    const std::string folder = temp.substr(0, temp.size() - 1);  // a real folder, without its trailing backslash
};

const std::string kMissing = "C:\\no such folder here";

TEST_F(PlacesBar, ShowsTheSettingsTextAndWritesBackWhatTheUserLeaves) {
    const std::string unc = "\\\\?\\" + folder;  // two backslashes, and an existing folder
    // shown: places 0 and 4.
    struct Case { std::string saved; std::vector<std::string> shown; std::function<void()> edit; std::string accepted; };
    const Case cases[] = {
        {"3210\0" "34\0" "0\0" "5\0" "17\0" "18"s, {"entry \"Browser History\"", "entry \"My Network Places\""}, [] {},
         "3210\0" "34\0" "0\0" "5\0" "17\0" "18"s},
        // A word reads as the number 0: the desktop.
        {"0001\0word\0" "6\0" "8\0" "39\0" "10"s, {"entry \"Desktop\"", "entry \"Recycle Bin\""}, [] {},
         "0001\0" "0\0" "6\0" "8\0" "39\0" "10"s},
        {"0100\0"s + folder + "\0" "5\0" "5\0" "5\0"s + unc, {"typed " + folder, "typed " + unc}, [] {},
         "0100\0"s + folder + "\0" "5\0" "5\0" "5\0"s + unc},
        // Typed with its quotes, a standard entry is stored by its number.
        {"0000\0" "0\0" "0\0" "0\0" "0\0" "0"s, {"entry \"Desktop\"", "entry \"Desktop\""},
         [&] { SetText(kIdPlace + 4, "\"Favorites\""); }, "0000\0" "0\0" "0\0" "0\0" "0\0" "6"s},
        {"1011\0" "5\0" "5\0" "5\0" "5\0" "5"s, {"entry \"My Documents\"", "entry \"My Documents\""},
         [&] { Click(kIdPlacesSort + 0); Click(kIdPlacesHide); SendMessageA(Item(kIdPlacesView), CB_SETCURSEL, 3, 0); },
         "3000\0" "5\0" "5\0" "5\0" "5\0" "5"s},
        // Short texts leave the controls at their defaults.
        {"2", {"typed ", "typed "}, [] {}, "refused"},
        {"", {"typed ", "typed "}, [&] { for (int i = 0; i < kPlaceCount; ++i) SetText(kIdPlace + i, folder); },
         "0010\0"s + folder + '\0' + folder + '\0' + folder + '\0' + folder + '\0' + folder},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.saved.c_str());
        OpenPlaces(c.saved);
        EXPECT_EQ((std::vector<std::string>{Shown(0), Shown(4)}), c.shown);
        c.edit();
        EXPECT_EQ(Accepted(), c.accepted);
    }
    // "2": the view set, the sort field unselected, the second sort button down, the bar shown.
    OpenPlaces("2");
    EXPECT_EQ(std::to_string(Selection(kIdPlacesView)) + std::to_string(Selection(kIdPlacesSortList)) +
                  std::to_string(IsTicked(Item(kIdPlacesSort))) + std::to_string(IsTicked(Item(kIdPlacesSort + 1))) +
                  std::to_string(IsTicked(Item(kIdPlacesHide))),
              "2-1010");
    EXPECT_EQ(SendMessageA(Item(kIdPlace + 2), CB_GETCOUNT, 0, 0), 9) << "every place lists the nine standard folders";
}

TEST_F(PlacesBar, RefusesANameOrAMissingFolderAndKeepsWhatWasTyped) {
    const std::string box = "|Customize the Places Bar|16400|142";
    OpenPlaces("0000\0" "5\0" "5\0" "5\0" "5\0" "5"s);
    SetText(kIdPlace + 1, "");
    Type(kIdPlace + 1, "Projects");
    SetText(kIdPlace + 3, kMissing);
    EXPECT_EQ(Accepted(), "refused");
    EXPECT_EQ(Message(0) + " " + Message(1), "Projects\r\ris not a valid folder." + box + " none") << "place 3 waits";
    EXPECT_EQ(Shown(1), "typed Projects");

    SetText(kIdPlace + 1, folder);
    EXPECT_EQ(Accepted(), "refused");
    EXPECT_EQ(Message(1) + " " + Message(2), "The folder:\r\r" + kMissing +
                                          "\r\rdoes not appear to exist.  Use the Browse button to choose a valid "
                                          "folder." + box + " none");
    EXPECT_EQ(Text(kIdPlace + 3), kMissing) << "kept for the user to correct";

    SetText(kIdPlace + 3, "\"Recent Documents\"");
    EXPECT_EQ(Accepted(), "0000\0" "5\0"s + folder + "\0" "5\0" "8\0" "5"s);
    EXPECT_EQ(Shown(3), "entry \"Recent Documents\"") << "the typed entry is selected";
}

TEST_F(PlacesBar, BrowseStartsAtAnExistingTypedFolderOrWhereTheLastBrowseEnded) {
    OpenPlaces("0000\0" "5\0\\\\server\\share\0"s + folder + "\0"s + kMissing + "\0" "17"s);
    const struct { int place; std::string answer, shown; } steps[] = {
        {0, "\"Desktop\"", "entry \"Desktop\""},    // starts at "before"
        {1, "", "typed \\\\server\\share"},          // a network path: starts at "\"Desktop\""
        {2, folder + "\\sub", "typed " + folder + "\\sub"},  // starts at the folder itself
        {3, "", "typed " + kMissing},                // a missing folder: starts where the last ended
        {4, "D:\\", "typed D:\\"},
    };
    for (const auto& s : steps) {
        answer = s.answer;
        acceptEnabled = 0;
        Click(kIdPlacesBrowse + s.place);
        EXPECT_EQ(Shown(s.place), s.shown);
        EXPECT_EQ(acceptEnabled > 0, !s.answer.empty()) << s.place;
    }
    EXPECT_EQ(started, (std::vector<std::string>{"before", "\"Desktop\"", folder, folder + "\\sub", ""}));
}

}  // namespace
