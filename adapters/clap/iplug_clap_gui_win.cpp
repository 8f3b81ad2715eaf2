#include "iplug_clap.h"

// The window's own timer and messages drive the Win32 editor.
struct IPlugCLAP::EditorEvents
{
};

const char* IPlugCLAP::GuiApi()
{
  return kClapWindowApiWin32;
}

void* IPlugCLAP::ParentHandle(const clap_window_t& window)
{
  return window.win32;
}

void IPlugCLAP::StartEditorEvents() {}

void IPlugCLAP::StopEditorEvents() {}

void IPlugCLAP::OnTimer(clap_id) {}

void IPlugCLAP::OnFd(int, uint32_t) {}
