#include "ui/labelfit.h"

#include <algorithm>
#include <string>

namespace {

RECT placedIn(HWND dialog, HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The width the control needs to show its whole text, or 0 for controls that are not labels.
int neededWidth(HWND control) {
    char className[16] = {};
    GetClassNameA(control, className, sizeof(className));
    const LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
    const bool label = lstrcmpiA(className, "Static") == 0 && (style & SS_TYPEMASK) <= SS_RIGHT;
    const LONG_PTR buttonType = style & BS_TYPEMASK;
    const bool checkBox = lstrcmpiA(className, "Button") == 0 &&
                          (buttonType == BS_AUTOCHECKBOX || buttonType == BS_CHECKBOX ||
                           buttonType == BS_AUTORADIOBUTTON || buttonType == BS_RADIOBUTTON);
    if (!label && !checkBox) return 0;

    char buffer[256] = {};
    std::string text(buffer, size_t(GetWindowTextA(control, buffer, sizeof(buffer))));
    // An ampersand marks the next letter as the shortcut and is not drawn.
    if (!(label && (style & SS_NOPREFIX))) text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
    if (text.empty()) return 0;
    HDC dc = GetDC(control);
    const HGDIOBJ oldFont = SelectObject(dc, HGDIOBJ(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32A(dc, text.data(), int(text.size()), &size);
    SelectObject(dc, oldFont);
    ReleaseDC(control, dc);
    // A check box draws its box and a gap on either side of the text.
    return checkBox ? size.cx + GetSystemMetrics(SM_CXMENUCHECK) + 3 * GetSystemMetrics(SM_CXEDGE) : size.cx;
}

bool alignedRight(HWND control) {
    char className[16] = {};
    GetClassNameA(control, className, sizeof(className));
    if (lstrcmpiA(className, "Static") == 0)
        return (GetWindowLongPtrA(control, GWL_STYLE) & SS_TYPEMASK) == SS_RIGHT;
    return (GetWindowLongPtrA(control, GWL_EXSTYLE) & WS_EX_RIGHT) != 0;
}

void fitLabel(HWND dialog, HWND label, int needed) {
    const RECT rect = placedIn(dialog, label);
    if (rect.right - rect.left >= needed) return;
    RECT client;
    GetClientRect(dialog, &client);
    // The room between the nearest controls on the label's row; a control that encloses the label
    // (a group box) is no obstacle.
    LONG leftLimit = client.left, rightLimit = client.right;
    for (HWND other = GetWindow(dialog, GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT)) {
        if (other == label) continue;
        const RECT o = placedIn(dialog, other);
        if (o.top >= rect.bottom || o.bottom <= rect.top) continue;
        if (o.left <= rect.left && o.right >= rect.right) continue;
        if (o.left > rect.left)
            rightLimit = std::min(rightLimit, std::max(o.left, rect.right));
        else
            leftLimit = std::max(leftLimit, std::min(o.right, rect.left));
    }
    LONG left = rect.left, right = rect.right;
    const LONG missing = needed - (right - left);
    if (alignedRight(label)) {
        left = std::max(leftLimit, left - missing);
        right = std::min(rightLimit, left + needed);
    } else {
        right = std::min(rightLimit, right + missing);
        left = std::max(leftLimit, right - needed);
    }
    SetWindowPos(label, nullptr, left, rect.top, right - left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void fitLabelsToTheirText(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (const int needed = neededWidth(child)) fitLabel(dialog, child, needed);
}
