#pragma once

#include <string>

// The path without separators at its end ("a/b.vst3/" gives "a/b.vst3"); a
// lone separator stays.
std::string WithoutTrailingSeparators(std::string path);

// The module file of a VST3 plug-in: inside the bundle when path is a
// bundle folder, else path itself (a Windows .vst3 file).
std::string Vst3ModuleFile(const std::string& path);
