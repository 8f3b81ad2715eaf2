#pragma once

// The plug-in library's own module: on Windows its instance handle (kept
// from library attach), which the editor needs to read its image resources
// and register its window class; null elsewhere, where resources are
// compiled in.
void* PlugModuleInstance();

// The folder of the module file, ending in its separator; empty when it
// cannot be found (or, on Windows, before the library was attached).
const char* PlugModuleFolder();
