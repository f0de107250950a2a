#pragma once
// The menu and toolbar commands: one function each, no arguments, no result.
#include <string>

void commandNew();
void commandOpen();
void commandSave();
void commandSaveAs();
void commandOptimize();
void commandUndo();
void commandRedo();
void commandAddImage();
void commandDeleteImage();
void commandMoveUp();
void commandMoveDown();
void commandAnimate();
void commandHelp();

// The executable's folder, without a trailing backslash.
std::string programFolder();
// The GIF open and save dialogs; on true the chosen path is in g_chosenPath.
bool showGifOpenDialog();
bool showGifSaveDialog();
// Saves to the document's path, or through the save dialog when it has none; false when nothing
// was written.
bool saveDocument();
// Asks "Save changes?" when the document is changed and saves on Yes; false means stop.
bool askSaveChanges();
