#pragma once
// Keeps the windows in step with the editing layer: after every edit, undo, redo, open or new the
// frame list, the panels, the canvas, the title bar and the Undo and Redo controls are shown anew.
#include "edit/editor.h"

struct Application;

// Registered with the editor at start-up.
void showEditorState(Application& app, const EditNotice& notice);
// Takes the values being typed into any panel field, with their usual corrections, so that no
// command runs on a document that misses what the user typed.
void commitTypedValues(Application& app);
// "name.gif - Velmora", with a leading "*" while changed; "Untitled - Velmora" without a file.
void showWindowTitle(Application& app);
