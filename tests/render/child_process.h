#pragma once

#include <string>
#include <vector>

// Runs a program with arguments, waits for it and returns its exit code, or
// -1 when it could not be started or did not end normally. Its output goes
// to this program's output. On Windows the program is started directly with
// CreateProcess (under Wine as well), never through a shell.
int RunProgram(const std::string& program, const std::vector<std::string>& arguments);
