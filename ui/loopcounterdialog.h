#pragma once
// "Set Loop Counter": the looping of the whole animation, with the Global panel's rules.
#include <windows.h>

#include "edit/editor.h"

// Runs the dialog; OK applies the looping as one edit. True when the document changed.
bool runLoopCounterDialog(HWND owner, Editor& editor);
