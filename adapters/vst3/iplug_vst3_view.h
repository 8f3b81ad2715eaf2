#pragma once

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "public.sdk/source/common/pluginview.h"

class IPlugVST3;

// The editor view a VST 3 host opens: it places the plug-in's editor in the
// host's window and reports its size. The view holds a counted reference to
// its plug-in for as long as it exists and sits in the plug-in's view list.
//
// Threads: the host's user-interface thread only.
class IPlugVST3View : public Steinberg::CPluginView, public Steinberg::IPlugViewContentScaleSupport
{
public:
  explicit IPlugVST3View(IPlugVST3* plug);
  ~IPlugVST3View() override;

  // kResultOk for this platform's window type when there is an editor
  // ("HWND" on Windows, "X11EmbedWindowID" on Linux).
  Steinberg::tresult PLUGIN_API isPlatformTypeSupported(Steinberg::FIDString type) SMTG_OVERRIDE;
  // kResultFalse, creating nothing, for another window type or a parent
  // the editor cannot open in.
  Steinberg::tresult PLUGIN_API attached(void* parent, Steinberg::FIDString type) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API removed() SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getSize(Steinberg::ViewRect* size) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API onSize(Steinberg::ViewRect* newSize) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API setFrame(Steinberg::IPlugFrame* frame) SMTG_OVERRIDE;

  // The plug-in picks the editor layout for the host's content scale and,
  // when its size changes, asks the host frame to resize the view.
  // kResultFalse, changing nothing, for a factor that is not finite or not
  // positive, and when the plug-in does not follow the scale.
  Steinberg::tresult PLUGIN_API setContentScaleFactor(ScaleFactor factor) SMTG_OVERRIDE;

  // Asks the host frame to resize the view to {0, 0, width, height}; the
  // host's following onSize tells the plug-in.
  void RequestResize(int width, int height);

  Steinberg::IPlugFrame* Frame() const { return plugFrame; }

  OBJ_METHODS(IPlugVST3View, CPluginView)
  DEFINE_INTERFACES
  DEF_INTERFACE(Steinberg::IPlugViewContentScaleSupport)
  END_DEFINE_INTERFACES(CPluginView)
  REFCOUNT_METHODS(CPluginView)

private:
  // What keeps an open editor's events and timer running where the window
  // system does not (iplug_vst3_view_win.cpp, iplug_vst3_view_posix.cpp):
  // started once the window is open, again when the frame changes, and
  // stopped before the window closes.
  struct EventPlumbing;
  void StartEvents();
  void StopEvents();

  // Owned; made and deleted by the platform file.
  EventPlumbing* mEvents = nullptr;
  IPlugVST3* mPlug;
  bool mResizePending = false;
};

// The window type the editor can open in on this platform, or null
// (iplug_vst3_view_win.cpp, iplug_vst3_view_posix.cpp).
const char* EditorPlatformType();
