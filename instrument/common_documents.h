#pragma once

#include <string>

// The shared documents folder all users of the machine see, the base of the
// preset folder; any thread, allocates.
//
// Windows: the common documents folder of the shell. Elsewhere:
// $THUDWERK_DOCUMENTS_DIR, else the XDG documents folder, else
// $HOME/Documents. Forward slashes, no trailing separator; empty when the
// system cannot say (the preset paths then start at the root).
std::string GetCommonDocumentsFolder();

// A path with forward slashes in the separators the system's file prompts
// show (backslashes on Windows).
std::string ToNativeSeparators(std::string path);
