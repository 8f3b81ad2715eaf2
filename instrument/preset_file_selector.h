#pragma once

#include "file_selector_control.h"

#include <string>
#include <thread>

// The load or save button of the preset strip. The prompt itself runs on
// the user-interface thread without the instance lock (it is modal and may
// stay open for long), while preset actions on other threads change the
// path the library reads or writes. So the library's path is kept apart
// from the prompt's file string: it is read and written only under the
// instance lock, handed to the prompt as its proposal before it opens, and
// replaced by the prompt's answer when the selector reports its change.
class PresetFileSelector : public IFileSelectorControl
{
public:
  PresetFileSelector(IPlugBase* plug, const IRect& rect, int paramIdx, const IImage& image,
                     int32_t action, const char* folder, const char* extensions);

  // Instance lock held: the file the preset actions read or write.
  const std::string& Path() const { return mPath; }
  void SetPath(std::string path) { mPath = std::move(path); }
  // Instance lock held: true while the parameter change in progress is the
  // one this selector reports right after its prompt closed, on the
  // reporting thread (any other change of its parameter comes from the
  // host or a restored state).
  bool IsReportingPrompt() const { return mReportingThread == std::this_thread::get_id(); }
  // Instance lock held: a sentence for the user (a failed save), shown in a
  // message box once the report in progress has been handled, on the
  // user-interface thread, whichever thread did the file work.
  void ShowMessageAfterReport(std::string message) { mMessageAfterReport = std::move(message); }

  // User-interface thread.
  void OnMouseDown(int x, int y, IMouseKeys* mods) override;
  void SetDirty(bool pushParamToPlug = true) override;

private:
  std::string mPath;
  bool mPromptRunning = false;
  // Guarded by the instance lock; no thread's id while nothing is reported.
  std::thread::id mReportingThread;
  // Guarded by the instance lock.
  std::string mMessageAfterReport;
};
