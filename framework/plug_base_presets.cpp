// State chunks and presets of the plugin base.
#include "plug_base.h"

#include <cmath>
#include <cstdio>
#include <cstring>

static constexpr double kCompareTolerance = 0.00001;
static const char* const kUserPresetName = "user preset";

bool IPlugBase::SaveStateChunk(ByteChunk& chunk)
{
  return SerializeParams(chunk);
}

int IPlugBase::LoadStateChunk(const ByteChunk& chunk, int startPos)
{
  return UnserializeParams(chunk, startPos);
}

bool IPlugBase::CompareState(const unsigned char* bytes, int size, int startPos)
{
  CriticalSectionLock lock(mLock);
  int pos = startPos;
  for (const IPlugParam& param : mParams)
  {
    double stored = 0.0;
    pos = ReadDoubleAt(bytes, size, pos, &stored);
    if (pos < 0) return false;
    const float difference = static_cast<float>(stored) - static_cast<float>(param.Value());
    if (!(std::fabs(difference) < kCompareTolerance)) return false;
  }
  return true;
}

bool IPlugBase::SerializeParams(ByteChunk& chunk)
{
  CriticalSectionLock lock(mLock);
  bool saved = true;
  for (const IPlugParam& param : mParams)
    saved = chunk.PutDouble(param.Value()) && chunk.Size() > 0 && saved;
  return saved;
}

int IPlugBase::UnserializeParams(const ByteChunk& chunk, int startPos)
{
  CriticalSectionLock lock(mLock);
  int pos = startPos;
  for (IPlugParam& param : mParams)
  {
    if (pos < 0) break;
    double value = 0.0;
    pos = chunk.GetDouble(&value, pos);
    param.SetClamped(value);
  }
  for (int i = 0; i < ParamCount(); ++i)
    HandleParamChange(i);
  return pos < 0 ? -1 : pos;
}

const IPlugPreset* IPlugBase::GetPreset(int presetIdx) const
{
  return (presetIdx >= 0 && presetIdx < PresetCount()) ? &mPresets[static_cast<size_t>(presetIdx)]
                                                       : nullptr;
}

bool IPlugBase::CapturePreset(IPlugPreset& preset)
{
  preset.mChunk.Clear();
  return SaveStateChunk(preset.mChunk);
}

void IPlugBase::CreateDefaultPreset(const char* name, int count)
{
  CriticalSectionLock lock(mLock);
  const char* presetName = (name && name[0] != '\0') ? name : "Empty";
  for (int made = 0; made < count; ++made)
  {
    IPlugPreset* preset = nullptr;
    for (IPlugPreset& candidate : mPresets)
    {
      if (!candidate.mInitialized)
      {
        preset = &candidate;
        break;
      }
    }
    if (!preset) return;
    preset->mInitialized = true;
    CopyTextField(preset->mName, kPresetNameSize, presetName);
    CapturePreset(*preset);
  }
}

bool IPlugBase::ApplyPreset(int presetIdx)
{
  CriticalSectionLock lock(mLock);
  if (presetIdx < 0 || presetIdx >= PresetCount()) return false;
  IPlugPreset& preset = mPresets[static_cast<size_t>(presetIdx)];
  bool restored = false;
  if (preset.mInitialized)
  {
    restored = LoadStateChunk(preset.mChunk, 0) > 0;
  }
  else
  {
    preset.mInitialized = true;
    int userPresets = 0;
    for (const IPlugPreset& other : mPresets)
    {
      if (std::strstr(other.mName, kUserPresetName)) ++userPresets;
    }
    std::snprintf(preset.mName, kPresetNameSize, "%s %d", kUserPresetName, userPresets + 1);
    restored = CapturePreset(preset);
  }
  if (restored)
  {
    mCurrentPresetIdx = presetIdx;
    OnHostPresetsChanged();
    RefreshParamControls();
  }
  return restored;
}

const char* IPlugBase::GetPresetName(int presetIdx) const
{
  const IPlugPreset* preset = GetPreset(presetIdx);
  return preset ? preset->mName : "";
}

void IPlugBase::ModifyCurrentPreset(const char* name)
{
  CriticalSectionLock lock(mLock);
  if (mCurrentPresetIdx < 0 || mCurrentPresetIdx >= PresetCount()) return;
  IPlugPreset& preset = mPresets[static_cast<size_t>(mCurrentPresetIdx)];
  CapturePreset(preset);
  if (name && name[0] != '\0') CopyTextField(preset.mName, kPresetNameSize, name);
}

bool IPlugBase::SerializePresets(ByteChunk& chunk)
{
  CriticalSectionLock lock(mLock);
  bool saved = true;
  for (const IPlugPreset& preset : mPresets)
  {
    saved = chunk.PutStr(preset.mName) && saved;
    saved = chunk.PutByte(preset.mInitialized ? 1 : 0) && saved;
    if (preset.mInitialized)
      saved = chunk.Put(preset.mChunk.GetBytes(), preset.mChunk.Size()) && saved;
    saved = saved && chunk.Size() > 0;
  }
  return saved;
}

int IPlugBase::UnserializePresets(const ByteChunk& chunk, int startPos)
{
  CriticalSectionLock lock(mLock);
  // A preset whose name cannot be read takes the last name read from this
  // bank.
  char lastName[kPresetNameSize] = "";
  int pos = startPos;
  for (IPlugPreset& preset : mPresets)
  {
    if (pos < 0) break;
    char name[kPresetNameSize];
    const int afterName = chunk.GetStr(name, kPresetNameSize, pos);
    const bool nameRead = afterName >= 0 && afterName - pos > 4;
    if (nameRead) CopyTextField(lastName, kPresetNameSize, name);
    CopyTextField(preset.mName, kPresetNameSize, lastName);
    pos = afterName;

    unsigned char initialized = 0;
    pos = chunk.GetByte(&initialized, pos);
    if (pos >= 0) preset.mInitialized = initialized != 0;

    if (preset.mInitialized)
    {
      pos = LoadStateChunk(chunk, pos);
      if (pos > 0) CapturePreset(preset);
    }
  }
  ApplyPreset(mCurrentPresetIdx);
  return pos < 0 ? -1 : pos;
}
