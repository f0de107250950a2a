#pragma once
// The flat GDI+ API from mingw-w64's headers. windows.h is trimmed (WIN32_LEAN_AND_MEAN), so
// the COM declarations GDI+ needs come in first.
#include <windows.h>

#include <objidl.h>
// GDI+ after the COM declarations above; this comment keeps the formatter from sorting it first.
#include <gdiplus.h>
