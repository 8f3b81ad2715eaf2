#pragma once

// The instrument linked into the thread test with the headless editor, in
// the format of the program (one program per format: the instrument class
// is compiled once for each adapter).

#include "headless/graphics_headless.h"
#include "stress_sessions.h"

#include <memory>

std::unique_ptr<StressSession> OpenThreadedPlugin(bool singlePrecision);
IGraphicsHeadless* EditorOf(StressSession& session);
