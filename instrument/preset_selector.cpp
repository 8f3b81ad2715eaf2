#include "preset_selector.h"

#include "graphics.h"
#include "kick_engine.h"
#include "plug_base.h"
#include "preset_cache.h"
#include "preset_catalogue.h"

namespace
{
constexpr size_t kNameCapacity = 64;
}

IPopupMenu_PresetSelector::IPopupMenu_PresetSelector(IPlugBase* plug, const IRect& rect)
    : IControl(plug, rect, -1, IBlend(IBlend::kBlendNone, 1.0f))
{
  int bank = 0;
  for (const PresetMenuEntry& entry : kPresetMainMenu)
  {
    if (!entry.opensBank || bank == kBankMenus)
    {
      mMainMenu.AddItem(entry.text);
      continue;
    }
    IMenu& bankMenu = mBankMenus[bank++];
    for (int position = 0; position < entry.count; ++position)
    {
      char name[kNameCapacity] = {};
      PresetName(entry.baseIndex + position, name, sizeof(name));
      bankMenu.AddItem(name);
    }
    mMainMenu.AddItem(entry.text, &bankMenu);
  }
}

IPopupMenu_PresetSelector::~IPopupMenu_PresetSelector() = default;

int IPopupMenu_PresetSelector::ChosenPresetIndex(const IMenu* menu) const
{
  if (!menu) return -1;
  if (menu == &mMainMenu) return PresetIndexFromMenuChoice(menu->ChosenItemIdx(), -1);
  for (int item = 0; item < mMainMenu.NItems(); ++item)
  {
    if (mMainMenu.GetItem(item)->Submenu() == menu)
      return PresetIndexFromMenuChoice(item, menu->ChosenItemIdx());
  }
  return -1;
}

void IPopupMenu_PresetSelector::OnMouseDown(int, int, IMouseKeys*)
{
  IGraphics* graphics = GetGUI();
  if (!graphics || !mPlug) return;
  // The choice is applied from the files held in memory: as the menu shows
  // what is on disk, so do they.
  if (auto* cacheOwner = dynamic_cast<PresetCacheOwner*>(mPlug)) cacheOwner->RefreshPresetCache();
  const int presetIndex = ChosenPresetIndex(graphics->ShowPopupMenu(&mMainMenu, mRECT));
  if (presetIndex >= 0)
  {
    CriticalSectionLock lock(mPlug->GetLock());
    mPlug->GetParam(EngineParam::PresetSelector)->SetClamped(static_cast<float>(presetIndex));
    mPlug->HandleParamChange(EngineParam::PresetSelector);
  }
  // The file is read here, on the editor's thread, outside the lock.
  mPlug->CompleteDeferredWork();
  mDirtyAgain = true;
  SetDirty(true);
}

bool IPopupMenu_PresetSelector::Draw(IGraphics* graphics)
{
  graphics->FillRect(IRgba(0, 0, 0, 0), mRECT, &mBlend);
  return true;
}
