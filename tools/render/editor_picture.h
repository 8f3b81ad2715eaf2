#pragma once

#include <string>

class PluginInstance;

// Opens the plug-in's editor the way a host does, inside a window of the
// tool's own, lets it paint, and writes what it shows as a PNG file. On
// Linux the window lives on $DISPLAY, or on a private Xvfb started for the
// purpose when there is no display (so it works headlessly). False with a
// sentence in *error when it cannot.
bool SaveEditorPicture(PluginInstance& plugin, const std::string& path, std::string* error);
