// X errors on a host's own display connection reach the host's handler
// whatever the VST2 plug-in's editor did, also once the module is unloaded.
// Each case runs in a child process: the fault is a crash.

// GoogleTest first: Xlib's macros (Bool, None, Status) would rename its code.
#include <gtest/gtest.h>

#include "vst2_test_host.h"
#include "x11_host_window.h"

#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>

namespace
{
constexpr XID kMissingWindow = 0x7ffffff0;

int sHostErrors = 0;
XID sLastErrorResource = 0;

int HostErrorHandler(Display*, XErrorEvent* error)
{
  ++sHostErrors;
  sLastErrorResource = error->resourceid;
  return 0;
}

// 0 when the host's handler saw its own error (a request on a window that
// does not exist) and nothing else; other exit codes say what went wrong.
int HostSession(bool badParent, bool errorWhileOpen)
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
  if (!window.Valid() || !effect) return 10;
  void* parent = badParent ? reinterpret_cast<void*>(kMissingWindow) : window.Handle();
  if ((host->Dispatch(effect, effEditOpen, 0, 0, parent) == 1) == badParent) return 11;
  for (int i = 0; i < 10; ++i)
    host->Dispatch(effect, effEditIdle);
  if (errorWhileOpen) hostError();
  host->Dispatch(effect, effEditClose);
  host.reset();
  if (!errorWhileOpen)
  {
    // Still loaded, the case would prove nothing.
    if (dlopen(THUDWERK_VST2_PLUGIN_PATH, RTLD_NOW | RTLD_NOLOAD)) return 12;
    hostError();
  }
  return sHostErrors == 1 && sLastErrorResource == kMissingWindow ? 0 : 13;
}
} // namespace

TEST(HostErrorAfterEditor, ReachesTheHostsHandlerAndTheHostSurvives)
{
  const struct
  {
    const char* name;
    bool badParent;
    bool errorWhileOpen;
  } cases[] = {{"editor open", false, true},
               {"module unloaded", false, false},
               {"bad parent, module unloaded", true, false}};
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.name);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(HostSession(c.badParent, c.errorWhileOpen));
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
}
