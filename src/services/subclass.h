// Replacing a window's procedure and putting it back. The procedure that
// was replaced is kept on the window itself, under the property
// "OldWndProc", so any code holding the handle can pass messages on; an
// owner object can ride along under "ObjectPtr".
#pragma once
#include <windows.h>

namespace kk {

// Installs proc on hwnd unless the window is already subclassed (then it
// does nothing and answers true). False when the properties cannot be
// stored; the old procedure is then back in place.
bool Subclass(HWND hwnd, WNDPROC proc, void* owner = nullptr);
// Puts the stored procedure back and drops both properties; true when a
// procedure was restored.
bool Unsubclass(HWND hwnd);

// What a subclass procedure reads back.
WNDPROC OldWndProc(HWND hwnd);
void* SubclassOwner(HWND hwnd);
// Passes a message on to the stored procedure (DefWindowProc without one).
LRESULT CallOldWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace kk
