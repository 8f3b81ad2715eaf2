#include "preset_file_store.h"

#include <filesystem>

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
  PresetFileStamp Stamp(const std::string& path) override
  {
    namespace fs = std::filesystem;
    PresetFileStamp stamp;
    std::error_code error;
    // The path is UTF-8 on every system.
    const fs::path file = fs::u8path(path);
    const fs::file_time_type modified = fs::last_write_time(file, error);
    if (error) return PresetFileStamp();
    stamp.exists = true;
    stamp.modified = static_cast<std::int64_t>(modified.time_since_epoch().count());
    // Folders have no size of their own.
    if (fs::is_regular_file(file, error)) stamp.size = fs::file_size(file, error);
    return stamp;
  }
};
} // namespace

PresetFileStore& SystemPresetFileStore()
{
  static SystemStore store;
  return store;
}
