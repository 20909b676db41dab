// Desktop services of a Linux editor, each run through the desktop's own
// programs: file and colour dialogs (zenity or kdialog), opening a document
// or address (xdg-open), and the user's XDG folders.
#pragma once

#include <string>

namespace kettrix::desktop {

// Full path of an executable found on PATH; empty when there is none.
std::string FindProgram(const char* name);

enum class DialogResult { Chosen, Cancelled, Unavailable };

// Runs the open or save dialog of zenity or kdialog (whichever exists),
// starting in `folder`, filtered to the space-separated `extensions`
// ("k4s"). Waits for the user; `path` gets the chosen file.
DialogResult ChooseFile(bool save, const std::string& folder, const std::string& extensions, std::string& path);

// A colour chooser (zenity); rgb in 0..255.
DialogResult ChooseColor(int& r, int& g, int& b);

// Hands a web address or file to xdg-open without waiting for the program
// it starts; false when xdg-open is missing or could not be started.
bool OpenWithSystem(const std::string& target);

// $XDG_DOCUMENTS_DIR, else the entry of ~/.config/user-dirs.dirs, else
// ~/Documents, else the home folder. Always ends with '/'.
std::string DocumentsFolder();
// $XDG_DATA_HOME, else ~/.local/share. Always ends with '/'.
std::string DataFolder();
// $XDG_CONFIG_HOME, else ~/.config: where the user's settings live. Always
// ends with '/'.
std::string ConfigFolder();

}  // namespace kettrix::desktop
