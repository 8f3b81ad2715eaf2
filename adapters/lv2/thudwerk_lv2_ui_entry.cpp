// The Thudwerk LV2 UI library: the instrument's X11 editor as a child of
// the host's window. The editor runs on an instance of its own that knows
// the plug-in only through port values, so it also works where the
// plug-in runs in another process. It is driven by the host's idle calls
// alone.

#include "creation_lock.h"
#include "thudwerk.h"
#include "x11/graphics_x11.h"
#include "x11/x11_editor_driver.h"

#include <lv2/ui/ui.h>

#include <cstdint>
#include <cstring>
#include <memory>

namespace
{
struct ThudwerkUi
{
  std::unique_ptr<Thudwerk> plug;
  IGraphicsX11* graphics = nullptr;
  std::unique_ptr<X11EditorDriver> driver;
};

ThudwerkUi* AsUi(LV2UI_Handle handle)
{
  return static_cast<ThudwerkUi*>(handle);
}

void* ParentWindow(const LV2_Feature* const* features)
{
  for (int i = 0; features && features[i]; ++i)
    if (features[i]->URI && std::strcmp(features[i]->URI, LV2_UI__parent) == 0)
      return features[i]->data;
  return nullptr;
}

void Cleanup(LV2UI_Handle handle)
{
  ThudwerkUi* ui = AsUi(handle);
  ui->driver.reset();
  if (ui->graphics && ui->graphics->WindowHandle())
  {
    ui->plug->OnEditorClose();
    ui->graphics->CloseEditorWindow();
  }
  CriticalSectionLock creation(CreationLock());
  delete ui;
}

LV2UI_Handle Instantiate(const LV2UI_Descriptor*, const char*, const char*,
                         LV2UI_Write_Function writePort, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features)
{
  void* parent = ParentWindow(features);
  if (!parent || !writePort || !widget) return nullptr;
  Lv2HostContext context;
  context.features = features;
  context.writePort = writePort;
  context.controller = controller;
  auto ui = std::make_unique<ThudwerkUi>();
  try
  {
    CriticalSectionLock creation(CreationLock());
    ui->plug = std::make_unique<Thudwerk>(&context);
  }
  catch (...)
  {
    return nullptr;
  }
  Thudwerk& plug = *ui->plug;
  // The host's scale picks the layout by the VST 3 rule; without one the
  // editor keeps its normal size.
  if (plug.HostScaleFactor() > 0.0f) plug.SetEditorContentScale(plug.HostScaleFactor());
  ui->graphics = dynamic_cast<IGraphicsX11*>(plug.GetEditor());
  if (!ui->graphics || !ui->graphics->OpenEditorWindow(parent))
  {
    ui->graphics = nullptr;
    Cleanup(ui.release());
    return nullptr;
  }
  plug.OnEditorOpen();
  ui->driver = std::make_unique<X11EditorDriver>(*ui->graphics);
  plug.ResizeEditor(ui->graphics->Width(), ui->graphics->Height());
  *widget = reinterpret_cast<LV2UI_Widget>(ui->graphics->WindowHandle());
  return ui.release();
}

void PortEvent(LV2UI_Handle handle, uint32_t port, uint32_t bufferSize, uint32_t format,
               const void* buffer)
{
  AsUi(handle)->plug->PortEvent(port, bufferSize, format, buffer);
}

int Idle(LV2UI_Handle handle)
{
  ThudwerkUi* ui = AsUi(handle);
  ui->driver->Idle();
  // Presets the editor loaded since: their values go to the host.
  ui->plug->SendPendingHostNotifications();
  return 0;
}

const void* ExtensionData(const char* uri)
{
  static const LV2UI_Idle_Interface idle = {Idle};
  return uri && std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &idle : nullptr;
}

const LV2UI_Descriptor kDescriptor = {kLv2UiUri, Instantiate, Cleanup, PortEvent, ExtensionData};
} // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index)
{
  return index == 0 ? &kDescriptor : nullptr;
}
