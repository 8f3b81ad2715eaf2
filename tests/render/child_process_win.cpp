#include "child_process.h"
#include "wide_text_win.h"

#include <windows.h>

namespace
{

// Quotes one argument the way the C runtime splits a command line:
// backslashes double only before a quote.
std::string Quoted(const std::string& argument)
{
  std::string result = "\"";
  std::size_t backslashes = 0;
  for (char c : argument)
  {
    if (c == '\\')
    {
      ++backslashes;
      continue;
    }
    result.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    result += c;
  }
  result.append(backslashes * 2, '\\');
  return result + "\"";
}

} // namespace

int RunProgram(const std::string& program, const std::vector<std::string>& arguments)
{
  std::string commandLine = Quoted(program);
  for (const std::string& argument : arguments)
    commandLine += " " + Quoted(argument);
  // The wide call, so arguments outside the ANSI code page arrive whole.
  std::wstring wideCommandLine = WideFromUtf8(commandLine);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(WideFromUtf8(program).c_str(), &wideCommandLine[0], nullptr, nullptr, FALSE,
                      0, nullptr, nullptr, &startup, &process))
    return -1;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 0;
  const bool known = GetExitCodeProcess(process.hProcess, &exitCode) != 0;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return known ? int(exitCode) : -1;
}
