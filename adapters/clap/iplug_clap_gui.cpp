// clap.gui: the editor embedded in a host window of this platform's API
// ("x11" on Linux, "win32" on Windows), never floating, at the layout the
// host's scale picks. Main thread.

#include "iplug_clap.h"

#include "graphics.h"

#include <cmath>
#include <cstring>

namespace
{
bool IsOurApi(const char* api, bool isFloating)
{
  return api && !isFloating && std::strcmp(api, IPlugCLAP::GuiApi()) == 0;
}

bool EditorIsApiSupported(const clap_plugin_t* plugin, const char* api, bool isFloating)
{
  return IPlugCLAP::From(plugin)->Graphics() && IsOurApi(api, isFloating);
}

bool EditorPreferredApi(const clap_plugin_t*, const char** api, bool* isFloating)
{
  if (!api || !isFloating) return false;
  *api = IPlugCLAP::GuiApi();
  *isFloating = false;
  return true;
}

bool EditorCreate(const clap_plugin_t* plugin, const char* api, bool isFloating)
{
  return IPlugCLAP::From(plugin)->GuiCreate(api, isFloating);
}

void EditorDestroy(const clap_plugin_t* plugin)
{
  IPlugCLAP::From(plugin)->GuiDestroy();
}

bool EditorSetScale(const clap_plugin_t* plugin, double scale)
{
  if (!std::isfinite(scale) || scale <= 0.0) return false;
  return IPlugCLAP::From(plugin)->SetEditorContentScale(scale);
}

bool EditorSize(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height)
{
  IGraphics* graphics = IPlugCLAP::From(plugin)->Graphics();
  if (!graphics || !width || !height) return false;
  *width = static_cast<uint32_t>(graphics->Width());
  *height = static_cast<uint32_t>(graphics->Height());
  return true;
}

bool EditorCanResize(const clap_plugin_t*)
{
  return false;
}

bool EditorResizeHints(const clap_plugin_t*, clap_gui_resize_hints_t*)
{
  return false;
}

bool EditorAdjustSize(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height)
{
  return EditorSize(plugin, width, height);
}

// The editor has one size per layout: only that size is accepted.
bool EditorSetSize(const clap_plugin_t* plugin, uint32_t width, uint32_t height)
{
  uint32_t currentWidth = 0;
  uint32_t currentHeight = 0;
  return EditorSize(plugin, &currentWidth, &currentHeight) && width == currentWidth &&
         height == currentHeight;
}

bool EditorSetParent(const clap_plugin_t* plugin, const clap_window_t* window)
{
  return IPlugCLAP::From(plugin)->GuiSetParent(window);
}

// Floating windows only.
bool EditorSetTransient(const clap_plugin_t*, const clap_window_t*)
{
  return false;
}

void EditorSuggestTitle(const clap_plugin_t*, const char*) {}

bool EditorShow(const clap_plugin_t* plugin)
{
  return IPlugCLAP::From(plugin)->GuiShow(true);
}

bool EditorHide(const clap_plugin_t* plugin)
{
  return IPlugCLAP::From(plugin)->GuiShow(false);
}
} // namespace

const clap_plugin_gui_t IPlugCLAP::kGuiExtension = {
    EditorIsApiSupported, EditorPreferredApi, EditorCreate,       EditorDestroy,    EditorSetScale,
    EditorSize,           EditorCanResize,    EditorResizeHints,  EditorAdjustSize, EditorSetSize,
    EditorSetParent,      EditorSetTransient, EditorSuggestTitle, EditorShow,       EditorHide};

const clap_plugin_timer_support_t IPlugCLAP::kTimerSupportExtension = {
    [](const clap_plugin_t* plugin, clap_id timerId)
    { IPlugCLAP::From(plugin)->OnTimer(timerId); }};

const clap_plugin_posix_fd_support_t IPlugCLAP::kPosixFdSupportExtension = {
    [](const clap_plugin_t* plugin, int fd, uint32_t flags)
    { IPlugCLAP::From(plugin)->OnFd(fd, flags); }};

bool IPlugCLAP::GuiCreate(const char* api, bool isFloating)
{
  if (mGuiCreated || !Graphics() || !IsOurApi(api, isFloating)) return false;
  mGuiCreated = true;
  mGuiVisible = false;
  return true;
}

void IPlugCLAP::GuiDestroy()
{
  if (!mGuiCreated) return;
  StopEditorEvents();
  IGraphics* graphics = Graphics();
  if (graphics && graphics->WindowIsOpen())
  {
    OnEditorClose();
    graphics->CloseEditorWindow();
  }
  mGuiCreated = false;
  mGuiVisible = false;
}

bool IPlugCLAP::GuiSetParent(const clap_window_t* window)
{
  IGraphics* graphics = Graphics();
  if (!mGuiCreated || !graphics || !window || !window->api ||
      std::strcmp(window->api, GuiApi()) != 0 || graphics->WindowIsOpen())
    return false;
  void* parent = ParentHandle(*window);
  // A host must not believe an editor shows when none does.
  if (!parent || !graphics->OpenEditorWindow(parent)) return false;
  OnEditorOpen();
  StartEditorEvents();
  mGuiVisible = true;
  return true;
}

bool IPlugCLAP::GuiShow(bool visible)
{
  if (!mGuiCreated) return false;
  mGuiVisible = visible;
  return true;
}
