#include "editor_picture.h"

#include "plugin_instance.h"
#include "x11_host_window.h"

#include "lice_bitmap.h"
#include "lice_png.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace
{
// An X server of the tool's own, for machines without a display.
class PrivateXServer
{
public:
  bool Start(std::string* error)
  {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return Fail(error);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The server writes its display number to descriptor 3.
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const char* argv[] = {"Xvfb",         "-displayfd", "3",   "-screen", "0",
                          "1280x1024x24", "-nolisten",  "tcp", nullptr};
    const bool spawned = posix_spawnp(&mPid, "Xvfb", &actions, nullptr,
                                      const_cast<char* const*>(argv), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string number;
    char c = 0;
    while (spawned && read(fds[0], &c, 1) == 1 && c != '\n')
      number += c;
    close(fds[0]);
    if (!spawned || number.empty()) return Fail(error);
    setenv("DISPLAY", (":" + number).c_str(), 1);
    return true;
  }
  ~PrivateXServer()
  {
    if (mPid <= 0) return;
    kill(mPid, SIGTERM);
    waitpid(mPid, nullptr, 0);
  }

private:
  bool Fail(std::string* error)
  {
    *error = "there is no display, and no Xvfb could be started (install the xvfb package)";
    return false;
  }
  pid_t mPid = -1;
};

bool LooksPainted(const std::vector<uint32_t>& pixels)
{
  constexpr size_t kPaintedColours = 16;
  std::vector<uint32_t> seen;
  for (size_t i = 0; i < pixels.size() && seen.size() < kPaintedColours; i += 97)
    if (std::find(seen.begin(), seen.end(), pixels[i]) == seen.end()) seen.push_back(pixels[i]);
  return seen.size() >= kPaintedColours;
}
} // namespace

bool SaveEditorPicture(PluginInstance& plugin, const std::string& path, std::string* error)
{
  int width = 0;
  int height = 0;
  if (!plugin.EditorSize(width, height))
  {
    *error = "the plug-in has no editor";
    return false;
  }
  PrivateXServer server;
  const char* display = std::getenv("DISPLAY");
  if ((!display || !*display) && !server.Start(error)) return false;
  X11HostWindow host(width, height);
  if (!host.Valid())
  {
    *error = "the display cannot be opened";
    return false;
  }
  if (!plugin.OpenEditor(host.Handle()) || host.Children().empty())
  {
    *error = "the plug-in's editor did not open";
    return false;
  }
  const Window editor = host.Children().front();
  // Painted once two looks a timer period apart agree and show the many
  // colours of the editor's images, not the few of a window the editor has
  // not finished painting (a slow machine can take seconds for its first
  // paint).
  std::vector<uint32_t> shown;
  std::vector<uint32_t> previous;
  int shownWidth = 0;
  int shownHeight = 0;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  do
  {
    previous = shown;
    for (int i = 0; i < 10; ++i)
    {
      plugin.IdleEditor();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    shown = host.ReadBack(editor, shownWidth, shownHeight);
  } while ((shown.empty() || shown != previous || !LooksPainted(shown)) &&
           std::chrono::steady_clock::now() < end);
  plugin.CloseEditor();

  LICE_MemBitmap picture(shownWidth, shownHeight);
  if (shown.empty() || !picture.Bits())
  {
    *error = "the editor's window could not be read";
    return false;
  }
  for (int y = 0; y < shownHeight; ++y)
    for (int x = 0; x < shownWidth; ++x)
      picture.Bits()[y * picture.RowSpan() + x] = 0xFF000000u | shown[size_t(y * shownWidth + x)];
  if (!SavePng(&picture, path.c_str()))
  {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}
