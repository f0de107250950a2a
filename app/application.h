#pragma once
// The program's state, in one object that the main window owns: the editing layer, the child
// windows, and what the panels and the canvas were given when they were made. Everything runs on
// the one user-interface thread, so nothing here is locked.
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "app/dpi.h"
#include "app/playback.h"
#include "edit/editor.h"
#include "ui/animationview.h"
#include "ui/windowcontext.h"

struct Application {
    HINSTANCE instance = nullptr;
    HWND window = nullptr;  // the main window
    int dpi = kDesignDpi;   // the main window's, kept up to date as it moves between monitors
    // The document, its path, the current frame and the undo history: every change goes through it.
    Editor editor;
    // Path picked in the last GIF open or save dialog.
    std::string chosenPath;

    HWND toolbar = nullptr;
    HIMAGELIST toolbarImages = nullptr;
    HWND statusBar = nullptr;
    HWND frameList = nullptr;
    WNDPROC frameListBaseProc = nullptr;
    HWND propertyTabs = nullptr;
    HWND composeTabs = nullptr;
    HWND globalPanel = nullptr;
    HWND imagePanel = nullptr;
    HWND commentPanel = nullptr;
    HWND animationView = nullptr;

    // Handed to the panels and the canvas at creation; they reach nothing else.
    WindowContext globalPanelContext;
    WindowContext imagePanelContext;
    WindowContext commentPanelContext;
    CanvasState canvas;
    PlaybackState playback;

    // The per-user settings file (window placement, Recent Files); empty keeps nothing.
    std::string settingsPath;
    // Most recent first, at most kMaxRecentFiles.
    std::vector<std::string> recentFiles;

    HACCEL accelerators = nullptr;
    ULONG_PTR gdiplusToken = 0;
    bool oleStarted = false;
};

// The object behind the main window, for window procedures that get only a handle.
Application& applicationOf(HWND mainWindow);
