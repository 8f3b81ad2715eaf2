#pragma once

// Preset files: one line of tagged text holding the ten sound parameters,
//   <Company>Vorn Audio</Company><Product>Thudwerk</Product>
//   <Version>1.0.0</Version><BassAmpLevel>1</BassAmpLevel>...
// The reader does not parse markup: it looks for each tag pair by plain
// substring search, so headers, order and text between the tags do not
// matter. Pure functions and plain file input/output; any thread.

#include "file_replace.h"

#include <cstddef>
#include <cstdio>
#include <string>

constexpr int kPresetFileParams = 10;
constexpr const char* kPresetFileExtension = "thudwerkpreset";
// A preset is a few hundred bytes; anything beyond this is not read at all,
// so a huge or endless file cannot hold the instance lock for long.
constexpr std::size_t kMaxPresetFileBytes = 64 * 1024;

// A stored parameter: its tag name (the host parameter's name) and index.
struct PresetFileTag
{
  const char* name;
  int paramIdx;
};

// The ten tags in file order.
extern const PresetFileTag kPresetFileTags[kPresetFileParams];

// A value as the file writes it: six significant digits, shortest form,
// exponent only for very small or large magnitudes, "." as decimal point
// whatever the process locale.
std::string FormatPresetValue(double value);

// The whole file content for the values of the ten parameters
// (values[i] belongs to kPresetFileTags[i]).
std::string PresetFileText(const double (&values)[kPresetFileParams]);

// What one line yields: for each tag in file order, whether a usable number
// was found and its value, rounded to the nearest single-precision float and
// not yet limited to the parameter's range (infinities included).
struct PresetFileValues
{
  bool found[kPresetFileParams] = {};
  double value[kPresetFileParams] = {};
};

// The number a value text starts with: white space skipped, an optional
// sign, digits with an optional fraction and exponent, or "inf", "infinity",
// "nan" in any case; later characters are ignored. False when the text holds
// no number, when the number is beyond the double range, or when it is not
// a number. The result is the nearest single-precision value, widened.
bool ParsePresetValue(const std::string& text, double& value);

// Extracts the ten values from a line. For each tag the first opening tag
// and, independently, the first closing tag count; a closing tag that lies
// before the value starts lets the value run to the end of the line.
PresetFileValues ParsePresetLine(const std::string& line);

enum class PresetFileRead
{
  kRead,          // lastLine holds the file's last line, which is not empty
  kNotOpened,     // empty path, missing file, a folder, or a read error
  kTooLarge,      // larger than kMaxPresetFileBytes
  kEmptyLastLine, // empty file, or one ending with a line break
};

// Reads the file (UTF-8 path) and keeps its last line (lines end at "\n"; a "\r"
// before it belongs to the line it ends, which is never the last one).
PresetFileRead ReadPresetLastLine(const std::string& path, std::string& lastLine);

// Where the bytes of a saved preset go; tests stand in for a full disk.
// Returns how many bytes were written, like fwrite.
using PresetBytesWriter = std::size_t (*)(const void* data, std::size_t size, std::FILE* file);
std::size_t WriteToStream(const void* data, std::size_t size, std::FILE* file);

// How the finished temporary file takes the preset's name; tests stand in
// for a replace the system refuses (a file another program holds open).
using PresetFileReplacer = bool (*)(const std::string& target, const std::string& temp);

// Writes text as the file at path: to a new file in the same folder first,
// which then replaces the old one in one step, so a failure at any moment
// leaves the old file as it was (and no temporary file behind). A symbolic
// link stays a link: the file it leads to is replaced, keeping its
// permissions. A file the user may not write, or that is write-protected,
// is refused and left alone. Temporary files an interrupted save left in
// that folder are removed. The folder is not created. Paths are UTF-8.
// False when the path is empty or the file could not be written completely.
bool WritePresetText(const std::string& path, const std::string& text,
                     PresetBytesWriter write = WriteToStream,
                     PresetFileReplacer replace = ReplaceFileWith);
