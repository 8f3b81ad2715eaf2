#pragma once

// Shared set-up of the VST2 plug-in tests: a test host with the built
// plug-in loaded and one started instance, and a reference engine driven
// with the parameter sequence the instrument is meant to send.

#include "kick_engine.h"
#include "vst2_test_host.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#ifndef THUDWERK_VST2_PLUGIN_PATH
#error "THUDWERK_VST2_PLUGIN_PATH names the plug-in binary under test"
#endif

constexpr double kDefaultRate = 44100.0;
constexpr int kDefaultBlock = 1024;
constexpr uint8_t kNoteOnChannel1 = 0x90;
constexpr uint8_t kNoteOffChannel1 = 0x80;
constexpr uint8_t kControlChannel1 = 0xB0;

class Vst2PluginTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(host.Library().IsLoaded()) << host.Library().LoadError();
    effect = host.InstantiateAndStart(kDefaultRate, kDefaultBlock);
    ASSERT_NE(effect, nullptr);
  }

  float Get(int index) { return effect->getParameter(effect, index); }
  void Set(int index, float normalized) { effect->setParameter(effect, index, normalized); }

  void SendMidi(int32_t delta, uint8_t status, uint8_t data1, uint8_t data2)
  {
    Vst2EventList events;
    events.AddMidi(delta, status, data1, data2);
    EXPECT_EQ(host.SendEvents(effect, events), 1);
  }
  void NoteOn(uint8_t note, uint8_t velocity) { SendMidi(0, kNoteOnChannel1, note, velocity); }
  void NoteOff(uint8_t note) { SendMidi(0, kNoteOffChannel1, note, 0); }
  void Controller(uint8_t number, uint8_t value) { SendMidi(0, kControlChannel1, number, value); }

  AudioBuffers<double> RenderDouble(int frames)
  {
    AudioBuffers<double> buffers(2, 2, frames);
    host.ProcessDoubleReplacing(effect, buffers, frames);
    return buffers;
  }

  // The mirrors of the voice parameters, in their plain units.
  bool GateOpen() { return Get(EngineParam::Voice00_NoteGate) == 1.0f; }
  int CurrentNote() { return int(Get(EngineParam::Voice00_NoteNumber) * 127.0f + 0.5f); }
  int CurrentVelocity() { return int(Get(EngineParam::Voice00_NoteVelocity) * 127.0f + 0.5f); }
  float Token() { return Get(EngineParam::Voice00_NoteRetrig); }

  Vst2TestHost host{THUDWERK_VST2_PLUGIN_PATH};
  AEffect* effect = nullptr;
};

// The retrigger token after n steps, stepped in single precision as the
// instrument is meant to: +0.01, and 0 once it passes 0.99.
inline float TokenAfterSteps(int steps)
{
  float token = 0.0f;
  for (int i = 0; i < steps; ++i)
  {
    token = token + 0.01f;
    if (token > 0.99f) token = 0.0f;
  }
  return token;
}

// An engine created at 44100 Hz like the instrument's, reset to the host's
// rate, with every parameter at its default.
class ReferenceEngine
{
public:
  explicit ReferenceEngine(double sampleRate = kDefaultRate) : mEngine(EngineCreate(kDefaultRate))
  {
    EngineReset(mEngine, sampleRate, 1024);
  }
  ~ReferenceEngine() { EngineDestroy(mEngine); }
  ReferenceEngine(const ReferenceEngine&) = delete;
  ReferenceEngine& operator=(const ReferenceEngine&) = delete;

  void Set(int index, double value) { EngineSetParam(mEngine, index, value); }
  const EngineParamInfo* Info(int index) const { return EngineGetParamInfo(mEngine, index); }
  // What a note-on from silence sends: gate, note, velocity, next token.
  void NoteOn(int note, int velocity, float token)
  {
    Set(EngineParam::Voice00_NoteGate, 1.0);
    Set(EngineParam::Voice00_NoteNumber, note);
    Set(EngineParam::Voice00_NoteVelocity, velocity);
    Set(EngineParam::Voice00_NoteRetrig, token);
  }
  std::vector<std::vector<double>> Render(int frames, double tempo = 120.0)
  {
    Set(EngineParam::HostTempoBpm, tempo);
    std::vector<std::vector<double>> out(2, std::vector<double>(frames, 0.0));
    std::vector<double> silence(frames, 0.0);
    double* inputs[2] = {silence.data(), silence.data()};
    double* outputs[2] = {out[0].data(), out[1].data()};
    EnginePerform(mEngine, inputs, outputs, frames);
    return out;
  }

private:
  KickEngine* mEngine;
};
