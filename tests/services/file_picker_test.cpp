// The program file picker: the record as filled for the command prompt
// page, the record size the library version decides, and the real Open
// dialog driven from a second thread.
#include "services/file_picker.h"

#include "engine/product_version.h"
#include "support/message_pump.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <dlgs.h>

#include <algorithm>
#include <cstdio>
#include <thread>

using namespace kk::ModOpenSaveDlg;

namespace {

const char kTitle[] = "Select Command Prompt Application";
const char kFilter[] = "Applications (*.exe)|*.exe";

TEST(FilePickerRecord, IsFilledForTheCommandPromptPage) {
    HWND owner = GetDesktopWindow();
    OpenRecord record(owner, kTitle, "C:\\Tools\\cmd.exe", kFilter, true);
    const OPENFILENAMEA& ofn = record.Record();
    EXPECT_EQ(ofn.lStructSize, sizeof(OPENFILENAMEA));  // 88 in the 32-bit program
    EXPECT_EQ(ofn.hwndOwner, owner);
    EXPECT_EQ(std::string(ofn.lpstrFilter, 29), std::string("Applications (*.exe)\0*.exe\0\0", 29));
    EXPECT_EQ(ofn.nFilterIndex, 0u);
    EXPECT_EQ(std::string(ofn.lpstrFile, ofn.nMaxFile), std::string(700, '\0'));
    EXPECT_EQ(std::string(ofn.lpstrFileTitle, ofn.nMaxFileTitle), std::string(260, '\0'));
    EXPECT_STREQ(ofn.lpstrInitialDir, "C:\\Tools\\");
    EXPECT_STREQ(ofn.lpstrTitle, kTitle);
    EXPECT_EQ(ofn.Flags, 0x10881806u);
    // The folder keeps its backslash; a bare name gives none.
    EXPECT_STREQ(OpenRecord(owner, kTitle, "C:\\cmd.exe", kFilter, true).Record().lpstrInitialDir, "C:\\");
    EXPECT_STREQ(OpenRecord(owner, kTitle, "cmd.exe", kFilter, true).Record().lpstrInitialDir, "");
}

TEST(FilePickerRecord, AnOldLibraryGetsTheShortRecord) {
    EXPECT_EQ(OpenRecord(nullptr, kTitle, "", kFilter, false).Record().lStructSize, OPENFILENAME_SIZE_VERSION_400A);
    // The panel's own program carries version 4, like an old library.
    std::string panel = "Z:" KK_PANEL_EXE;
    std::replace(panel.begin(), panel.end(), '/', '\\');
    EXPECT_EQ(MajorFileVersion(panel), KK_VERSION_MAJOR);
    EXPECT_EQ(MajorFileVersion(kktest::ProgramFolder() + "no-such-file.dll"), 0);
    EXPECT_EQ(MajorFileVersion(kktest::ProgramPath()), 0) << "the test program has no version resource";
    EXPECT_TRUE(IsNewComdlg()) << "Wine's library reports 6.0";
}

struct Search {
    const char* className;
    HWND found = nullptr;
};
BOOL CALLBACK TakeFirst(HWND hwnd, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    char name[32] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (lstrcmpiA(name, search->className) != 0 || !IsWindowVisible(hwnd)) return TRUE;
    search->found = hwnd;
    return FALSE;
}

std::string Text(HWND hwnd) {
    char buffer[MAX_PATH] = {};
    GetWindowTextA(hwnd, buffer, sizeof buffer);
    return buffer;
}

// The file name box: the edit inside cmb13 (in Wine a combo box inside a
// ComboBoxEx32), or the plain edit edt1.
void TypeFileName(HWND dialog, const char* name) {
    Search edit{"Edit"};
    EnumChildWindows(GetDlgItem(dialog, cmb13), TakeFirst, reinterpret_cast<LPARAM>(&edit));
    SendMessageA(edit.found ? edit.found : GetDlgItem(dialog, edt1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name));
}

struct Driven {
    std::string chosen;
    bool found = false, closed = false;  // the dialog appeared; it closed after act
};

// Shows the dialog on this thread while a second thread waits for it, lets
// act work on it and cancels it should it stay open.
template <typename Show, typename Act>
Driven Drive(Show show, Act act) {
    Driven result;
    const DWORD thread = GetCurrentThreadId();
    std::thread user([&] {
        Search dialog{"#32770"};
        for (int n = 0; n < 200 && !dialog.found; ++n) {
            EnumThreadWindows(thread, TakeFirst, reinterpret_cast<LPARAM>(&dialog));
            if (!dialog.found) Sleep(50);
        }
        if (!(result.found = dialog.found != nullptr)) return;
        act(dialog.found);
        for (int n = 0; n < 100 && IsWindow(dialog.found); ++n) Sleep(50);
        result.closed = !IsWindow(dialog.found);
        if (!result.closed) PostMessageA(dialog.found, WM_COMMAND, IDCANCEL, 0);
    });
    result.chosen = show();
    user.join();
    return result;
}

class FilePickerDialog : public ::testing::Test {
protected:
    void SetUp() override {
        folder = kktest::MakeTempFolder("picker");
        if (FILE* f = std::fopen((folder + "tool.exe").c_str(), "wb")) std::fclose(f);
        owner = CreateWindowExA(0, "STATIC", "Picker owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200,
                                nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override {
        DestroyWindow(owner);
        DeleteFileA((folder + "tool.exe").c_str());
        RemoveDirectoryA(folder.c_str());
    }
    std::string folder;
    HWND owner = nullptr;
};

TEST_F(FilePickerDialog, ChoosingAFileReturnsItsFullPath) {
    std::string title, fileType;
    HWND dialogOwner = nullptr;
    const Driven driven = Drive([&] { return ShowOpen(owner, kTitle, folder + "cmd.exe", kFilter); },
                                [&](HWND dialog) {
                                    title = Text(dialog);
                                    dialogOwner = GetWindow(dialog, GW_OWNER);
                                    fileType = Text(GetDlgItem(dialog, cmb1));
                                    TypeFileName(dialog, "tool.exe");  // found in the initial folder
                                    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
                                });
    ASSERT_TRUE(driven.found) << "no Open dialog appeared";
    EXPECT_TRUE(driven.closed) << "Open did not close the dialog";
    EXPECT_EQ(driven.chosen, folder + "tool.exe");
    EXPECT_EQ(title, kTitle);
    EXPECT_EQ(dialogOwner, owner);
    EXPECT_EQ(fileType, "Applications (*.exe)");
}

TEST_F(FilePickerDialog, CancelAndFailureReturnNothing) {
    // The short record of an old library is one the dialog accepts too.
    OpenRecord record(owner, kTitle, folder + "cmd.exe", kFilter, false);
    const Driven driven = Drive([&] { return Show(record); },
                                [](HWND dialog) {
                                    TypeFileName(dialog, "tool.exe");
                                    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                                });
    ASSERT_TRUE(driven.found) << "no Open dialog appeared";
    EXPECT_TRUE(driven.closed);
    EXPECT_EQ(driven.chosen, "") << "a name typed and then cancelled is not chosen";

    OpenRecord refused(owner, kTitle, "", kFilter, true);
    refused.Record().lStructSize = 12;
    EXPECT_EQ(Show(refused), "") << "a record the library refuses";
}

}  // namespace
