// X errors on a host's own display connection reach the host's handler
// however the VST2 plug-in's editor was used, also once the plug-in module is
// unloaded. Each case runs in a child process: the fault is a crash.

// GoogleTest first: Xlib's macros (Bool, None, Status) would rename its code.
#include <gtest/gtest.h>

#include "vst2_test_host.h"
#include "x11_host_window.h"

#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <string>

namespace
{
constexpr XID kMissingWindow = 0x7ffffff0;

int sHostErrors = 0;
XID sLastErrorResource = 0;
unsigned char sLastErrorCode = 0;

int HostErrorHandler(Display*, XErrorEvent* error)
{
  ++sHostErrors;
  sLastErrorResource = error->resourceid;
  sLastErrorCode = error->error_code;
  return 0;
}

enum class Stage
{
  kEditorOpen,
  kEditorClosed,
  kModuleUnloaded,
  kBadParentThenUnloaded
};

enum ChildResult : int
{
  kSurvived = 0,
  kNoPlugin = 10,
  kEditorFailed = 11,
  kStillLoaded = 12,
  kHandlerMissedIt = 13
};

// The host's error (a request on a window that does not exist) at the given
// stage; the child's exit code says what went wrong.
int HostSession(Stage stage)
{
  XSetErrorHandler(HostErrorHandler);
  X11HostWindow window(1100, 1000);
  const auto hostError = [&]
  {
    XMapWindow(window.GetDisplay(), kMissingWindow);
    XSync(window.GetDisplay(), False);
  };
  auto host = std::make_unique<Vst2TestHost>(THUDWERK_VST2_PLUGIN_PATH);
  AEffect* effect = host->InstantiateAndStart(44100.0, 512);
  if (!window.Valid() || !effect) return kNoPlugin;
  void* parent = stage == Stage::kBadParentThenUnloaded ? reinterpret_cast<void*>(kMissingWindow)
                                                        : window.Handle();
  const bool opened = host->Dispatch(effect, effEditOpen, 0, 0, parent) == 1;
  if (opened != (stage != Stage::kBadParentThenUnloaded)) return kEditorFailed;
  for (int i = 0; i < 10; ++i)
    host->Dispatch(effect, effEditIdle);
  if (stage == Stage::kEditorOpen) hostError();
  host->Dispatch(effect, effEditClose);
  if (stage == Stage::kEditorClosed) hostError();
  host.reset();
  if (stage == Stage::kModuleUnloaded || stage == Stage::kBadParentThenUnloaded)
  {
    if (void* stillThere = dlopen(THUDWERK_VST2_PLUGIN_PATH, RTLD_NOW | RTLD_NOLOAD))
    {
      dlclose(stillThere);
      return kStillLoaded;
    }
    hostError();
  }
  const bool onlyTheHostsOwn =
      sHostErrors == 1 && sLastErrorResource == kMissingWindow && sLastErrorCode == BadWindow;
  return onlyTheHostsOwn ? kSurvived : kHandlerMissedIt;
}

class HostErrorAfterEditor : public ::testing::TestWithParam<Stage>
{
};

TEST_P(HostErrorAfterEditor, ReachesTheHostsHandlerAndTheHostSurvives)
{
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(HostSession(GetParam()));
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), kSurvived);
}

std::string StageName(const ::testing::TestParamInfo<Stage>& stage)
{
  static const char* const kNames[] = {"EditorOpen", "EditorClosed", "ModuleUnloaded",
                                       "BadParentThenUnloaded"};
  return kNames[int(stage.param)];
}

INSTANTIATE_TEST_SUITE_P(Stages, HostErrorAfterEditor,
                         ::testing::Values(Stage::kEditorOpen, Stage::kEditorClosed,
                                           Stage::kModuleUnloaded, Stage::kBadParentThenUnloaded),
                         StageName);
} // namespace
