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
  // A short or cut state is refused whole: half a sound is lost data too.
  if (startPos < 0 || chunk.Size() - startPos < ParamCount() * static_cast<int>(sizeof(double)))
    return -1;
  int pos = startPos;
  for (IPlugParam& param : mParams)
  {
    double value = 0.0;
    pos = chunk.GetDouble(&value, pos);
    param.SetClamped(value);
  }
  struct RestoreScope
  {
    int& depth;
    explicit RestoreScope(int& d) : depth(d) { ++depth; }
    ~RestoreScope() { --depth; }
  } restoring(mRestoringState);
  for (int i = 0; i < ParamCount(); ++i)
    HandleParamChange(i);
  return pos;
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
    RequestHostRefresh();
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
  ByteChunk current;
  SaveStateChunk(current);
  const int stateSize = current.Size();
  // Read into a copy: a cut or damaged bank changes nothing.
  std::vector<IPlugPreset> incoming(mPresets);
  // A preset whose name cannot be read takes the last name read from this
  // bank.
  char lastName[kPresetNameSize] = "";
  int pos = startPos;
  for (IPlugPreset& preset : incoming)
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
    if (pos < 0) break;
    preset.mInitialized = initialized != 0;
    if (!preset.mInitialized) continue;
    if (chunk.Size() - pos < stateSize) return -1;
    preset.mChunk.Clear();
    if (!preset.mChunk.Put(chunk.GetBytes() + pos, stateSize)) return -1;
    pos += stateSize;
  }
  if (pos < 0) return -1;
  mPresets = std::move(incoming);
  ApplyPreset(mCurrentPresetIdx);
  return pos;
}
