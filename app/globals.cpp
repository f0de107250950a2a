#include "app/globals.h"

HINSTANCE g_instance = nullptr;
HWND g_mainWindow = nullptr;
Editor g_editor;
std::string g_chosenPath;

HWND g_toolbar = nullptr;
HIMAGELIST g_toolbarImages = nullptr;
HWND g_statusBar = nullptr;
HWND g_frameList = nullptr;
WNDPROC g_frameListBaseProc = nullptr;
HWND g_propertyTabs = nullptr;
HWND g_composeTabs = nullptr;
HWND g_globalPanel = nullptr;
HWND g_imagePanel = nullptr;
HWND g_commentPanel = nullptr;
HWND g_commentList = nullptr;
HWND g_animationView = nullptr;

int g_scrollX = 0;
int g_scrollY = 0;
int g_scrollMaxX = 0;
int g_scrollMaxY = 0;
int g_viewClientWidth = 0;
int g_viewClientHeight = 0;
