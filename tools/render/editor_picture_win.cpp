#include "editor_picture.h"

bool SaveEditorPicture(PluginInstance&, const std::string&, std::string* error)
{
  *error = "--editor-picture is available in the Linux build only";
  return false;
}
