#pragma once
#include <windows.h>
#include <commctrl.h>

void createToolbar();
void createStatusBar();
// The string resource that names a toolbar button, or 0 for an id that is not a button.
UINT toolbarTooltipString(UINT_PTR buttonId);
// TTN_GETDISPINFOA: lets the tooltip load the button's string itself.
void onToolbarTooltip(NMTTDISPINFOA* info);
