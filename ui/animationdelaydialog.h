#pragma once
// "Animation Delay": one delay for every frame (or the current one), or every delay scaled by a
// percentage to speed the animation up or slow it down.
#include <windows.h>

#include "edit/editor.h"

// Runs the dialog; OK applies the new delays as one edit. True when the document changed.
bool runAnimationDelayDialog(HWND owner, Editor& editor);
