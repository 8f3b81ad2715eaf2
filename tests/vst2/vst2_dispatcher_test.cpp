#include "vst2_plugin_fixture.h"

#include <cstring>
#include <set>
#include <string>

namespace
{
constexpr VstInt32 FourChar(const char (&code)[5])
{
  return VstInt32(uint32_t(uint8_t(code[0])) << 24 | uint32_t(uint8_t(code[1])) << 16 |
                  uint32_t(uint8_t(code[2])) << 8 | uint32_t(uint8_t(code[3])));
}

bool AllZero(const char* bytes, size_t size)
{
  for (size_t i = 0; i < size; ++i)
    if (bytes[i] != 0) return false;
  return true;
}
} // namespace

TEST(Vst2Entry, BothEntryPointsBuildTheRecordHostsExpect)
{
  Vst2TestHost host(THUDWERK_VST2_PLUGIN_PATH);
  ASSERT_TRUE(host.Library().IsLoaded()) << host.Library().LoadError();
  for (const char* entry : {"VSTPluginMain", "main"})
  {
    SCOPED_TRACE(entry);
    AEffect* effect = host.Instantiate(entry);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->magic, kEffectMagic);
    EXPECT_EQ(effect->uniqueID, FourChar("Vrc5"));
    EXPECT_EQ(effect->version, 10002);
    EXPECT_EQ(effect->numPrograms, 1);
    EXPECT_EQ(effect->numParams, 27);
    EXPECT_EQ(effect->numInputs, 2);
    EXPECT_EQ(effect->numOutputs, 2);
    EXPECT_EQ(effect->flags, effFlagsHasEditor | effFlagsCanReplacing | effFlagsCanDoubleReplacing |
                                 effFlagsIsSynth);
    EXPECT_EQ(effect->initialDelay, 0);
    EXPECT_FLOAT_EQ(effect->ioRatio, 1.0f);
    EXPECT_NE(effect->object, nullptr);
    EXPECT_EQ(effect->resvd2, 0);
    EXPECT_EQ(effect->realQualities, 0);
    EXPECT_EQ(effect->offQualities, 0);
    EXPECT_EQ(effect->user, nullptr);
    EXPECT_TRUE(AllZero(effect->future, sizeof(effect->future)));
    ASSERT_NE(effect->dispatcher, nullptr);
    ASSERT_NE(effect->process, nullptr);
    ASSERT_NE(effect->processReplacing, nullptr);
    ASSERT_NE(effect->processDoubleReplacing, nullptr);
    ASSERT_NE(effect->setParameter, nullptr);
    ASSERT_NE(effect->getParameter, nullptr);
    host.Close(effect);
  }
}

TEST(Vst2Entry, InstancesAreIndependent)
{
  Vst2TestHost host(THUDWERK_VST2_PLUGIN_PATH);
  AEffect* first = host.InstantiateAndStart();
  AEffect* second = host.InstantiateAndStart();
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first->object, second->object);
  first->setParameter(first, EngineParam::MainVolume, 0.25f);
  EXPECT_FLOAT_EQ(first->getParameter(first, EngineParam::MainVolume), 0.25f);
  EXPECT_FLOAT_EQ(second->getParameter(second, EngineParam::MainVolume), 0.8f);
}

TEST_F(Vst2PluginTest, IdentityOpcodes)
{
  EXPECT_EQ(host.DispatchForText(effect, effGetEffectName), "Thudwerk");
  EXPECT_EQ(host.DispatchForText(effect, effGetVendorString), "VornAudio");
  EXPECT_EQ(host.DispatchForText(effect, effGetProductString), "");
  EXPECT_EQ(host.Dispatch(effect, effGetProductString, 0, 0, nullptr), 0);
  EXPECT_EQ(host.Dispatch(effect, effGetEffectName, 0, 0, nullptr), 0);
  EXPECT_EQ(host.Dispatch(effect, effGetVendorVersion), 10002);
  EXPECT_EQ(host.Dispatch(effect, effGetVstVersion), 2400);
  EXPECT_EQ(host.Dispatch(effect, effGetPlugCategory), kPlugCategSynth);
  EXPECT_EQ(host.Dispatch(effect, effIdentify), FourChar("NvEf"));
  EXPECT_EQ(host.Dispatch(effect, effGetTailSize), 0);
  EXPECT_EQ(host.Dispatch(effect, effCanBeAutomated, 26), 1);
}

TEST_F(Vst2PluginTest, UnhandledOpcodesAnswerZero)
{
  for (VstInt32 opcode : {VstInt32(effEditIdle), VstInt32(effSetBypass), VstInt32(effIdle),
                          VstInt32(effShellGetNextPlugin), VstInt32(effGetNumMidiInputChannels),
                          VstInt32(effGetVu), VstInt32(1000), VstInt32(-1)})
    EXPECT_EQ(host.Dispatch(effect, opcode, 0, 0, nullptr), 0) << opcode;
}

TEST_F(Vst2PluginTest, TheEditorRectangleIsTheDoubleScaleSize)
{
  ERect* rect = nullptr;
  EXPECT_EQ(host.Dispatch(effect, effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->bottom, 960);
  EXPECT_EQ(rect->right, 1000);
  EXPECT_EQ(host.Dispatch(effect, effEditGetRect, 0, 0, nullptr), 0);
  // Closing an editor whose window is not open still answers as an editor.
  EXPECT_EQ(host.Dispatch(effect, effEditClose), 1);
}

TEST_F(Vst2PluginTest, TheSingleHostProgramIsInit)
{
  EXPECT_EQ(host.Dispatch(effect, effGetProgram), 0);
  EXPECT_EQ(host.DispatchForText(effect, effGetProgramName), "Init");
  char name[64] = "unchanged";
  EXPECT_EQ(host.Dispatch(effect, effGetProgramNameIndexed, 0, 0, name), 1);
  EXPECT_STREQ(name, "Init");
  EXPECT_EQ(host.Dispatch(effect, effGetProgramNameIndexed, 1, 0, name), 0);
  EXPECT_STREQ(name, "");
  EXPECT_EQ(host.Dispatch(effect, effGetProgramNameIndexed, 0, 0, nullptr), 0);

  char newName[] = "Deep";
  host.Dispatch(effect, effSetProgramName, 0, 0, newName);
  EXPECT_EQ(host.DispatchForText(effect, effGetProgramName), "Deep");
}

TEST_F(Vst2PluginTest, SwitchingToTheProgramRestoresWhatWasLeftInIt)
{
  Set(EngineParam::MainVolume, 0.3f);
  host.Dispatch(effect, effSetProgram, 0, 0);
  EXPECT_FLOAT_EQ(Get(EngineParam::MainVolume), 0.3f);
  EXPECT_EQ(host.Dispatch(effect, effGetProgram), 0);
  host.Dispatch(effect, effSetProgram, 0, 5);
  EXPECT_EQ(host.Dispatch(effect, effGetProgram), 0);
}

// Hosts list parameters by these texts: names cut to the interface's 8 bytes
// showed "BassEnv" twice, so names, labels and display texts take up to 31
// characters, and the properties record adds a distinct short label.
TEST_F(Vst2PluginTest, HostsSeeWholeDistinctParameterNames)
{
  ReferenceEngine reference;
  std::set<std::string> names;
  std::set<std::string> shortLabels;
  for (VstInt32 i = 0; i < effect->numParams; ++i)
  {
    SCOPED_TRACE(i);
    char text[64];
    std::memset(text, 'x', sizeof(text));
    host.Dispatch(effect, effGetParamName, i, 0, text);
    EXPECT_STREQ(text, reference.Info(i)->name);
    EXPECT_EQ(text[63], 'x') << "written past 32 bytes";
    names.insert(text);

    VstParameterProperties properties;
    std::memset(&properties, 'x', sizeof(properties));
    ASSERT_EQ(host.Dispatch(effect, effGetParameterProperties, i, 0, &properties), 1);
    EXPECT_STREQ(properties.label, text);
    const std::string shortLabel = properties.shortLabel;
    EXPECT_FALSE(shortLabel.empty());
    EXPECT_LT(shortLabel.size(), sizeof(properties.shortLabel));
    shortLabels.insert(shortLabel);
    const bool onOff = i == EngineParam::ReverbOffOn || i == EngineParam::VelAmpOffOn;
    EXPECT_EQ(properties.flags, onOff ? kVstParameterIsSwitch : 0);
    EXPECT_EQ(properties.categoryLabel[0], 0);
  }
  EXPECT_EQ(names.size(), size_t(effect->numParams));
  EXPECT_EQ(shortLabels.size(), size_t(effect->numParams));

  EXPECT_EQ(host.DispatchForText(effect, effGetParamDisplay, EngineParam::HostTempoBpm),
            "120.00000");
  EXPECT_EQ(host.DispatchForText(effect, effGetParamLabel, EngineParam::MainVolume), "");
  VstParameterProperties properties{};
  EXPECT_EQ(host.Dispatch(effect, effGetParameterProperties, 0, 0, nullptr), 0);
  for (VstInt32 outside : {-1, 27})
  {
    char text[64];
    std::memset(text, 'x', sizeof(text));
    EXPECT_EQ(host.Dispatch(effect, effGetParamName, outside, 0, text), 0);
    EXPECT_EQ(host.Dispatch(effect, effGetParamDisplay, outside, 0, text), 0);
    EXPECT_EQ(text[0], 'x');
    EXPECT_EQ(host.Dispatch(effect, effGetParameterProperties, outside, 0, &properties), 0);
  }
}

TEST_F(Vst2PluginTest, ParametersStartAtTheirDefaultsAndFollowTheHost)
{
  EXPECT_FLOAT_EQ(Get(EngineParam::MainVolume), 0.8f);
  EXPECT_FLOAT_EQ(Get(EngineParam::BassEnvDecay), 0.5f);
  EXPECT_FLOAT_EQ(Get(EngineParam::HostTempoBpm), float(120.0 / 1000.0));
  EXPECT_FLOAT_EQ(Get(EngineParam::PresetSelector), float(1.0 / 10001.0));
  EXPECT_FLOAT_EQ(Get(EngineParam::VoiceRetrigOffOn), 0.0f);
  EXPECT_EQ(Get(27), 0.0f);
  EXPECT_EQ(Get(-1), 0.0f);

  Set(EngineParam::SnapPitchAmt, 0.25f);
  EXPECT_FLOAT_EQ(Get(EngineParam::SnapPitchAmt), 0.25f);
  EXPECT_EQ(host.DispatchForText(effect, effGetParamDisplay, EngineParam::SnapPitchAmt), "0.25000");
  Set(27, 0.5f);
  Set(-1, 0.5f);
  EXPECT_FLOAT_EQ(Get(EngineParam::SnapPitchAmt), 0.25f);
}

TEST_F(Vst2PluginTest, TextToParameter)
{
  char quarter[] = "0.25";
  char seven[] = "7";
  EXPECT_EQ(host.Dispatch(effect, effString2Parameter, EngineParam::BassPitchAmt, 0, quarter), 1);
  EXPECT_FLOAT_EQ(Get(EngineParam::BassPitchAmt), 0.25f);
  EXPECT_EQ(host.Dispatch(effect, effString2Parameter, EngineParam::BassPitchAmt, 0, seven), 1);
  EXPECT_FLOAT_EQ(Get(EngineParam::BassPitchAmt), 1.0f);
  EXPECT_EQ(host.Dispatch(effect, effString2Parameter, EngineParam::BassPitchAmt, 0, nullptr), 1);
  EXPECT_FLOAT_EQ(Get(EngineParam::BassPitchAmt), 1.0f);
  EXPECT_EQ(host.Dispatch(effect, effString2Parameter, 27, 0, quarter), 0);
  EXPECT_EQ(host.Dispatch(effect, effString2Parameter, -1, 0, quarter), 0);
}

TEST_F(Vst2PluginTest, CapabilityAnswers)
{
  EXPECT_EQ(host.CanDo(effect, "receiveVstMidiEvent"), 1);
  EXPECT_EQ(host.CanDo(effect, "receiveVstEvents"), 1);
  EXPECT_EQ(host.CanDo(effect, "sendVstEvents"), 1);
  EXPECT_EQ(host.CanDo(effect, "sendVstMidiEvent"), 1);
  EXPECT_EQ(host.CanDo(effect, "receiveVstTimeInfo"), 1);
  EXPECT_EQ(host.CanDo(effect, "hasCockosExtensions"), VstIntPtr(0xBEEF0000));
  EXPECT_EQ(host.CanDo(effect, "hasCockosViewAsConfig"), VstIntPtr(0xBEEF0000));
  EXPECT_EQ(host.CanDo(effect, "offline"), 0);
  EXPECT_EQ(host.CanDo(effect, ""), 0);
  EXPECT_EQ(host.Dispatch(effect, effCanDo, 0, 0, nullptr), 0);
}

TEST_F(Vst2PluginTest, PinPropertiesNameChannelsAndPairThem)
{
  struct Expected
  {
    VstInt32 opcode;
    int channel;
    const char* label;
    VstInt32 flags;
  };
  for (const Expected& pin : {Expected{effGetInputProperties, 0, "Input 1", 3},
                              Expected{effGetInputProperties, 1, "Input 2", 1},
                              Expected{effGetOutputProperties, 0, "Output 1", 3},
                              Expected{effGetOutputProperties, 1, "Output 2", 1}})
  {
    VstPinProperties properties{};
    EXPECT_EQ(host.Dispatch(effect, pin.opcode, pin.channel, 0, &properties), 1);
    EXPECT_STREQ(properties.label, pin.label);
    EXPECT_EQ(properties.flags, pin.flags);
  }
  VstPinProperties untouched{};
  EXPECT_EQ(host.Dispatch(effect, effGetInputProperties, 2, 0, &untouched), 0);
  EXPECT_EQ(host.Dispatch(effect, effGetOutputProperties, -1, 0, &untouched), 0);
  EXPECT_EQ(untouched.flags, 0);
  EXPECT_EQ(host.Dispatch(effect, effGetOutputProperties, 0, 0, nullptr), 0);
}

TEST_F(Vst2PluginTest, SpeakerArrangementsDescribeStereo)
{
  VstSpeakerArrangement* input = nullptr;
  VstSpeakerArrangement* output = nullptr;
  EXPECT_EQ(host.Dispatch(effect, effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input),
                          &output),
            1);
  ASSERT_NE(input, nullptr);
  ASSERT_NE(output, nullptr);
  EXPECT_EQ(input->type, kSpeakerArrStereo);
  EXPECT_EQ(input->numChannels, 2);
  EXPECT_EQ(output->type, kSpeakerArrStereo);
  EXPECT_EQ(output->numChannels, 2);
  EXPECT_EQ(host.Dispatch(effect, effGetSpeakerArrangement, 0, 0, nullptr), 1);
}

TEST_F(Vst2PluginTest, VendorSpecificParameterDisplay)
{
  char text[32] = "unchanged";
  EXPECT_EQ(host.Dispatch(effect, effVendorSpecific, effGetParamDisplay, EngineParam::MainVolume,
                          text, 0.5f),
            0xBEEF);
  EXPECT_STREQ(text, "0.50000");
  EXPECT_EQ(host.Dispatch(effect, effVendorSpecific, effGetParamDisplay, 99, text, 0.5f), 0xBEEF);
  EXPECT_EQ(host.Dispatch(effect, effVendorSpecific, effGetParamDisplay, 0, nullptr, 0.5f), 0);
  // Every parameter is continuous, so none offers its own text parsing.
  EXPECT_EQ(host.Dispatch(effect, effVendorSpecific, effString2Parameter, 0), 0);
  EXPECT_EQ(host.Dispatch(effect, effVendorSpecific, 12345, 0), 0);
}

TEST_F(Vst2PluginTest, MidiKeyNamesAreNotOffered)
{
  MidiKeyName key{};
  key.thisKeyNumber = 36;
  std::memset(key.keyName, 'x', sizeof(key.keyName));
  EXPECT_EQ(host.Dispatch(effect, effGetMidiKeyName, 0, 0, &key), 0);
  EXPECT_TRUE(AllZero(key.keyName, sizeof(key.keyName)));
  EXPECT_EQ(host.Dispatch(effect, effGetMidiKeyName, 0, 0, nullptr), 0);
}

TEST_F(Vst2PluginTest, OpenIdentifiesTheHostOnce)
{
  Vst2TestHost reaper(THUDWERK_VST2_PLUGIN_PATH);
  reaper.productName = "REAPER";
  AEffect* plug = reaper.Instantiate();
  ASSERT_NE(plug, nullptr);
  reaper.Dispatch(plug, effOpen);
  reaper.Dispatch(plug, effOpen);
  EXPECT_EQ(reaper.CountCalls(audioMasterGetProductString), 1);
  EXPECT_EQ(reaper.CountCalls(audioMasterGetVendorVersion), 1);

  // A host without a name is not asked for its version.
  Vst2TestHost anonymous(THUDWERK_VST2_PLUGIN_PATH);
  anonymous.productName = "";
  AEffect* other = anonymous.Instantiate();
  ASSERT_NE(other, nullptr);
  anonymous.Dispatch(other, effOpen);
  EXPECT_EQ(anonymous.CountCalls(audioMasterGetProductString), 1);
  EXPECT_EQ(anonymous.CountCalls(audioMasterGetVendorVersion), 0);
}

TEST_F(Vst2PluginTest, EventRecordsWithEmptyEntriesOrOtherTypesAreSafe)
{
  Vst2EventList events;
  events.AddEmptyEntry();
  events.AddOtherType(3, 0);
  // A plain 32-byte record labelled as SysEx: its size says it cannot hold
  // the SysEx fields, so they are not read.
  events.AddOtherType(kVstSysExType, 0);
  events.AddSysex(0, {char(0xF0), 0x7D, 0x01, char(0xF7)});
  events.AddSysex(0, {});
  events.AddMidi(0, kNoteOnChannel1, 36, 100);
  EXPECT_EQ(host.SendEvents(effect, events), 1);
  RenderDouble(16);
  EXPECT_TRUE(GateOpen());
  EXPECT_EQ(host.Dispatch(effect, effProcessEvents, 0, 0, nullptr), 0);
}
