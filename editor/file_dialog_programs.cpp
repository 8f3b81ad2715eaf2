#include "file_dialog_programs.h"

#include <sstream>

namespace
{
std::string Patterns(const char* extensions)
{
  std::istringstream list(extensions ? extensions : "");
  std::string extension;
  std::string patterns;
  while (list >> extension)
    patterns += (patterns.empty() ? "*." : " *.") + extension;
  return patterns;
}
} // namespace

std::vector<std::string> FileDialogPrograms(const char* choice)
{
  const std::string chosen = choice ? choice : "";
  if (chosen == "zenity" || chosen == "kdialog") return {chosen};
  if (!chosen.empty()) return {};
  return {"zenity", "kdialog"};
}

std::vector<std::string> FileDialogCommand(const std::string& program, int action,
                                           const std::string& folder, const std::string& file,
                                           const char* extensions)
{
  const bool save = action == 1;
  const std::string start = folder + file;
  const std::string patterns = Patterns(extensions);
  if (program == "zenity")
  {
    std::vector<std::string> command{"zenity", "--file-selection", "--filename=" + start};
    if (save) command.insert(command.end(), {"--save", "--confirm-overwrite"});
    if (!patterns.empty()) command.push_back("--file-filter=" + patterns);
    return command;
  }
  if (program == "kdialog")
  {
    std::vector<std::string> command{"kdialog", save ? "--getsavefilename" : "--getopenfilename",
                                     start};
    if (!patterns.empty()) command.push_back(patterns);
    return command;
  }
  return {};
}
