// The preset file reader on arbitrary file contents: the file is read back
// from disk as the instrument reads it, and every value found is a float
// (or an infinity), never not-a-number.

#include "preset_file.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
  static const std::string path =
      std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/fuzz-preset-" +
      std::to_string(getpid()) + ".thudwerkpreset";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  std::string line;
  const PresetFileRead read = ReadPresetLastLine(path, line);
  std::remove(path.c_str());
  if (read != PresetFileRead::kRead) return 0;
  const PresetFileValues values = ParsePresetLine(line);
  for (int i = 0; i < kPresetFileParams; ++i)
  {
    const double value = values.value[i];
    if (values.found[i] &&
        (std::isnan(value) || (std::isfinite(value) && double(float(value)) != value)))
      std::abort();
  }
  return 0;
}
