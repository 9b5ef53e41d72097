#include "services/subclass.h"

namespace kk {
namespace {

const char kOldProc[] = "OldWndProc";
const char kOwner[] = "ObjectPtr";

}  // namespace

bool Subclass(HWND hwnd, WNDPROC proc, void* owner) {
    if (!IsWindow(hwnd) || !proc) return false;
    if (GetPropA(hwnd, kOldProc)) return true;
    const LONG_PTR old = SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    if (!old) return false;
    bool stored = SetPropA(hwnd, kOldProc, reinterpret_cast<HANDLE>(old)) != FALSE;
    if (stored && owner) stored = SetPropA(hwnd, kOwner, static_cast<HANDLE>(owner)) != FALSE;
    if (!stored) {
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, old);
        RemovePropA(hwnd, kOldProc);
        RemovePropA(hwnd, kOwner);
        return false;
    }
    return true;
}

bool Unsubclass(HWND hwnd) {
    HANDLE old = GetPropA(hwnd, kOldProc);
    if (!old) return false;
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    RemovePropA(hwnd, kOldProc);
    RemovePropA(hwnd, kOwner);
    return true;
}

WNDPROC OldWndProc(HWND hwnd) { return reinterpret_cast<WNDPROC>(GetPropA(hwnd, kOldProc)); }

void* SubclassOwner(HWND hwnd) { return GetPropA(hwnd, kOwner); }

LRESULT CallOldWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    WNDPROC old = OldWndProc(hwnd);
    return old ? CallWindowProcA(old, hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace kk
