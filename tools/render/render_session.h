#pragma once

#include "plugin_instance.h"
#include "render_events.h"

#include <string>
#include <vector>

// Plays the events (sorted with SortEvents) through the plug-in and returns
// totalFrames of stereo sound. Blocks are cut at every event's frame, so an
// event takes effect at its own sample even in a plug-in that applies a
// block's events before rendering the block. Events at or after totalFrames
// are not played; messages the plug-in's format cannot carry are counted in
// *undelivered. False with a sentence in *error when the plug-in fails.
bool RenderSound(PluginInstance& plugin, const std::vector<RenderEvent>& events,
                 int64_t totalFrames, int maxBlockFrames, double tempo,
                 std::vector<std::vector<double>>* channels, int* undelivered, std::string* error);
