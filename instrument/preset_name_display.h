#pragma once

#include "critical_section.h"
#include "text_control.h"

#include <string>

// The preset name over the preset strip. Preset actions run on whichever
// thread changed a preset parameter (the host's, for automation) while the
// editor draws on its own; so a new name is handed over under a small lock
// and becomes the drawn text at the editor's next redraw tick, like the
// values pushed to the other controls.
class PresetNameDisplay : public ITextControl
{
public:
  using ITextControl::ITextControl;

  // Any thread; never blocks for long.
  void ShowNameFromAnyThread(const std::string& name);
  // Any thread: the name handed over last, drawn or not yet.
  std::string NameShown();
  // User-interface thread: takes over a name shown meanwhile.
  bool IsDirty() override;

private:
  CriticalSection mPendingLock;
  std::string mPendingName;
  bool mHasPendingName = false;
};
