#pragma once

#include <cstddef>
#include <string>

// The filter and default extension of an open or save dialog, built from a
// space-separated list of extensions without dots ("thudwerkpreset").
struct FileDialogFilter
{
  static constexpr size_t kFilterCapacity = 256;
  static constexpr size_t kDefaultExtensionCapacity = 16; // 15 characters

  // Description and pattern, each the "*.a;*.b" list, each NUL-terminated,
  // then a final NUL. All zero when the list gives no extension.
  char filter[kFilterCapacity] = {};
  // The first extension; empty when there is none or it does not fit.
  char defaultExtension[kDefaultExtensionCapacity] = {};

  bool HasFilter() const { return filter[0] != '\0'; }
};

// Extensions whose pattern would not fit the filter twice over are left out
// (whole, never cut in the middle); empty entries from repeated spaces are
// skipped.
FileDialogFilter BuildFileDialogFilter(const char* extensionList);

// The folder part of a path, up to and including its last separator ('\\',
// '/' or a drive's ':'); false, leaving folder alone, when it has none.
bool FolderOfPath(const std::string& path, std::string& folder);
