// An effect built on IPlugVST3 without the instrument: mono or stereo
// in-out, three parameters in two groups, two presets, a bypass parameter
// and MIDI input, so the adapter's effect paths are tested too. Probes
// exported beside the entry points let tests look inside the last instance
// and call the operations that the editor, not the host, triggers.

#include "cplugin_factory.h"
#include "four_char_code.h"
#include "iplug_vst3.h"
#include "platform_graphics.h"
#include "plug_module.h"
#include "test_effect_probes.h"

#include "graphics.h"

#include <cstring>
#include <new>

using namespace Steinberg;

namespace
{

class TestEffect : public IPlugVST3
{
public:
  explicit TestEffect(bool withEditor)
      : IPlugVST3(nullptr, 3, "1-1 2-2", 2, "TestEffect", "", "Test", 0x00010000,
                  FourCharCode("Tfx1"), FourCharCode("Test"), true, false, false)
  {
    GetParam(0)->DefineDouble("Gain", 1.0, 0.0, 2.0, 0.001, "x", "Amp");
    IPlugParam* mode = GetParam(1);
    mode->DefineDouble("Mode", 0.0, 0.0, 2.0, 1.0, "", "Amp");
    mode->SetType(TypeEnum);
    mode->AddDisplayText(0, "Soft");
    mode->AddDisplayText(1, "Hard");
    mode->AddDisplayText(2, "Fold");
    GetParam(2)->DefineDouble("Drive", 0.25, 0.0, 1.0, 0.01, "", "Tone");
    if (withEditor) AttachEditor(CreatePlatformGraphics(this, 300, 200, 25, PlugModuleInstance()));
    CreateDefaultPreset("Init", 1);
    sLast = this;
  }
  ~TestEffect() override
  {
    if (sLast == this) sLast = nullptr;
  }

  void Reset() override
  {
    IPlugBase::Reset();
    ++probes.resets;
  }
  void HandleParamChange(int paramIdx) override
  {
    IPlugBase::HandleParamChange(paramIdx);
    ++probes.paramChanges;
  }
  void OnActivate(bool active) override
  {
    ++probes.activations;
    probes.active = active;
  }
  void AfterHostIdentified() override
  {
    probes.hostIdentified = GetHostId();
    if (sFailInitialize) throw std::bad_alloc();
  }
  void OnEditorResized() override { ++probes.editorResized; }
  void HandleMidiEvent(const IMidiEvent& message) override
  {
    if (probes.midiCount < 64) probes.midi[probes.midiCount++] = message;
  }
  // Output = input × gain, for the channels both sides have.
  void ProcessDouble(double** inputs, double** outputs, int frames) override
  {
    const double gain = GetParam(0)->Value();
    for (int c = 0; c < OutChannelCount(); ++c)
      for (int i = 0; i < frames; ++i)
        outputs[c][i] = c < InChannelCount() ? gain * inputs[c][i] : 0.0;
  }

  TestEffectProbes probes;
  static TestEffect* sLast;
  // Makes initialize run out of memory half way, after the buses and
  // parameters were built.
  static bool sFailInitialize;
};

TestEffect* TestEffect::sLast = nullptr;
bool TestEffect::sFailInitialize = false;

FUnknown* CreateEffect(void* withEditor)
{
  try
  {
    return static_cast<Vst::IAudioProcessor*>(new TestEffect(withEditor != nullptr));
  }
  catch (...)
  {
    return nullptr;
  }
}

void RegisterEffects(CPluginFactory& factory)
{
  static const FUID plainClass(0x7E570001, 0, 0, 1);
  static const FUID editorClass(0x7E570001, 0, 0, 2);
  factory.registerClass(PClassInfo2(plainClass.toTUID(), PClassInfo::kManyInstances,
                                    kVstAudioEffectClass, "Test Effect", 0, "Fx", "", "1.0.0",
                                    kVstVersionString),
                        &CreateEffect);
  static int marker = 1;
  factory.registerClass(PClassInfo2(editorClass.toTUID(), PClassInfo::kManyInstances,
                                    kVstAudioEffectClass, "Test Effect Editor", 0, "Fx", "",
                                    "1.0.0", kVstVersionString),
                        &CreateEffect, &marker);
}

} // namespace

extern "C" SMTG_EXPORT_SYMBOL IPluginFactory* PLUGIN_API GetPluginFactory()
{
  return SharedPluginFactory(PFactoryInfo("Test", "https://example.invalid", "test@example.invalid",
                                          PFactoryInfo::kUnicode),
                             &RegisterEffects);
}

// Probes on the instance created last; 0 when there is none.
extern "C" SMTG_EXPORT_SYMBOL const TestEffectProbes* TestEffectProbeRecord()
{
  return TestEffect::sLast ? &TestEffect::sLast->probes : nullptr;
}

extern "C" SMTG_EXPORT_SYMBOL IPlugBase* TestEffectBase()
{
  return TestEffect::sLast;
}

extern "C" SMTG_EXPORT_SYMBOL void TestEffectFailInitialize(bool fail)
{
  TestEffect::sFailInitialize = fail;
}
