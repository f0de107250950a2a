#pragma once
// The menu and toolbar commands: one function each, no arguments, no result.
#include <string>

struct Application;

void commandNew(Application& app);
void commandOpen(Application& app);
void commandSave(Application& app);
void commandSaveAs(Application& app);
void commandOptimize(Application& app);
void commandUndo(Application& app);
void commandRedo(Application& app);
void commandAddImage(Application& app);
void commandDeleteImage(Application& app);
void commandMoveUp(Application& app);
void commandMoveDown(Application& app);
void commandAddEmptyImage(Application& app);
void commandAnimationDelay(Application& app);
void commandLoopCounter(Application& app);
void commandAnimate(Application& app);
void commandHelp(Application& app);
void commandZoomIn(Application& app);
void commandZoomOut(Application& app);
void commandZoomToFit(Application& app);
void commandActualSize(Application& app);
void commandCheckerboard(Application& app);

// Opens a GIF file in place of the document (no question asked; a file GDI+ cannot read is
// refused with a message) and puts it first in Recent Files. False when nothing was opened.
bool openGifFile(Application& app, const std::string& path);
// Adds every frame of a picture file, the way Image, Add does.
void addFile(Application& app, const std::string& path);
// Whether a path goes the GIF way (".gif" anywhere in it) rather than through picture import.
bool takesGifRoad(const std::string& path);

// The executable's folder, without a trailing backslash.
std::string programFolder();
// The GIF open and save dialogs; on true the chosen path is in app.chosenPath.
bool showGifOpenDialog(Application& app);
bool showGifSaveDialog(Application& app);
// Saves to the document's path, or through the save dialog when it has none; false when nothing
// was written.
bool saveDocument(Application& app);
// Asks "Save changes?" when the document is changed and saves on Yes; false means stop.
bool askSaveChanges(Application& app);
