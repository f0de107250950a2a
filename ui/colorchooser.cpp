#include "ui/colorchooser.h"

#include <commdlg.h>

COLORREF g_customColors[16] = {};

bool chooseColor(HWND owner, COLORREF& color) {
    CHOOSECOLORA request = {};
    request.lStructSize = sizeof(request);
    request.hwndOwner = owner;
    request.rgbResult = color;
    request.lpCustColors = g_customColors;
    // Always the full dialog with its numeric fields, and no way to fold it away.
    request.Flags = CC_RGBINIT | CC_FULLOPEN | CC_PREVENTFULLOPEN;
    if (!ChooseColorA(&request)) return false;
    color = request.rgbResult & 0xFFFFFFu;
    return true;
}
