#include "ui/colorchooser.h"

#include <commdlg.h>

namespace {

// The chooser's sixteen custom colours, kept from one use to the next while the program runs.
COLORREF s_customColors[16] = {};

}  // namespace

bool chooseColor(HWND owner, COLORREF& color) {
    CHOOSECOLORA request = {};
    request.lStructSize = sizeof(request);
    request.hwndOwner = owner;
    request.rgbResult = color;
    request.lpCustColors = s_customColors;
    // Always the full dialog with its numeric fields, and no way to fold it away.
    request.Flags = CC_RGBINIT | CC_FULLOPEN | CC_PREVENTFULLOPEN;
    if (!ChooseColorA(&request)) return false;
    color = request.rgbResult & 0xFFFFFFu;
    return true;
}
