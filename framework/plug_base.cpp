#include "plug_base.h"

#include <algorithm>
#include <cmath>
#include <limits>

IPlugBase::IPlugBase(int nParams, const char* channelIO, int nPresets, const char* effectName,
                     const char* productName, const char* makerName, int32_t version,
                     int32_t uniqueID, int32_t makerID, bool doesMidi, bool doesStateChunks,
                     bool isInstrument, EApiKind api)
    : mUniqueID(uniqueID), mMakerID(makerID), mVersion(version), mApi(api),
      mDoesStateChunks(doesStateChunks), mIsInstrument(isInstrument), mDoesMidi(doesMidi)
{
  CopyTextField(mEffectName, kIdentityTextSize, effectName);
  CopyTextField(mProductName, kIdentityTextSize, productName);
  CopyTextField(mMakerName, kIdentityTextSize, makerName);

  mParams.resize(static_cast<size_t>(std::max(nParams, 0)));
  mLastHostValues.assign(mParams.size(), std::numeric_limits<double>::quiet_NaN());
  mPresets.resize(static_cast<size_t>(std::max(nPresets, 0)));

  mChannelIO = ParseChannelIO(channelIO);
  int maxInputs = 0;
  int maxOutputs = 0;
  for (const ChannelIO& io : mChannelIO)
  {
    maxInputs = std::max(maxInputs, io.mInputs);
    maxOutputs = std::max(maxOutputs, io.mOutputs);
  }
  mInPtrs.assign(static_cast<size_t>(maxInputs), nullptr);
  mOutPtrs.assign(static_cast<size_t>(maxOutputs), nullptr);
  mInChannels.resize(static_cast<size_t>(maxInputs));
  mOutChannels.resize(static_cast<size_t>(maxOutputs));
}

IPlugBase::~IPlugBase()
{
  delete mEditor;
}

void IPlugBase::Reset()
{
  CriticalSectionLock lock(mLock);
}

void IPlugBase::HandleParamChange(int /*paramIdx*/)
{
  CriticalSectionLock lock(mLock);
}

void IPlugBase::OnActivate(bool /*active*/)
{
  CriticalSectionLock lock(mLock);
}

void IPlugBase::HandleMidiEvent(const IMidiEvent& message)
{
  SendMidiEvent(message);
}

bool IPlugBase::NoteName(int /*noteNumber*/, char* text, int textSize)
{
  CopyTextField(text, textSize, "");
  return false;
}

const char* IPlugBase::ParamSection(int paramIdx) const
{
  const IPlugParam* param = GetParam(paramIdx);
  return param ? param->Group() : "";
}

void IPlugBase::SetParameterFromEditor(int paramIdx, double normalized)
{
  {
    CriticalSectionLock lock(mLock);
    IPlugParam* param = GetParam(paramIdx);
    if (!param) return;
    param->SetFromNormalized(normalized);
    HandleParamChange(paramIdx);
  }
  NotifyHostParamValue(paramIdx, normalized);
  CompleteDeferredWork();
}

// Hosts hand back values in single precision (VST2) or exactly as read
// (VST3); equal in single precision counts as the same value.
static bool SameHostValue(double current, double incoming)
{
  return static_cast<float>(current) == static_cast<float>(incoming);
}

bool IPlugBase::IsResentHostValue(int paramIdx, double normalized)
{
  const IPlugParam* param = GetParam(paramIdx);
  if (!param || ActsOnUnchangedValue(paramIdx)) return false;
  // Compared with what the host sent, not with the value: a trigger that
  // rests at another value after acting must not act again on a resend,
  // and a value the controller stored first must still act once.
  double& lastHostValue = mLastHostValues[static_cast<size_t>(paramIdx)];
  const double last =
      std::isnan(lastHostValue) ? param->ToNormalized(param->Default()) : lastHostValue;
  if (SameHostValue(last, normalized)) return true;
  lastHostValue = normalized;
  return false;
}

void IPlugBase::SetParameterFromHost(int paramIdx, double normalized)
{
  CriticalSectionLock lock(mLock);
  IPlugParam* param = GetParam(paramIdx);
  if (!param || IsResentHostValue(paramIdx, normalized)) return;
  param->SetFromNormalized(normalized);
  if (mEditor) mEditor->PushParamToControls(paramIdx, normalized, true);
  // Called from hosts' audio threads; a change whose handling runs out of
  // memory is dropped, never thrown into the host.
  try
  {
    HandleParamChange(paramIdx);
  }
  catch (...)
  {
  }
}

void IPlugBase::SendPendingHostNotifications()
{
  if (mHostRefreshPending.exchange(false)) NotifyHostPresetChange();
}

void IPlugBase::CompleteDeferredWork()
{
  RunDeferredWork();
  SendPendingHostNotifications();
}

void IPlugBase::AttachEditor(IPlugEditor* editor)
{
  if (!editor) return;
  CriticalSectionLock lock(mLock);
  for (int i = 0; i < ParamCount(); ++i)
  {
    const IPlugParam& param = mParams[static_cast<size_t>(i)];
    editor->TakeParamValueFromPlug(i, param.ToNormalized(param.Value()));
  }
  editor->PrepareDraw();
  if (mEditor != editor) delete mEditor;
  mEditor = editor;
}

void IPlugBase::RefreshParamControls()
{
  CriticalSectionLock lock(mLock);
  if (!mEditor) return;
  for (int i = 0; i < ParamCount(); ++i)
    mEditor->PushParamToControls(i, mParams[static_cast<size_t>(i)].Value(), false);
}

IPlugParam* IPlugBase::GetParam(int paramIdx)
{
  return const_cast<IPlugParam*>(static_cast<const IPlugBase*>(this)->GetParam(paramIdx));
}

const IPlugParam* IPlugBase::GetParam(int paramIdx) const
{
  return (paramIdx >= 0 && paramIdx < ParamCount()) ? &mParams[static_cast<size_t>(paramIdx)]
                                                    : nullptr;
}

bool IPlugBase::LegalIO(int inputs, int outputs) const
{
  return MatchesChannelIO(mChannelIO, inputs, outputs);
}

void IPlugBase::SetHostIdentity(int host, int32_t hostVersion)
{
  mHost = host;
  mHostVersion = hostVersion;
}
