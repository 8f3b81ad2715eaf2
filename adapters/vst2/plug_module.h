#pragma once

// The plug-in library's own module: on Windows its instance handle, which
// the editor needs to read its image resources and register its window
// class; null elsewhere, where resources are compiled in.
void* PlugModuleInstance();
