#include "component_handler.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

// A menu with no items whose popup is recorded by its handler.
class RecordingContextMenu : public FObject, public IContextMenu
{
public:
  explicit RecordingContextMenu(ComponentHandler* handler) : mHandler(handler) {}

  int32 PLUGIN_API getItemCount() SMTG_OVERRIDE { return 0; }
  tresult PLUGIN_API getItem(int32, Item&, IContextMenuTarget**) SMTG_OVERRIDE
  {
    return kResultFalse;
  }
  tresult PLUGIN_API addItem(const Item&, IContextMenuTarget*) SMTG_OVERRIDE
  {
    return kResultFalse;
  }
  tresult PLUGIN_API removeItem(const Item&, IContextMenuTarget*) SMTG_OVERRIDE
  {
    return kResultFalse;
  }
  tresult PLUGIN_API popup(UCoord x, UCoord y) SMTG_OVERRIDE
  {
    mHandler->Record({HostEdit::kPopup, 0, 0.0, x, y});
    return kResultOk;
  }

  OBJ_METHODS(RecordingContextMenu, FObject)
  DEFINE_INTERFACES
  DEF_INTERFACE(IContextMenu)
  END_DEFINE_INTERFACES(FObject)
  REFCOUNT_METHODS(FObject)

private:
  IPtr<ComponentHandler> mHandler;
};

} // namespace

std::vector<HostEdit> ComponentHandler::Edits() const
{
  std::lock_guard<std::mutex> lock(mMutex);
  return mEdits;
}

void ComponentHandler::Clear()
{
  std::lock_guard<std::mutex> lock(mMutex);
  mEdits.clear();
}

void ComponentHandler::Record(const HostEdit& edit)
{
  std::lock_guard<std::mutex> lock(mMutex);
  mEdits.push_back(edit);
}

tresult PLUGIN_API ComponentHandler::beginEdit(ParamID id)
{
  Record({HostEdit::kBegin, id, 0.0, 0, 0});
  return kResultOk;
}

tresult PLUGIN_API ComponentHandler::performEdit(ParamID id, ParamValue value)
{
  Record({HostEdit::kPerform, id, value, 0, 0});
  return kResultOk;
}

tresult PLUGIN_API ComponentHandler::endEdit(ParamID id)
{
  Record({HostEdit::kEnd, id, 0.0, 0, 0});
  return kResultOk;
}

tresult PLUGIN_API ComponentHandler::restartComponent(int32 flags)
{
  Record({HostEdit::kRestart, 0, 0.0, flags, 0});
  return kResultOk;
}

IContextMenu* PLUGIN_API ComponentHandler::createContextMenu(IPlugView*, const ParamID* paramID)
{
  Record({HostEdit::kContextMenu, paramID ? *paramID : kNoParamId, 0.0, 0, 0});
  return new RecordingContextMenu(this);
}
