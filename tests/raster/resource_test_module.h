#pragma once

// What the platform passes to LoadPngResource for the images the build
// embedded into this test program.
const void* TestImageModule();
// True where resource ids are 16-bit names (Windows).
bool ResourceIdsWrapAt16Bits();
