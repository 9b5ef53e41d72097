#include "services/file_picker.h"

#include "engine/registry.h"

#include <algorithm>

namespace kk {
namespace ModOpenSaveDlg {

#ifndef _WIN64
static_assert(kNewRecordSize == 88 && kOldRecordSize == 76, "the 32-bit record sizes the library versions expect");
#endif

OpenRecord::OpenRecord(HWND owner, const std::string& title, const std::string& initialPath,
                       const std::string& filter, bool newComdlg)
    : filter_(filter),
      folder_(initialPath.substr(0, initialPath.size() - TextAfterLast(initialPath, "\\").size())),
      title_(title),
      file_(kFileBufferSize, '\0'),
      fileTitle_(kFileTitleBufferSize, '\0') {
    std::replace(filter_.begin(), filter_.end(), '|', '\0');
    filter_.append(2, '\0');
    ofn_.lStructSize = newComdlg ? kNewRecordSize : kOldRecordSize;
    ofn_.hwndOwner = owner;
    ofn_.lpstrFilter = filter_.c_str();
    ofn_.nFilterIndex = 0;
    ofn_.lpstrFile = file_.data();
    ofn_.nMaxFile = kFileBufferSize;
    ofn_.lpstrFileTitle = fileTitle_.data();
    ofn_.nMaxFileTitle = kFileTitleBufferSize;
    ofn_.lpstrInitialDir = folder_.c_str();
    ofn_.lpstrTitle = title_.c_str();
    ofn_.Flags = kOpenFlags;
}

std::string OpenRecord::ChosenFile() const {
    return std::string(file_.data(), std::find(file_.begin(), file_.end(), '\0') - file_.begin());
}

std::string Show(OpenRecord& record) {
    if (!GetOpenFileNameA(&record.Record())) return {};
    return record.ChosenFile();
}

std::string ShowOpen(HWND owner, const std::string& title, const std::string& initialPath, const std::string& filter) {
    OpenRecord record(owner, title, initialPath, filter, IsNewComdlg());
    return Show(record);
}

int MajorFileVersion(const std::string& file) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &handle);
    if (size == 0) return 0;
    std::vector<char> data(size);
    if (!GetFileVersionInfoA(file.c_str(), 0, size, data.data())) return 0;
    void* block = nullptr;
    UINT length = 0;
    char root[] = "\\";
    if (!VerQueryValueA(data.data(), root, &block, &length) || !block || length < sizeof(VS_FIXEDFILEINFO)) return 0;
    return HIWORD(static_cast<const VS_FIXEDFILEINFO*>(block)->dwFileVersionMS);
}

bool IsNewComdlg() {
    // The library this process loaded is the one that will read the record.
    std::string library = "Comdlg32.dll";
    if (HMODULE loaded = GetModuleHandleA("comdlg32.dll")) {
        char path[MAX_PATH] = {};
        if (GetModuleFileNameA(loaded, path, MAX_PATH)) library = path;
    }
    return MajorFileVersion(library) >= 5;
}

}  // namespace ModOpenSaveDlg
}  // namespace kk
