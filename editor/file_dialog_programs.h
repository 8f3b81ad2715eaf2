#pragma once

#include <string>
#include <vector>

// The desktop's file dialog, run as a program. Programs are tried in this
// order: zenity (GNOME and most desktops), then kdialog (KDE); the first one
// found on the PATH is used. THUDWERK_FILE_DIALOG picks one ("zenity",
// "kdialog") or none ("drawn": the editor's own dialog).

// The programs to try, in order, for the given THUDWERK_FILE_DIALOG value
// (null or empty: all).
std::vector<std::string> FileDialogPrograms(const char* choice);

// The command line of program for an open (action 0) or save (action 1)
// dialog starting in folder with file proposed, showing files of the
// space-separated extensions. Empty for an unknown program.
std::vector<std::string> FileDialogCommand(const std::string& program, int action,
                                           const std::string& folder, const std::string& file,
                                           const char* extensions);
