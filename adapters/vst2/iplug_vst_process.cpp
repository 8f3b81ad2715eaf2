// The processing and parameter callbacks of the AEffect record: audio
// thread, never blocks except on the instance lock, allocates nothing.
#include "iplug_vst.h"

IPlugVST* IPlugVST::FromEffect(AEffect* effect)
{
  return effect ? static_cast<IPlugVST*>(effect->object) : nullptr;
}

void IPlugVST::AskForMidi()
{
  // Some hosts stop sending events unless asked at every block.
  if (DoesMidi()) CallHost(audioMasterWantMidi);
}

double IPlugVST::AskHostBeforeBlock()
{
  AskForMidi();
  return GetTempo();
}

void IPlugVST::ProcessFromHost(float** inputs, float** outputs, VstInt32 frames, EOutputMode mode)
{
  AttachInputs(0, InChannelCount(), inputs);
  AttachOutputs(0, OutChannelCount(), outputs);
  RunBlock(frames, mode);
}

void IPlugVST::ProcessDoubleFromHost(double** inputs, double** outputs, VstInt32 frames)
{
  AttachInputsDouble(0, InChannelCount(), inputs);
  AttachOutputsDouble(0, OutChannelCount(), outputs);
  RunBlock(frames);
}

void IPlugVST::ProcessAccumulatingCallback(AEffect* effect, float** inputs, float** outputs,
                                           VstInt32 frames)
{
  IPlugVST* plug = FromEffect(effect);
  if (!plug) return;
  const BlockTempo tempo(*plug, plug->AskHostBeforeBlock());
  plug->ProcessFromHost(inputs, outputs, frames, kAccumulateOutput);
}

void IPlugVST::ProcessReplacingCallback(AEffect* effect, float** inputs, float** outputs,
                                        VstInt32 frames)
{
  IPlugVST* plug = FromEffect(effect);
  if (!plug) return;
  const BlockTempo tempo(*plug, plug->AskHostBeforeBlock());
  plug->ProcessFromHost(inputs, outputs, frames, kReplaceOutput);
}

void IPlugVST::ProcessDoubleReplacingCallback(AEffect* effect, double** inputs, double** outputs,
                                              VstInt32 frames)
{
  IPlugVST* plug = FromEffect(effect);
  if (!plug) return;
  const BlockTempo tempo(*plug, plug->AskHostBeforeBlock());
  plug->ProcessDoubleFromHost(inputs, outputs, frames);
}

IPlugVST::BlockTempo::BlockTempo(IPlugVST& plug, double tempo) : mPlug(plug), mLock(plug.GetLock())
{
  mPlug.mBlockTempo = tempo;
  mPlug.mInBlock = true;
}

IPlugVST::BlockTempo::~BlockTempo()
{
  mPlug.mInBlock = false;
}

void IPlugVST::SetParameterCallback(AEffect* effect, VstInt32 index, float value)
{
  IPlugVST* plug = FromEffect(effect);
  if (!plug) return;
  try
  {
    plug->SetParameterFromHost(index, value);
  }
  catch (...)
  {
    // A preset parameter reads files; running out of memory there loses
    // this change only, never the host.
  }
}

float IPlugVST::GetParameterCallback(AEffect* effect, VstInt32 index)
{
  IPlugVST* plug = FromEffect(effect);
  if (!plug) return 0.0f;
  CriticalSectionLock lock(plug->GetLock());
  const IPlugParam* param = plug->GetParam(index);
  return param ? static_cast<float>(param->ToNormalized(param->Value())) : 0.0f;
}
