#include "services/modal_loop.h"

namespace kk {

void RunModal(const ModalParts& parts) {
    const bool ownerEnabled = parts.owner && IsWindowEnabled(parts.owner);
    if (ownerEnabled) EnableWindow(parts.owner, FALSE);
    ShowWindow(parts.window, SW_SHOW);
    if (parts.firstFocus)
        if (HWND first = parts.firstFocus()) SetFocus(first);
    MSG msg;
    bool quit = false;
    int quitCode = 0;
    while (!*parts.done && IsWindow(parts.window)) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            quit = got == 0;
            quitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (parts.preTranslate(msg) || IsDialogMessageA(parts.window, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (ownerEnabled) EnableWindow(parts.owner, TRUE);
    if (parts.close) parts.close();
    if (parts.owner) SetActiveWindow(parts.owner);
    if (quit) PostQuitMessage(quitCode);  // for the program's own loop
}

}  // namespace kk
