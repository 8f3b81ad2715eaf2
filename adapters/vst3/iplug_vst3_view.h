#pragma once

#include "public.sdk/source/common/pluginview.h"

class IPlugVST3;

// The editor view a VST 3 host opens: it places the plug-in's editor in the
// host's window and reports its size. The view holds a counted reference to
// its plug-in for as long as it exists and sits in the plug-in's view list.
//
// Threads: the host's user-interface thread only.
class IPlugVST3View : public Steinberg::CPluginView
{
public:
  explicit IPlugVST3View(IPlugVST3* plug);
  ~IPlugVST3View() override;

  // kResultOk for this platform's window type when there is an editor
  // ("HWND" on Windows; no type elsewhere yet).
  Steinberg::tresult PLUGIN_API isPlatformTypeSupported(Steinberg::FIDString type) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API attached(void* parent, Steinberg::FIDString type) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API removed() SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getSize(Steinberg::ViewRect* size) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API onSize(Steinberg::ViewRect* newSize) SMTG_OVERRIDE;

  // Asks the host frame to resize the view to {0, 0, width, height}; the
  // host's following onSize tells the plug-in.
  void RequestResize(int width, int height);

  Steinberg::IPlugFrame* Frame() const { return plugFrame; }

private:
  IPlugVST3* mPlug;
  bool mResizePending = false;
};

// The window type the editor can open in on this platform, or null
// (iplug_vst3_view_win.cpp, iplug_vst3_view_posix.cpp).
const char* EditorPlatformType();
