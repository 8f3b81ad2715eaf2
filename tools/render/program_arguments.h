#pragma once

#include <string>
#include <vector>

// The program's arguments as UTF-8, the program name first. On Windows the
// arguments main receives are in the ANSI code page, which cannot hold most
// file names; there they come from the wide command line instead.
std::vector<std::string> ProgramArguments(int argc, char** argv);
