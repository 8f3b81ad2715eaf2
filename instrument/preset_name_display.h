#pragma once

#include "critical_section.h"
#include "text_control.h"

#include <atomic>
#include <string>

// The preset name over the preset strip. Preset actions run on whichever
// thread changed a preset parameter (the host's, for automation) while the
// editor draws on its own; so a new name is handed over and becomes the
// drawn text at the editor's next redraw tick, like the values pushed to
// the other controls.
class PresetNameDisplay : public ITextControl
{
public:
  using ITextControl::ITextControl;

  // Any thread; never blocks for long.
  void ShowNameFromAnyThread(const std::string& name);
  // Any thread, the audio thread too: allocates nothing and never blocks.
  // The name of the catalogue preset, at the next redraw.
  void ShowCataloguePresetFromAnyThread(int presetIndex);
  // Any thread: the name handed over last, drawn or not yet.
  std::string NameShown();
  // User-interface thread: takes over a name shown meanwhile.
  bool IsDirty() override;

private:
  static constexpr int kNoPreset = -1;

  std::string CataloguePresetName(int presetIndex) const;

  CriticalSection mPendingLock;
  std::string mPendingName;
  bool mHasPendingName = false;
  // Handed over after mPendingName when both wait: a name shown by text
  // clears it, so whichever came last is drawn.
  std::atomic<int> mPendingPresetIndex{kNoPreset};
};
