// IPlugVST3's controller side through the test effect: parameter objects,
// queries, units, the preset list, host identification, views and the
// notifications the editor sends.

#include "effect_fixture.h"
#include "memory_stream.h"
#include "plug_frame.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstunits.h"

#include <cstring>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

std::vector<ParameterInfo> AllParameterInfo(IEditController* controller)
{
  std::vector<ParameterInfo> infos;
  for (int32 i = 0; i < controller->getParameterCount(); ++i)
  {
    ParameterInfo info{};
    EXPECT_EQ(controller->getParameterInfo(i, info), kResultOk) << i;
    infos.push_back(info);
  }
  return infos;
}

TEST_F(EffectTest, ParametersArePresetBypassThenOnePerIndex)
{
  const auto infos = AllParameterInfo(controller);
  ASSERT_EQ(infos.size(), 5u);

  EXPECT_EQ(infos[0].id, kPreset);
  EXPECT_EQ(Narrow(infos[0].title), "Preset");
  EXPECT_EQ(infos[0].stepCount, 1) << "a list of the two presets";
  EXPECT_EQ(infos[0].flags, ParameterInfo::kIsProgramChange | ParameterInfo::kIsList);
  EXPECT_EQ(infos[0].defaultNormalizedValue, 0.0);

  EXPECT_EQ(infos[1].id, kBypass);
  EXPECT_EQ(Narrow(infos[1].title), "Bypass");
  EXPECT_EQ(infos[1].flags, 0x10009);
  EXPECT_EQ(infos[1].stepCount, 1);

  EXPECT_EQ(infos[2].id, 0u);
  EXPECT_EQ(Narrow(infos[2].title), "Gain");
  EXPECT_EQ(Narrow(infos[2].units), "x");
  EXPECT_EQ(infos[2].stepCount, 0);
  EXPECT_EQ(infos[2].flags, ParameterInfo::kCanAutomate);
  EXPECT_DOUBLE_EQ(infos[2].defaultNormalizedValue, 0.5);
  EXPECT_EQ(infos[2].unitId, 1);

  EXPECT_EQ(infos[3].id, 1u);
  EXPECT_EQ(Narrow(infos[3].title), "Mode");
  EXPECT_EQ(Narrow(infos[3].units), "") << "a display text names the value";
  EXPECT_EQ(infos[3].stepCount, 2);
  EXPECT_EQ(infos[3].flags, ParameterInfo::kIsList | ParameterInfo::kCanAutomate);
  EXPECT_EQ(infos[3].unitId, 1);

  EXPECT_EQ(infos[4].id, 2u);
  EXPECT_EQ(infos[4].unitId, 2);

  for (const ParameterInfo& info : infos)
    EXPECT_FALSE((info.flags & ParameterInfo::kCanAutomate) &&
                 (info.flags & ParameterInfo::kIsReadOnly))
        << info.id;
}

TEST_F(EffectTest, InitializeAndTerminateAgainRebuildTheSameParameters)
{
  const auto first = AllParameterInfo(controller);
  EXPECT_EQ(component->initialize(host->unknownCast()), kResultFalse);
  EXPECT_EQ(controller->getParameterCount(), 5) << "a second initialize adds nothing";
  for (int round = 0; round < 2; ++round)
  {
    ASSERT_EQ(component->terminate(), kResultOk);
    EXPECT_EQ(controller->getParameterCount(), 0);
    EXPECT_EQ(component->getBusCount(kAudio, kOutput), 0);
    ASSERT_EQ(component->initialize(host->unknownCast()), kResultOk);
    const auto again = AllParameterInfo(controller);
    ASSERT_EQ(again.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i)
    {
      EXPECT_EQ(again[i].id, first[i].id);
      EXPECT_EQ(Narrow(again[i].title), Narrow(first[i].title));
      EXPECT_EQ(again[i].defaultNormalizedValue, first[i].defaultNormalizedValue);
      EXPECT_EQ(again[i].unitId, first[i].unitId);
    }
    EXPECT_EQ(Query<IUnitInfo>(component)->getUnitCount(), 3);
  }
}

TEST_F(EffectTest, BusesOfAnEffect)
{
  EXPECT_EQ(component->getBusCount(kAudio, kInput), 1);
  EXPECT_EQ(component->getBusCount(kAudio, kOutput), 1);
  EXPECT_EQ(component->getBusCount(kEvent, kInput), 1);
  BusInfo info{};
  ASSERT_EQ(component->getBusInfo(kAudio, kOutput, 0, info), kResultOk);
  EXPECT_EQ(Narrow(info.name), "Output");
  EXPECT_EQ(info.channelCount, 2);
  ASSERT_EQ(component->getBusInfo(kEvent, kInput, 0, info), kResultOk);
  EXPECT_EQ(Narrow(info.name), "MIDI Input");
  EXPECT_EQ(info.channelCount, 1);
}

TEST_F(EffectTest, ParameterQueriesConvertAndFormat)
{
  String128 text{};
  ASSERT_EQ(controller->getParamStringByValue(0, 0.5, text), kResultOk);
  EXPECT_EQ(Narrow(text), "1.000");
  ASSERT_EQ(controller->getParamStringByValue(1, 0.5, text), kResultOk);
  EXPECT_EQ(Narrow(text), "Hard");
  ASSERT_EQ(controller->getParamStringByValue(kPreset, 0.0, text), kResultOk);
  EXPECT_EQ(Narrow(text), "Init") << "hosts show the preset names";
  ASSERT_EQ(controller->getParamStringByValue(kPreset, 1.0, text), kResultOk);
  EXPECT_EQ(Narrow(text), "empty");
  EXPECT_EQ(controller->getParamStringByValue(3, 0.5, text), kResultFalse);

  EXPECT_DOUBLE_EQ(controller->plainParamToNormalized(0, 1.5), 0.75);
  EXPECT_DOUBLE_EQ(controller->plainParamToNormalized(0, 9.0), 1.0);
  EXPECT_EQ(controller->plainParamToNormalized(77, 9.0), 9.0);
  EXPECT_DOUBLE_EQ(controller->normalizedParamToPlain(0, 0.25), 0.5);

  EXPECT_EQ(controller->getParamNormalized(77), 0.0);
  EXPECT_EQ(controller->setParamNormalized(77, 0.5), kResultFalse);
  const int changes = Probes().paramChanges;
  ASSERT_EQ(controller->setParamNormalized(2, 0.4), kResultOk);
  EXPECT_DOUBLE_EQ(controller->getParamNormalized(2), 0.4);
  EXPECT_EQ(Probes().paramChanges, changes) << "the host's own value needs no echo";
}

TEST_F(EffectTest, UnitsAreTheRootAndOnePerGroup)
{
  auto units = Query<IUnitInfo>(component);
  ASSERT_TRUE(units);
  ASSERT_EQ(units->getUnitCount(), 3);
  UnitInfo info{};
  ASSERT_EQ(units->getUnitInfo(0, info), kResultOk);
  EXPECT_EQ(info.id, kRootUnitId);
  EXPECT_EQ(info.parentUnitId, kNoParentUnitId);
  EXPECT_EQ(Narrow(info.name), "Root Unit");
  EXPECT_EQ(info.programListId, kNoProgramListId);
  ASSERT_EQ(units->getUnitInfo(1, info), kResultOk);
  EXPECT_EQ(info.id, 1);
  EXPECT_EQ(info.parentUnitId, kRootUnitId);
  EXPECT_EQ(Narrow(info.name), "Amp");
  ASSERT_EQ(units->getUnitInfo(2, info), kResultOk);
  EXPECT_EQ(Narrow(info.name), "Tone");
  EXPECT_EQ(units->getUnitInfo(3, info), kResultFalse);
  EXPECT_EQ(units->getUnitInfo(-1, info), kResultFalse);
  EXPECT_EQ(units->getSelectedUnit(), kRootUnitId);
  EXPECT_EQ(units->selectUnit(1), kNotImplemented);
}

TEST_F(EffectTest, PresetListNamesThePresets)
{
  auto units = Query<IUnitInfo>(component);
  EXPECT_EQ(units->getProgramListCount(), 0);
  ProgramListInfo list{};
  ASSERT_EQ(units->getProgramListInfo(0, list), kResultOk);
  EXPECT_EQ(list.id, static_cast<ProgramListID>(kPreset));
  EXPECT_EQ(Narrow(list.name), "Factory Presets");
  EXPECT_EQ(list.programCount, 2);
  EXPECT_EQ(units->getProgramListInfo(1, list), kResultFalse);
  String128 name{};
  ASSERT_EQ(units->getProgramName(kPreset, 0, name), kResultOk);
  EXPECT_EQ(Narrow(name), "Init");
  ASSERT_EQ(units->getProgramName(kPreset, 1, name), kResultOk);
  EXPECT_EQ(Narrow(name), "empty");
  ASSERT_EQ(units->getProgramName(kPreset, 9, name), kResultOk);
  EXPECT_EQ(Narrow(name), "");
  EXPECT_EQ(units->getProgramName(1234, 0, name), kResultFalse);
}

TEST_F(EffectTest, RolesTheAdapterLeavesToTheHost)
{
  auto controller2 = Query<IEditController2>(component);
  ASSERT_TRUE(controller2);
  EXPECT_EQ(controller2->openHelp(false), kResultFalse);
  EXPECT_EQ(controller2->openAboutBox(false), kResultFalse);
  EXPECT_EQ(controller->setComponentState(nullptr), kNotImplemented);
  TUID cid{};
  EXPECT_EQ(component->getControllerClassId(cid), kNotImplemented);
  EXPECT_EQ(processor->setProcessing(true), kNotImplemented);
  EXPECT_EQ(processor->getTailSamples(), 0u);
  EXPECT_TRUE(Query<IUnitInfo>(controller));
}

TEST_F(EffectTest, EditorNotificationsReachTheComponentHandler)
{
  handler->Clear();
  IPlugBase* base = Base();
  base->BeginParamGesture(2);
  base->SetParameterFromEditor(2, 0.3);
  base->EndParamGesture(2);
  const auto edits = handler->Edits();
  ASSERT_EQ(edits.size(), 3u);
  EXPECT_EQ(edits[0].kind, HostEdit::kBegin);
  EXPECT_EQ(edits[1].kind, HostEdit::kPerform);
  EXPECT_EQ(edits[1].id, 2u);
  EXPECT_DOUBLE_EQ(edits[1].value, 0.3);
  EXPECT_EQ(edits[2].kind, HostEdit::kEnd);
  EXPECT_DOUBLE_EQ(controller->getParamNormalized(2), 0.3);
}

struct HostCase
{
  const char* name;
  int expected;
};

void PrintTo(const HostCase& hostCase, std::ostream* os)
{
  *os << hostCase.name;
}

class HostIdentityTest : public EffectTest, public ::testing::WithParamInterface<HostCase>
{
protected:
  void SetUp() override { Load(false, GetParam().name); }
};

TEST_P(HostIdentityTest, InitializeIdentifiesTheHostByName)
{
  EXPECT_EQ(Base()->GetHostId(), GetParam().expected);
  EXPECT_EQ(Probes().hostIdentified, GetParam().expected) << "identified before the hook";
}

INSTANTIATE_TEST_SUITE_P(Names, HostIdentityTest,
                         ::testing::Values(HostCase{"REAPER", 1}, HostCase{"Ableton Live 11", 9},
                                           HostCase{"VST3PluginTestHost", 27},
                                           HostCase{"Some Other Host", 0}));

TEST_F(EffectTest, WithoutHostApplicationTheHostStaysUnidentified)
{
  IPtr<IComponent> other = Create(false);
  ASSERT_TRUE(other);
  ASSERT_EQ(other->initialize(nullptr), kResultOk);
  EXPECT_EQ(Base()->GetHostId(), -1);
  other->terminate();
}

TEST_F(EffectTest, SecondInitializeWithoutAContextBuildsNothingTwice)
{
  IPtr<IComponent> other = Create(false);
  ASSERT_TRUE(other);
  auto otherController = Query<IEditController>(other);
  ASSERT_EQ(other->initialize(nullptr), kResultOk);
  const int32 parameters = otherController->getParameterCount();
  const int32 outputs = other->getBusCount(kAudio, kOutput);
  EXPECT_EQ(other->initialize(nullptr), kResultFalse);
  EXPECT_EQ(otherController->getParameterCount(), parameters);
  EXPECT_EQ(other->getBusCount(kAudio, kOutput), outputs);
  EXPECT_EQ(Query<IUnitInfo>(other)->getUnitCount(), 3);
  ASSERT_EQ(other->terminate(), kResultOk);
  EXPECT_EQ(other->initialize(nullptr), kResultOk) << "terminate allows a new start";
  EXPECT_EQ(otherController->getParameterCount(), parameters);
  other->terminate();
}

TEST_F(EffectTest, InitializeThatRunsOutOfMemoryAnswersAndLeavesNothingBuilt)
{
  auto failInitialize =
      reinterpret_cast<void (*)(bool)>(module->Symbol("TestEffectFailInitialize"));
  ASSERT_NE(failInitialize, nullptr);
  IPtr<IComponent> other = Create(false);
  ASSERT_TRUE(other);
  auto otherController = Query<IEditController>(other);
  failInitialize(true);
  const tresult failed = other->initialize(host->unknownCast());
  failInitialize(false);
  EXPECT_EQ(failed, kOutOfMemory);
  EXPECT_EQ(otherController->getParameterCount(), 0);
  EXPECT_EQ(other->getBusCount(kAudio, kOutput), 0);
  EXPECT_EQ(Query<IUnitInfo>(other)->getUnitCount(), 1);
  EXPECT_EQ(other->initialize(host->unknownCast()), kResultOk) << "a later attempt starts afresh";
  EXPECT_EQ(otherController->getParameterCount(), 5);
  EXPECT_EQ(Query<IUnitInfo>(other)->getUnitCount(), 3);
  other->terminate();
}

TEST_F(EffectTest, ViewsWithoutAnEditorOfferNothing)
{
  EXPECT_EQ(controller->createView("other"), nullptr);
  EXPECT_EQ(controller->createView(nullptr), nullptr);
  IPtr<IPlugView> view = owned(controller->createView(ViewType::kEditor));
  ASSERT_TRUE(view);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultFalse);
  ViewRect rect;
  EXPECT_EQ(view->getSize(&rect), kResultFalse);
  EXPECT_EQ(view->attached(nullptr, kPlatformTypeHWND), kResultFalse);
}

class EditorEffectTest : public EffectTest
{
protected:
  void SetUp() override { Load(true); }
};

TEST_F(EditorEffectTest, ViewReportsTheEditorSizeAndItsPlatformType)
{
  IPtr<IPlugView> view = owned(controller->createView(ViewType::kEditor));
  ASSERT_TRUE(view);
  ViewRect rect;
  ASSERT_EQ(view->getSize(&rect), kResultOk);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, 300);
  EXPECT_EQ(rect.bottom, 200);
  EXPECT_EQ(view->isPlatformTypeSupported("nonsense"), kResultFalse);
  EXPECT_EQ(view->isPlatformTypeSupported(nullptr), kResultFalse);
#if SMTG_OS_WINDOWS
  FIDString own = kPlatformTypeHWND;
  FIDString foreign = kPlatformTypeX11EmbedWindowID;
#else
  FIDString own = kPlatformTypeX11EmbedWindowID;
  FIDString foreign = kPlatformTypeHWND;
#endif
  EXPECT_EQ(view->isPlatformTypeSupported(own), kResultOk);
  EXPECT_EQ(view->isPlatformTypeSupported(foreign), kResultFalse);
  // A host must not be told an editor shows in a window type it never opens
  // in, nor in a window this editor cannot open (the test's has none).
  EXPECT_EQ(view->attached(reinterpret_cast<void*>(0x1234), foreign), kResultFalse);
  EXPECT_EQ(view->attached(reinterpret_cast<void*>(0x1234), own), kResultFalse);
  EXPECT_EQ(view->canResize(), kResultFalse);
  EXPECT_EQ(view->onWheel(1.0f), kResultFalse);
}

TEST_F(EditorEffectTest, ViewHoldsThePlugInUntilItIsReleased)
{
  IPlugView* view = controller->createView(ViewType::kEditor);
  ASSERT_NE(view, nullptr);
  // Dropping every reference of the host leaves the plug-in alive for the
  // view.
  component->terminate();
  IPlugBase* base = Base();
  processor = nullptr;
  controller = nullptr;
  component = nullptr;
  EXPECT_EQ(Base(), base);
  view->release();
  EXPECT_EQ(Base(), nullptr);
}

TEST_F(EditorEffectTest, ResizeGoesThroughTheHostFrameOfTheFirstView)
{
  IPtr<IPlugView> view = owned(controller->createView(ViewType::kEditor));
  IPtr<PlugFrame> frame = owned(new PlugFrame);
  ASSERT_EQ(view->setFrame(frame), kResultTrue);
  Base()->ResizeEditor(320, 240);
  ASSERT_EQ(frame->Requests().size(), 1u);
  EXPECT_EQ(frame->Requests()[0].right, 320);
  EXPECT_EQ(frame->Requests()[0].bottom, 240);
  EXPECT_EQ(Probes().editorResized, 1);
  // A size the host sets on its own is no answer to a request.
  ViewRect hostSize(0, 0, 100, 100);
  EXPECT_EQ(view->onSize(&hostSize), kResultOk);
  EXPECT_EQ(Probes().editorResized, 1);
}

TEST_F(EditorEffectTest, HostParameterMenuOpensInTheFirstView)
{
  handler->Clear();
  Base()->ShowHostParamMenu(1, 10, 20);
  EXPECT_TRUE(handler->Edits().empty()) << "no view, no menu";
  IPtr<IPlugView> view = owned(controller->createView(ViewType::kEditor));
  Base()->ShowHostParamMenu(1, 10, 20);
  const auto edits = handler->Edits();
  ASSERT_EQ(edits.size(), 2u);
  EXPECT_EQ(edits[0].kind, HostEdit::kContextMenu);
  EXPECT_EQ(edits[0].id, 1u);
  EXPECT_EQ(edits[1].kind, HostEdit::kPopup);
  EXPECT_EQ(edits[1].flags, 10);
  EXPECT_EQ(edits[1].y, 20);
}

} // namespace
