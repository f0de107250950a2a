#pragma once
// State shared by the main window, the commands, the frame list, the panels and the view.
// Everything runs on the one user-interface thread, so nothing here is locked.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "edit/editor.h"

extern HINSTANCE g_instance;
extern HWND g_mainWindow;
// The document, its path, the current frame and the undo history: every change goes through it.
extern Editor g_editor;
// Path picked in the last GIF open or save dialog.
extern std::string g_chosenPath;

// Children of the main window.
extern HWND g_toolbar;
extern HIMAGELIST g_toolbarImages;
extern HWND g_statusBar;
extern HWND g_frameList;
extern WNDPROC g_frameListBaseProc;
extern HWND g_propertyTabs;
extern HWND g_composeTabs;
extern HWND g_globalPanel;
extern HWND g_imagePanel;
extern HWND g_commentPanel;
extern HWND g_commentList;  // the Comment panel's combo box
extern HWND g_animationView;

// Scroll state of the animation view, in pixels of the logical screen.
extern int g_scrollX;
extern int g_scrollY;
extern int g_scrollMaxX;  // screenWidth minus the view's client width; may be 0 or negative
extern int g_scrollMaxY;
extern int g_viewClientWidth;
extern int g_viewClientHeight;
