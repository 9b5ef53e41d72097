// The program file picker: the record as filled for the command prompt
// page, the record size the library version decides, and the real Open
// dialog driven from a second thread. The page's Browse button, with a
// stand-in picker, is checked in tests/pages/simple_pages_test.cpp.
#include "services/file_picker.h"

#include "engine/product_version.h"
#include "pages/page_controls.h"
#include "support/message_pump.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <dlgs.h>

#include <algorithm>
#include <cstdio>

using namespace kk::ModOpenSaveDlg;

namespace {

const char kTitle[] = "Select Command Prompt Application";
const char kFilter[] = "Applications (*.exe)|*.exe";

TEST(FilePickerRecord, IsFilledForTheCommandPromptPageInTheSizeTheLibraryKnows) {
    HWND owner = GetDesktopWindow();
    OpenRecord record(owner, kTitle, "C:\\Tools\\cmd.exe", kFilter, true);
    const OPENFILENAMEA& ofn = record.Record();
    EXPECT_EQ(ofn.lStructSize, sizeof(OPENFILENAMEA));  // 88 in the 32-bit program
    EXPECT_EQ(std::string(ofn.lpstrFilter, 29), std::string("Applications (*.exe)\0*.exe\0\0", 29));
    EXPECT_EQ(std::string(ofn.lpstrFile, ofn.nMaxFile), std::string(700, '\0'));
    EXPECT_STREQ(ofn.lpstrInitialDir, "C:\\Tools\\");
    EXPECT_STREQ(OpenRecord(owner, kTitle, "cmd.exe", kFilter, true).Record().lpstrInitialDir, "");
    EXPECT_EQ(OpenRecord(owner, kTitle, "", kFilter, false).Record().lStructSize, OPENFILENAME_SIZE_VERSION_400A);
    // The panel's own program carries version 4, like an old library.
    std::string panel = "Z:" KK_PANEL_EXE;
    std::replace(panel.begin(), panel.end(), '/', '\\');
    EXPECT_EQ(MajorFileVersion(panel), KK_VERSION_MAJOR);
    EXPECT_EQ(MajorFileVersion(kktest::ProgramFolder() + "no-such-file.dll"), 0);
    EXPECT_EQ(MajorFileVersion(kktest::ProgramPath()), 0) << "the test program has no version resource";
    EXPECT_TRUE(IsNewComdlg()) << "Wine's library reports 6.0";
}

TEST(FilePickerDialog, ChoosingAFileReturnsItsFullPathAndARefusedRecordNothing) {
    const std::string folder = kktest::MakeTempFolder("picker");
    if (FILE* f = std::fopen((folder + "tool.exe").c_str(), "wb")) std::fclose(f);
    HWND owner = CreateWindowExA(0, "STATIC", "Picker owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200,
                                 nullptr, nullptr, nullptr, nullptr);
    // A second thread plays the user: reads the dialog, types the name (in the edit of the cmb13 ComboBoxEx, or the
    // plain edt1) and presses Open.
    std::string title, fileType;
    std::string chosen;
    const kktest::ModalRun run = kktest::RunModalAsUser(
        owner, "#32770",
        [&](HWND dialog) {
            title = kk::ControlText(dialog);
            fileType = kk::ControlText(GetDlgItem(dialog, cmb1));
            HWND edit = reinterpret_cast<HWND>(SendMessageA(GetDlgItem(dialog, cmb13), CBEM_GETEDITCONTROL, 0, 0));
            SendMessageA(edit ? edit : GetDlgItem(dialog, edt1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("tool.exe"));
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        },
        [&] { chosen = ShowOpen(owner, kTitle, folder + "cmd.exe", kFilter); });
    ASSERT_TRUE(run.window) << "no Open dialog appeared, owned by the caller's window";
    EXPECT_TRUE(run.closedByUser) << "Open did not close the dialog";
    EXPECT_EQ(chosen, folder + "tool.exe") << "found in the initial folder";
    EXPECT_EQ(title, kTitle);
    EXPECT_EQ(fileType, "Applications (*.exe)");

    OpenRecord refused(owner, kTitle, "", kFilter, true);
    refused.Record().lStructSize = 12;
    EXPECT_EQ(Show(refused), "") << "a record the library refuses";
    DestroyWindow(owner);
    DeleteFileA((folder + "tool.exe").c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
