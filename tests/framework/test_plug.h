#pragma once

#include "four_char_code.h"
#include "plug_base.h"

#include <string>
#include <vector>

// A plug-in with the framework's defaults and a recording host: every host
// notification and every HandleParamChange is logged so tests can check
// what reached the host and in which order.
class TestPlug : public IPlugBase
{
public:
  explicit TestPlug(int nParams = 27, const char* channelIO = "2-2", int nPresets = 1,
                    const char* effectName = "Thudwerk", EApiKind api = kApiVST3)
      : IPlugBase(nParams, channelIO, nPresets, effectName, "", "VornAudio", 0x00010002,
                  FourCharCode("Vrc5"), FourCharCode("Vrna"), true, false, true, api)
  {
  }

  void HandleParamChange(int paramIdx) override
  {
    IPlugBase::HandleParamChange(paramIdx);
    mChanged.push_back(paramIdx);
  }
  void OnHostPresetsChanged() override { ++mPresetsChanged; }

  void BeginParamGesture(int paramIdx) override { Log("begin", paramIdx); }
  void NotifyHostParamValue(int paramIdx, double normalized) override
  {
    Log("value", paramIdx);
    mNotifiedValues.push_back(normalized);
  }
  void EndParamGesture(int paramIdx) override { Log("end", paramIdx); }
  void NotifyHostPresetChange() override { Log("presets", 0); }
  int GetSamplePosition() override { return 0; }
  double GetTempo() override { return 120.0; }
  void GetTimeSignature(int& numerator, int& denominator) override
  {
    numerator = 4;
    denominator = 4;
  }
  void QueryTransport(ITransportInfo& /*info*/) override {}
  void ResizeEditor(int width, int height) override { Log("resize", width * 10000 + height); }
  bool SendMidiEvent(const IMidiEvent& message) override
  {
    mSentMidi.push_back(message);
    return true;
  }

  // Gives parameter i the range [0, 10 * (i + 1)] and the value i + 0.5.
  void DefineDistinctParams()
  {
    for (int i = 0; i < ParamCount(); ++i)
    {
      GetParam(i)->DefineDouble("P", 0.0, 0.0, 10.0 * (i + 1), 0.00001);
      GetParam(i)->SetClamped(i + 0.5);
    }
  }

  std::vector<std::string> mHostLog;
  std::vector<double> mNotifiedValues;
  std::vector<int> mChanged;
  std::vector<IMidiEvent> mSentMidi;
  int mPresetsChanged = 0;

private:
  void Log(const char* what, int value) { mHostLog.push_back(what + std::to_string(value)); }
};
