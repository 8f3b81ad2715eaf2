// The interface ids of the host run loop interfaces, which the SDK subset
// declares but defines nowhere.
#include "pluginterfaces/gui/iplugview.h"

namespace Steinberg
{
namespace Linux
{
DEF_CLASS_IID(IEventHandler)
DEF_CLASS_IID(ITimerHandler)
DEF_CLASS_IID(IRunLoop)
} // namespace Linux
} // namespace Steinberg
