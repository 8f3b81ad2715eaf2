#include "render_session.h"

#include <algorithm>

bool RenderSound(PluginInstance& plugin, const std::vector<RenderEvent>& events,
                 int64_t totalFrames, int maxBlockFrames, double tempo,
                 std::vector<std::vector<double>>* channels, int* undelivered, std::string* error)
{
  *undelivered = 0;
  channels->assign(2, std::vector<double>(static_cast<std::size_t>(totalFrames), 0.0));
  std::size_t next = 0;
  int64_t position = 0;
  while (position < totalFrames)
  {
    for (; next < events.size() && events[next].frame <= position; ++next)
    {
      const RenderEvent& event = events[next];
      if (event.kind == RenderEvent::kParameter)
      {
        if (!plugin.SetParameter(event.parameterId, event.value))
        {
          *error = "the plug-in refused a value for parameter " + std::to_string(event.parameterId);
          return false;
        }
      }
      else if (!plugin.QueueMidi(event.status, event.data1, event.data2))
        ++*undelivered;
    }
    int64_t end = std::min<int64_t>(position + maxBlockFrames, totalFrames);
    if (next < events.size()) end = std::min(end, events[next].frame);
    const int frames = int(end - position);
    BlockTransport transport{position, tempo};
    if (!plugin.Process(frames, transport, (*channels)[0].data() + position,
                        (*channels)[1].data() + position, error))
      return false;
    position = end;
  }
  return true;
}
