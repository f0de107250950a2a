#pragma once
#include <windows.h>

#include <commctrl.h>

struct Application;

void createToolbar(Application& app);
void createStatusBar(Application& app);
// The string resource that names a toolbar button, or 0 for an id that is not a button.
UINT toolbarTooltipString(UINT_PTR buttonId);
// TTN_GETDISPINFOA: lets the tooltip load the button's string itself.
void onToolbarTooltip(Application& app, NMTTDISPINFOA* info);
