#pragma once

#include <string>

// Folders of the running system, for the editor's folder queries. Each ends
// with the platform's separator, or is empty when it cannot be found.
// User-interface thread; may allocate.
namespace PlatformFolders
{
// The folder of the host executable.
std::string HostFolder();
// The folder of the module (plug-in library or program) holding this code.
std::string PluginFolder();
// The user's desktop.
std::string DesktopFolder();
// The machine-wide application data folder when systemWide, else the
// user's own (local) one.
std::string AppDataFolder(bool systemWide);
} // namespace PlatformFolders
