// The program file picker: the system's common Open dialog, filled the way
// the settings pages ask for a file, in the record size the loaded common
// dialog library understands. No messages: every failure gives "" or false.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include <cstddef>
#include <string>
#include <vector>

namespace kk {
namespace ModOpenSaveDlg {

constexpr DWORD kOpenFlags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST |
                             OFN_EXPLORER | OFN_ENABLESIZING | OFN_FORCESHOWHIDDEN;
constexpr DWORD kFileBufferSize = 700;
constexpr DWORD kFileTitleBufferSize = 260;

// The full record (88 bytes in 32-bit programs) and the one libraries older
// than version 5 know (76 bytes). 64-bit records are larger.
constexpr DWORD kNewRecordSize = sizeof(OPENFILENAMEA);
constexpr DWORD kOldRecordSize = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);  // OPENFILENAME_SIZE_VERSION_400A

// The dialog's parameter record with the buffers it points into, built
// apart from showing so that it can be checked. The record points into the
// object, so the object never moves.
class OpenRecord {
public:
    // filter separates its parts with "|"; the folder is initialPath up to
    // and with its last backslash.
    OpenRecord(HWND owner, const std::string& title, const std::string& initialPath, const std::string& filter,
               bool newComdlg);
    OpenRecord(const OpenRecord&) = delete;
    OpenRecord& operator=(const OpenRecord&) = delete;

    OPENFILENAMEA& Record() { return ofn_; }
    const OPENFILENAMEA& Record() const { return ofn_; }
    // The file buffer's text up to its first NUL.
    std::string ChosenFile() const;

private:
    std::string filter_, folder_, title_;
    std::vector<char> file_, fileTitle_;
    OPENFILENAMEA ofn_{};
};

// Shows the dialog for a record; the chosen file's full path, or "" when the
// user cancels or the dialog fails.
std::string Show(OpenRecord& record);

// The Open dialog owned by owner; "" on cancel or failure.
std::string ShowOpen(HWND owner, const std::string& title, const std::string& initialPath, const std::string& filter);

// True when the loaded common dialog library's major file version is 5 or more.
bool IsNewComdlg();

// The major file version from a file's version resource; 0 when it has none
// or it cannot be read.
int MajorFileVersion(const std::string& file);

}  // namespace ModOpenSaveDlg
}  // namespace kk
