#include "floor_windows.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

namespace kkbench {
namespace {

std::string ClassOf(HWND hwnd) {
    char name[128] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

std::string TextOf(HWND hwnd) {
    const int length = GetWindowTextLengthA(hwnd);
    std::string text(length + 1, '\0');
    GetWindowTextA(hwnd, &text[0], length + 1);
    text.resize(length);
    return text;
}

RECT PlaceOf(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Parents before children, each level in creation order.
std::vector<HWND> Descendants(HWND top) {
    std::vector<HWND> out;
    std::vector<HWND> level{top};
    while (!level.empty()) {
        std::vector<HWND> next;
        for (HWND parent : level) {
            // A control that makes its own children (a combo box's edit, a
            // list view's header) makes them again in the floor.
            const std::string cls = ClassOf(parent);
            if (parent != top && (cls == "ComboBox" || cls == "SysListView32" || cls == "SysTreeView32")) continue;
            for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                out.push_back(child);
                next.push_back(child);
            }
        }
        level.swap(next);
    }
    return out;
}

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\t') out += "\\t";
        else out += c;
    }
    return out;
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
    }
    return out;
}

// What a bare program would use: the system's own classes, drawn by the system.
void Standardise(WindowRecord& r) {
    const bool known = r.className == "Static" || r.className == "Button" || r.className == "ScrollBar" ||
                       r.className == "Edit" || r.className == "ComboBox" || r.className == "SysListView32" ||
                       r.className == "SysTreeView32";
    if (!known) {
        r.className = "Static";
        r.style &= WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_DISABLED;
    } else if (r.className == "Button" && (r.style & BS_TYPEMASK) == BS_OWNERDRAW) {
        r.style = (r.style & ~BS_TYPEMASK) | BS_AUTOCHECKBOX;
    } else if (r.className == "Static" && (r.style & SS_TYPEMASK) == SS_OWNERDRAW) {
        r.style &= ~SS_TYPEMASK;
    }
}

// Empty rows under one column: a bare list the page's length, whose scroll
// bar is the page's.
void AddRows(HWND list, const WindowRecord& r) {
    RECT client{};
    GetClientRect(list, &client);
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH;
    column.cx = client.right - GetSystemMetrics(SM_CXVSCROLL);
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    if (r.style & LVS_OWNERDATA) {
        SendMessageA(list, LVM_SETITEMCOUNT, r.rows, 0);
        return;
    }
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.pszText = const_cast<char*>("");
    for (item.iItem = 0; item.iItem < r.rows; ++item.iItem)
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

LRESULT CALLBACK FloorProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

std::vector<WindowRecord> RecordTree(HWND top, int surfaceId) {
    const std::vector<HWND> all = Descendants(top);
    std::vector<WindowRecord> records;
    for (HWND hwnd : all) {
        WindowRecord r;
        r.className = ClassOf(hwnd);
        r.style = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE));
        r.exStyle = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_EXSTYLE));
        r.id = GetDlgCtrlID(hwnd);
        r.text = TextOf(hwnd);
        HWND parent = GetParent(hwnd);
        for (size_t i = 0; i < all.size(); ++i)
            if (all[i] == parent) r.parent = static_cast<int>(i);
        r.moves = r.id == surfaceId || (r.parent >= 0 && records[r.parent].moves);
        r.start = PlaceOf(hwnd);
        if (r.className == "SysListView32") r.rows = static_cast<int>(SendMessageA(hwnd, LVM_GETITEMCOUNT, 0, 0));
        records.push_back(r);
    }
    for (WindowRecord& r : records) Standardise(r);
    return records;
}

void RecordPlaces(HWND top, std::vector<WindowRecord>& records, RECT WindowRecord::*place) {
    const std::vector<HWND> all = Descendants(top);
    for (size_t i = 0; i < all.size() && i < records.size(); ++i) records[i].*place = PlaceOf(all[i]);
}

bool SaveRecords(const std::string& path, const std::vector<WindowRecord>& records, SIZE startSize) {
    FILE* f = std::fopen(path.c_str(), "w");
    if (!f) return false;
    std::fprintf(f, "%ld %ld\n", startSize.cx, startSize.cy);
    for (const WindowRecord& r : records) {
        std::fprintf(f, "%s\t%lx\t%lx\t%d\t%d\t%d\t%d", r.className.c_str(), r.style, r.exStyle, r.id, r.parent,
                     r.moves, r.rows);
        for (const RECT* p : {&r.start, &r.a, &r.b}) std::fprintf(f, "\t%ld %ld %ld %ld", p->left, p->top, p->right, p->bottom);
        std::fprintf(f, "\t%s\n", Escape(r.text).c_str());
    }
    std::fclose(f);
    return true;
}

bool LoadRecords(const std::string& path, std::vector<WindowRecord>& records, SIZE& startSize) {
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f) return false;
    char line[8192];
    records.clear();
    if (!std::fgets(line, sizeof line, f) || std::sscanf(line, "%ld %ld", &startSize.cx, &startSize.cy) != 2) {
        std::fclose(f);
        return false;
    }
    while (std::fgets(line, sizeof line, f)) {
        line[std::strcspn(line, "\n")] = '\0';
        WindowRecord r;
        char cls[128] = {};
        int moves = 0, consumed = 0;
        unsigned long style = 0, exStyle = 0;
        if (std::sscanf(line, "%127[^\t]\t%lx\t%lx\t%d\t%d\t%d\t%d\t%ld %ld %ld %ld\t%ld %ld %ld %ld\t%ld %ld %ld %ld\t%n",
                        cls, &style, &exStyle, &r.id, &r.parent, &moves, &r.rows, &r.start.left, &r.start.top,
                        &r.start.right, &r.start.bottom, &r.a.left, &r.a.top, &r.a.right, &r.a.bottom, &r.b.left,
                        &r.b.top, &r.b.right, &r.b.bottom, &consumed) < 19)
            continue;
        r.className = cls;
        r.style = style;
        r.exStyle = exStyle;
        r.moves = moves != 0;
        r.text = Unescape(line + consumed);
        records.push_back(r);
    }
    std::fclose(f);
    return !records.empty();
}

HWND CreateFloor(const std::vector<WindowRecord>& records, SIZE outer, std::vector<HWND>& windows) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = FloorProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = "KestrelkitBenchFloor";
    RegisterClassA(&wc);
    HWND top = CreateWindowExA(WS_EX_APPWINDOW, wc.lpszClassName, "Floor", WS_POPUP | WS_THICKFRAME | WS_CLIPCHILDREN,
                               (GetSystemMetrics(SM_CXSCREEN) - outer.cx) / 2, (GetSystemMetrics(SM_CYSCREEN) - outer.cy) / 2,
                               outer.cx, outer.cy, nullptr, nullptr, instance, nullptr);
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    windows.clear();
    for (const WindowRecord& r : records) {
        HWND parent = r.parent >= 0 && r.parent < static_cast<int>(windows.size()) ? windows[r.parent] : top;
        HWND hwnd = CreateWindowExA(r.exStyle, r.className.c_str(), r.text.c_str(), r.style, r.start.left, r.start.top,
                                    r.start.right - r.start.left, r.start.bottom - r.start.top, parent,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(r.id)), instance, nullptr);
        SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (r.rows > 0) AddRows(hwnd, r);
        windows.push_back(hwnd);
    }
    return top;
}

void MoveFloor(const std::vector<WindowRecord>& records, const std::vector<HWND>& windows, RECT WindowRecord::*place) {
    for (size_t i = 0; i < records.size() && i < windows.size(); ++i) {
        if (!records[i].moves) continue;
        const RECT& r = records[i].*place;
        SetWindowPos(windows[i], nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

}  // namespace kkbench
