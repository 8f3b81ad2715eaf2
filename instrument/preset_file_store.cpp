#include "preset_file_store.h"

namespace
{
class SystemStore : public PresetFileStore
{
public:
  PresetFileRead ReadLastLine(const std::string& path, std::string& lastLine) override
  {
    return ReadPresetLastLine(path, lastLine);
  }
  bool WriteText(const std::string& path, const std::string& text) override
  {
    return WritePresetText(path, text);
  }
};
} // namespace

PresetFileStore& SystemPresetFileStore()
{
  static SystemStore store;
  return store;
}
