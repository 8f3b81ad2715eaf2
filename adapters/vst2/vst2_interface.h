#pragma once

// The VST 2.4 C binary interface between a host and the plug-in: records,
// callbacks, opcodes and flags, with their published sizes and values. Every
// record has natural alignment, which equals the interface's 8-byte packing
// for these member types; the static_asserts at the end pin the layout of the
// 64-bit targets this project builds.

#include <cstddef>
#include <cstdint>

typedef int16_t VstInt16;
typedef int32_t VstInt32;
typedef intptr_t VstIntPtr;

struct AEffect;

extern "C"
{
  typedef VstIntPtr (*audioMasterCallback)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                           VstIntPtr value, void* ptr, float opt);
  typedef VstIntPtr (*AEffectDispatcherProc)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                             VstIntPtr value, void* ptr, float opt);
  typedef void (*AEffectProcessProc)(AEffect* effect, float** inputs, float** outputs,
                                     VstInt32 sampleFrames);
  typedef void (*AEffectProcessDoubleProc)(AEffect* effect, double** inputs, double** outputs,
                                           VstInt32 sampleFrames);
  typedef void (*AEffectSetParameterProc)(AEffect* effect, VstInt32 index, float parameter);
  typedef float (*AEffectGetParameterProc)(AEffect* effect, VstInt32 index);

  // The signature of both exported entry points, VSTPluginMain and main.
  typedef AEffect* (*VstPluginMainProc)(audioMasterCallback host);
}

constexpr VstInt32 kEffectMagic = 0x56737450; // 'VstP'

struct AEffect
{
  VstInt32 magic;
  AEffectDispatcherProc dispatcher;
  AEffectProcessProc
      process; // accumulating; deprecated by the interface, still called by old hosts
  AEffectSetParameterProc setParameter;
  AEffectGetParameterProc getParameter;
  VstInt32 numPrograms;
  VstInt32 numParams;
  VstInt32 numInputs;
  VstInt32 numOutputs;
  VstInt32 flags;
  VstIntPtr resvd1;
  VstIntPtr resvd2;
  VstInt32 initialDelay;
  VstInt32 realQualities;
  VstInt32 offQualities;
  float ioRatio;
  void* object;
  void* user;
  VstInt32 uniqueID;
  VstInt32 version;
  AEffectProcessProc processReplacing;
  AEffectProcessDoubleProc processDoubleReplacing;
  char future[56];
};

enum VstAEffectFlags : VstInt32
{
  effFlagsHasEditor = 1,
  effFlagsHasClip = 2,
  effFlagsHasVu = 4,
  effFlagsCanMono = 8,
  effFlagsCanReplacing = 16,
  effFlagsProgramChunks = 32,
  effFlagsIsSynth = 256,
  effFlagsNoSoundInStop = 512,
  effFlagsCanDoubleReplacing = 4096,
};

// Opcodes the host sends to the plug-in's dispatcher.
enum VstEffectOpcode : VstInt32
{
  effOpen = 0,
  effClose = 1,
  effSetProgram = 2,
  effGetProgram = 3,
  effSetProgramName = 4,
  effGetProgramName = 5,
  effGetParamLabel = 6,
  effGetParamDisplay = 7,
  effGetParamName = 8,
  effGetVu = 9,
  effSetSampleRate = 10,
  effSetBlockSize = 11,
  effMainsChanged = 12,
  effEditGetRect = 13,
  effEditOpen = 14,
  effEditClose = 15,
  effEditDraw = 16,
  effEditMouse = 17,
  effEditKey = 18,
  effEditIdle = 19,
  effEditTop = 20,
  effEditSleep = 21,
  effIdentify = 22,
  effGetChunk = 23,
  effSetChunk = 24,
  effProcessEvents = 25,
  effCanBeAutomated = 26,
  effString2Parameter = 27,
  effGetNumProgramCategories = 28,
  effGetProgramNameIndexed = 29,
  effCopyProgram = 30,
  effConnectInput = 31,
  effConnectOutput = 32,
  effGetInputProperties = 33,
  effGetOutputProperties = 34,
  effGetPlugCategory = 35,
  effGetCurrentPosition = 36,
  effGetDestinationBuffer = 37,
  effOfflineNotify = 38,
  effOfflinePrepare = 39,
  effOfflineRun = 40,
  effProcessVarIo = 41,
  effSetSpeakerArrangement = 42,
  effSetBlockSizeAndSampleRate = 43,
  effSetBypass = 44,
  effGetEffectName = 45,
  effGetErrorText = 46,
  effGetVendorString = 47,
  effGetProductString = 48,
  effGetVendorVersion = 49,
  effVendorSpecific = 50,
  effCanDo = 51,
  effGetTailSize = 52,
  effIdle = 53,
  effGetIcon = 54,
  effSetViewPosition = 55,
  effGetParameterProperties = 56,
  effKeysRequired = 57,
  effGetVstVersion = 58,
  effEditKeyDown = 59,
  effEditKeyUp = 60,
  effSetEditKnobMode = 61,
  effGetMidiProgramName = 62,
  effGetCurrentMidiProgram = 63,
  effGetMidiProgramCategory = 64,
  effHasMidiProgramsChanged = 65,
  effGetMidiKeyName = 66,
  effBeginSetProgram = 67,
  effEndSetProgram = 68,
  effGetSpeakerArrangement = 69,
  effShellGetNextPlugin = 70,
  effStartProcess = 71,
  effStopProcess = 72,
  effSetTotalSampleToProcess = 73,
  effSetPanLaw = 74,
  effBeginLoadBank = 75,
  effBeginLoadProgram = 76,
  effSetProcessPrecision = 77,
  effGetNumMidiInputChannels = 78,
  effGetNumMidiOutputChannels = 79,
};

// Opcodes the plug-in sends to the host's audioMasterCallback.
enum VstHostOpcode : VstInt32
{
  audioMasterAutomate = 0,
  audioMasterVersion = 1,
  audioMasterCurrentId = 2,
  audioMasterIdle = 3,
  audioMasterWantMidi = 6,
  audioMasterGetTime = 7,
  audioMasterProcessEvents = 8,
  audioMasterIOChanged = 13,
  audioMasterSizeWindow = 15,
  audioMasterGetSampleRate = 16,
  audioMasterGetBlockSize = 17,
  audioMasterGetInputLatency = 18,
  audioMasterGetOutputLatency = 19,
  audioMasterGetCurrentProcessLevel = 23,
  audioMasterGetAutomationState = 24,
  audioMasterGetVendorString = 32,
  audioMasterGetProductString = 33,
  audioMasterGetVendorVersion = 34,
  audioMasterVendorSpecific = 35,
  audioMasterCanDo = 37,
  audioMasterGetLanguage = 38,
  audioMasterGetDirectory = 41,
  audioMasterUpdateDisplay = 42,
  audioMasterBeginEdit = 43,
  audioMasterEndEdit = 44,
  audioMasterOpenFileSelector = 45,
  audioMasterCloseFileSelector = 46,
};

enum VstProcessLevel : VstInt32
{
  kVstProcessLevelUnknown = 0,
  kVstProcessLevelUser = 1,
  kVstProcessLevelRealtime = 2,
  kVstProcessLevelPrefetch = 3,
  kVstProcessLevelOffline = 4,
};

struct VstTimeInfo
{
  double samplePos;
  double sampleRate;
  double nanoSeconds;
  double ppqPos;
  double tempo;
  double barStartPos;
  double cycleStartPos;
  double cycleEndPos;
  VstInt32 timeSigNumerator;
  VstInt32 timeSigDenominator;
  VstInt32 smpteOffset;
  VstInt32 smpteFrameRate;
  VstInt32 samplesToNextClock;
  VstInt32 flags;
};

enum VstTimeInfoFlags : VstInt32
{
  kVstTransportChanged = 1,
  kVstTransportPlaying = 2,
  kVstTransportCycleActive = 4,
  kVstTransportRecording = 8,
  kVstAutomationWriting = 64,
  kVstAutomationReading = 128,
  kVstNanosValid = 256,
  kVstPpqPosValid = 512,
  kVstTempoValid = 1024,
  kVstBarsValid = 2048,
  kVstCyclePosValid = 4096,
  kVstTimeSigValid = 8192,
  kVstSmpteValid = 16384,
  kVstClockValid = 32768,
};

struct VstEvent
{
  VstInt32 type;
  VstInt32 byteSize;
  VstInt32 deltaFrames;
  VstInt32 flags;
  char data[16];
};

// Declared with two entries; a host's record really holds numEvents of them.
struct VstEvents
{
  VstInt32 numEvents;
  VstIntPtr reserved;
  VstEvent* events[2];
};

struct VstMidiEvent
{
  VstInt32 type;
  VstInt32 byteSize;
  VstInt32 deltaFrames;
  VstInt32 flags;
  VstInt32 noteLength;
  VstInt32 noteOffset;
  char midiData[4]; // signed char on most compilers: read the bytes as unsigned
  char detune;
  char noteOffVelocity;
  char reserved1;
  char reserved2;
};

struct VstMidiSysexEvent
{
  VstInt32 type;
  VstInt32 byteSize;
  VstInt32 deltaFrames;
  VstInt32 flags;
  VstInt32 dumpBytes;
  VstIntPtr resvd1;
  char* sysexDump;
  VstIntPtr resvd2;
};

enum VstEventTypes : VstInt32
{
  kVstMidiType = 1,
  kVstSysExType = 6,
};

struct ERect
{
  VstInt16 top;
  VstInt16 left;
  VstInt16 bottom;
  VstInt16 right;
};

struct VstPinProperties
{
  char label[64];
  VstInt32 flags;
  VstInt32 arrangementType;
  char shortLabel[8];
  char future[48];
};

enum VstPinPropertiesFlags : VstInt32
{
  kVstPinIsActive = 1,
  kVstPinIsStereo = 2,
  kVstPinUseSpeaker = 4,
};

struct VstParameterProperties
{
  float stepFloat;
  float smallStepFloat;
  float largeStepFloat;
  char label[64];
  VstInt32 flags;
  VstInt32 minInteger;
  VstInt32 maxInteger;
  VstInt32 stepInteger;
  VstInt32 largeStepInteger;
  char shortLabel[8];
  VstInt16 displayIndex;
  VstInt16 category;
  VstInt16 numParametersInCategory;
  VstInt16 reserved;
  char categoryLabel[24];
  char future[16];
};

enum VstParameterFlags : VstInt32
{
  kVstParameterIsSwitch = 1,
  kVstParameterUsesIntegerMinMax = 2,
  kVstParameterUsesFloatStep = 4,
  kVstParameterUsesIntStep = 8,
  kVstParameterSupportsDisplayIndex = 16,
  kVstParameterSupportsDisplayCategory = 32,
  kVstParameterCanRamp = 64,
};

struct VstSpeakerProperties
{
  float azimuth;
  float elevation;
  float radius;
  float reserved;
  char name[64];
  VstInt32 type;
  char future[28];
};

struct VstSpeakerArrangement
{
  VstInt32 type;
  VstInt32 numChannels;
  VstSpeakerProperties speakers[8];
};

enum VstSpeakerArrangementType : VstInt32
{
  kSpeakerArrUserDefined = -2,
  kSpeakerArrEmpty = -1,
  kSpeakerArrMono = 0,
  kSpeakerArrStereo = 1,
};

struct MidiKeyName
{
  VstInt32 thisProgramIndex;
  VstInt32 thisKeyNumber;
  char keyName[64];
  VstInt32 reserved;
  VstInt32 flags;
};

enum VstPlugCategory : VstInt32
{
  kPlugCategUnknown = 0,
  kPlugCategEffect = 1,
  kPlugCategSynth = 2,
};

enum VstStringConstants : VstInt32
{
  kVstMaxProgNameLen = 24,
  kVstMaxParamStrLen = 8,
  kVstMaxVendorStrLen = 64,
  kVstMaxProductStrLen = 64,
  kVstMaxEffectNameLen = 32,
  kVstMaxLabelLen = 64,
  kVstMaxShortLabelLen = 8,
  kVstMaxCategLabelLen = 24,
};

// Layout of the 64-bit targets: a mistake here must fail the build, not a host.
static_assert(sizeof(VstIntPtr) == 8, "64-bit targets only");
static_assert(sizeof(AEffect) == 192, "AEffect size");
static_assert(offsetof(AEffect, magic) == 0, "AEffect::magic");
static_assert(offsetof(AEffect, dispatcher) == 8, "AEffect::dispatcher");
static_assert(offsetof(AEffect, process) == 16, "AEffect::process");
static_assert(offsetof(AEffect, setParameter) == 24, "AEffect::setParameter");
static_assert(offsetof(AEffect, getParameter) == 32, "AEffect::getParameter");
static_assert(offsetof(AEffect, numPrograms) == 40, "AEffect::numPrograms");
static_assert(offsetof(AEffect, numParams) == 44, "AEffect::numParams");
static_assert(offsetof(AEffect, numInputs) == 48, "AEffect::numInputs");
static_assert(offsetof(AEffect, numOutputs) == 52, "AEffect::numOutputs");
static_assert(offsetof(AEffect, flags) == 56, "AEffect::flags");
static_assert(offsetof(AEffect, resvd1) == 64, "AEffect::resvd1");
static_assert(offsetof(AEffect, resvd2) == 72, "AEffect::resvd2");
static_assert(offsetof(AEffect, initialDelay) == 80, "AEffect::initialDelay");
static_assert(offsetof(AEffect, realQualities) == 84, "AEffect::realQualities");
static_assert(offsetof(AEffect, offQualities) == 88, "AEffect::offQualities");
static_assert(offsetof(AEffect, ioRatio) == 92, "AEffect::ioRatio");
static_assert(offsetof(AEffect, object) == 96, "AEffect::object");
static_assert(offsetof(AEffect, user) == 104, "AEffect::user");
static_assert(offsetof(AEffect, uniqueID) == 112, "AEffect::uniqueID");
static_assert(offsetof(AEffect, version) == 116, "AEffect::version");
static_assert(offsetof(AEffect, processReplacing) == 120, "AEffect::processReplacing");
static_assert(offsetof(AEffect, processDoubleReplacing) == 128, "AEffect::processDoubleReplacing");
static_assert(offsetof(AEffect, future) == 136, "AEffect::future");

static_assert(sizeof(VstTimeInfo) == 88, "VstTimeInfo size");
static_assert(offsetof(VstTimeInfo, samplePos) == 0, "VstTimeInfo::samplePos");
static_assert(offsetof(VstTimeInfo, sampleRate) == 8, "VstTimeInfo::sampleRate");
static_assert(offsetof(VstTimeInfo, nanoSeconds) == 16, "VstTimeInfo::nanoSeconds");
static_assert(offsetof(VstTimeInfo, ppqPos) == 24, "VstTimeInfo::ppqPos");
static_assert(offsetof(VstTimeInfo, tempo) == 32, "VstTimeInfo::tempo");
static_assert(offsetof(VstTimeInfo, barStartPos) == 40, "VstTimeInfo::barStartPos");
static_assert(offsetof(VstTimeInfo, cycleStartPos) == 48, "VstTimeInfo::cycleStartPos");
static_assert(offsetof(VstTimeInfo, cycleEndPos) == 56, "VstTimeInfo::cycleEndPos");
static_assert(offsetof(VstTimeInfo, timeSigNumerator) == 64, "VstTimeInfo::timeSigNumerator");
static_assert(offsetof(VstTimeInfo, timeSigDenominator) == 68, "VstTimeInfo::timeSigDenominator");
static_assert(offsetof(VstTimeInfo, smpteOffset) == 72, "VstTimeInfo::smpteOffset");
static_assert(offsetof(VstTimeInfo, smpteFrameRate) == 76, "VstTimeInfo::smpteFrameRate");
static_assert(offsetof(VstTimeInfo, samplesToNextClock) == 80, "VstTimeInfo::samplesToNextClock");
static_assert(offsetof(VstTimeInfo, flags) == 84, "VstTimeInfo::flags");

static_assert(offsetof(VstEvents, numEvents) == 0, "VstEvents::numEvents");
static_assert(offsetof(VstEvents, reserved) == 8, "VstEvents::reserved");
static_assert(offsetof(VstEvents, events) == 16, "VstEvents::events");

static_assert(sizeof(VstEvent) == 32, "VstEvent size");
static_assert(offsetof(VstEvent, type) == 0, "VstEvent::type");
static_assert(offsetof(VstEvent, byteSize) == 4, "VstEvent::byteSize");
static_assert(offsetof(VstEvent, deltaFrames) == 8, "VstEvent::deltaFrames");
static_assert(offsetof(VstEvent, flags) == 12, "VstEvent::flags");
static_assert(offsetof(VstEvent, data) == 16, "VstEvent::data");

static_assert(sizeof(VstMidiEvent) == 32, "VstMidiEvent size");
static_assert(offsetof(VstMidiEvent, type) == 0, "VstMidiEvent::type");
static_assert(offsetof(VstMidiEvent, byteSize) == 4, "VstMidiEvent::byteSize");
static_assert(offsetof(VstMidiEvent, deltaFrames) == 8, "VstMidiEvent::deltaFrames");
static_assert(offsetof(VstMidiEvent, flags) == 12, "VstMidiEvent::flags");
static_assert(offsetof(VstMidiEvent, noteLength) == 16, "VstMidiEvent::noteLength");
static_assert(offsetof(VstMidiEvent, noteOffset) == 20, "VstMidiEvent::noteOffset");
static_assert(offsetof(VstMidiEvent, midiData) == 24, "VstMidiEvent::midiData");
static_assert(offsetof(VstMidiEvent, detune) == 28, "VstMidiEvent::detune");
static_assert(offsetof(VstMidiEvent, noteOffVelocity) == 29, "VstMidiEvent::noteOffVelocity");
static_assert(offsetof(VstMidiEvent, reserved1) == 30, "VstMidiEvent::reserved1");
static_assert(offsetof(VstMidiEvent, reserved2) == 31, "VstMidiEvent::reserved2");

static_assert(sizeof(VstMidiSysexEvent) == 48, "VstMidiSysexEvent size");
static_assert(offsetof(VstMidiSysexEvent, type) == 0, "VstMidiSysexEvent::type");
static_assert(offsetof(VstMidiSysexEvent, byteSize) == 4, "VstMidiSysexEvent::byteSize");
static_assert(offsetof(VstMidiSysexEvent, deltaFrames) == 8, "VstMidiSysexEvent::deltaFrames");
static_assert(offsetof(VstMidiSysexEvent, flags) == 12, "VstMidiSysexEvent::flags");
static_assert(offsetof(VstMidiSysexEvent, dumpBytes) == 16, "VstMidiSysexEvent::dumpBytes");
static_assert(offsetof(VstMidiSysexEvent, resvd1) == 24, "VstMidiSysexEvent::resvd1");
static_assert(offsetof(VstMidiSysexEvent, sysexDump) == 32, "VstMidiSysexEvent::sysexDump");
static_assert(offsetof(VstMidiSysexEvent, resvd2) == 40, "VstMidiSysexEvent::resvd2");

static_assert(sizeof(ERect) == 8, "ERect size");
static_assert(offsetof(ERect, top) == 0, "ERect::top");
static_assert(offsetof(ERect, left) == 2, "ERect::left");
static_assert(offsetof(ERect, bottom) == 4, "ERect::bottom");
static_assert(offsetof(ERect, right) == 6, "ERect::right");

static_assert(sizeof(VstPinProperties) == 128, "VstPinProperties size");
static_assert(offsetof(VstPinProperties, label) == 0, "VstPinProperties::label");
static_assert(offsetof(VstPinProperties, flags) == 64, "VstPinProperties::flags");
static_assert(offsetof(VstPinProperties, arrangementType) == 68,
              "VstPinProperties::arrangementType");
static_assert(offsetof(VstPinProperties, shortLabel) == 72, "VstPinProperties::shortLabel");
static_assert(offsetof(VstPinProperties, future) == 80, "VstPinProperties::future");

static_assert(sizeof(VstParameterProperties) == 152, "VstParameterProperties size");
static_assert(offsetof(VstParameterProperties, stepFloat) == 0,
              "VstParameterProperties::stepFloat");
static_assert(offsetof(VstParameterProperties, smallStepFloat) == 4,
              "VstParameterProperties::smallStepFloat");
static_assert(offsetof(VstParameterProperties, largeStepFloat) == 8,
              "VstParameterProperties::largeStepFloat");
static_assert(offsetof(VstParameterProperties, label) == 12, "VstParameterProperties::label");
static_assert(offsetof(VstParameterProperties, flags) == 76, "VstParameterProperties::flags");
static_assert(offsetof(VstParameterProperties, minInteger) == 80,
              "VstParameterProperties::minInteger");
static_assert(offsetof(VstParameterProperties, maxInteger) == 84,
              "VstParameterProperties::maxInteger");
static_assert(offsetof(VstParameterProperties, stepInteger) == 88,
              "VstParameterProperties::stepInteger");
static_assert(offsetof(VstParameterProperties, largeStepInteger) == 92,
              "VstParameterProperties::largeStepInteger");
static_assert(offsetof(VstParameterProperties, shortLabel) == 96,
              "VstParameterProperties::shortLabel");
static_assert(offsetof(VstParameterProperties, displayIndex) == 104,
              "VstParameterProperties::displayIndex");
static_assert(offsetof(VstParameterProperties, category) == 106,
              "VstParameterProperties::category");
static_assert(offsetof(VstParameterProperties, numParametersInCategory) == 108,
              "VstParameterProperties::numParametersInCategory");
static_assert(offsetof(VstParameterProperties, reserved) == 110,
              "VstParameterProperties::reserved");
static_assert(offsetof(VstParameterProperties, categoryLabel) == 112,
              "VstParameterProperties::categoryLabel");
static_assert(offsetof(VstParameterProperties, future) == 136, "VstParameterProperties::future");

static_assert(sizeof(VstSpeakerProperties) == 112, "VstSpeakerProperties size");
static_assert(offsetof(VstSpeakerProperties, azimuth) == 0, "VstSpeakerProperties::azimuth");
static_assert(offsetof(VstSpeakerProperties, elevation) == 4, "VstSpeakerProperties::elevation");
static_assert(offsetof(VstSpeakerProperties, radius) == 8, "VstSpeakerProperties::radius");
static_assert(offsetof(VstSpeakerProperties, reserved) == 12, "VstSpeakerProperties::reserved");
static_assert(offsetof(VstSpeakerProperties, name) == 16, "VstSpeakerProperties::name");
static_assert(offsetof(VstSpeakerProperties, type) == 80, "VstSpeakerProperties::type");
static_assert(offsetof(VstSpeakerProperties, future) == 84, "VstSpeakerProperties::future");

static_assert(sizeof(VstSpeakerArrangement) == 904, "VstSpeakerArrangement size");
static_assert(offsetof(VstSpeakerArrangement, type) == 0, "VstSpeakerArrangement::type");
static_assert(offsetof(VstSpeakerArrangement, numChannels) == 4,
              "VstSpeakerArrangement::numChannels");
static_assert(offsetof(VstSpeakerArrangement, speakers) == 8, "VstSpeakerArrangement::speakers");

static_assert(sizeof(MidiKeyName) == 80, "MidiKeyName size");
static_assert(offsetof(MidiKeyName, thisProgramIndex) == 0, "MidiKeyName::thisProgramIndex");
static_assert(offsetof(MidiKeyName, thisKeyNumber) == 4, "MidiKeyName::thisKeyNumber");
static_assert(offsetof(MidiKeyName, keyName) == 8, "MidiKeyName::keyName");
static_assert(offsetof(MidiKeyName, reserved) == 72, "MidiKeyName::reserved");
static_assert(offsetof(MidiKeyName, flags) == 76, "MidiKeyName::flags");
