#pragma once
// What a panel or the canvas receives from the program around it when it is created, instead of
// reaching for shared state: the editing layer, the window that owns its dialogs, and a way to take
// every typed value before a modal dialog runs on the document.
#include <windows.h>

#include <functional>

#include "edit/editor.h"

struct WindowContext {
    Editor* editor = nullptr;
    HWND owner = nullptr;
    std::function<void()> commitTyping;
    // Set while the window fills its own controls, so its writes are not taken for typing.
    bool showing = false;
};

// Dialog procedures get their context as the creation parameter and keep it in DWLP_USER.
inline void attachContext(HWND window, LPARAM context) {
    SetWindowLongPtrA(window, DWLP_USER, context);
}
// Null before WM_INITDIALOG: the few messages that come earlier find nothing to act on.
inline WindowContext* contextOf(HWND window) {
    return reinterpret_cast<WindowContext*>(GetWindowLongPtrA(window, DWLP_USER));
}
