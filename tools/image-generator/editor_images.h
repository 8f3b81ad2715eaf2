#pragma once

#include "canvas.h"

// Painters of the editor's images. Each draws the whole image into a canvas
// already made at the image's size (design units) and scale.

void DrawBackground(Canvas& canvas);
void DrawHeader(Canvas& canvas);
void DrawRackShadow(Canvas& canvas);
void DrawSynthPanel(Canvas& canvas);

// Filmstrips of 99 frames stacked top to bottom, minimum to maximum.
void DrawRedKnobStrip(Canvas& canvas);
void DrawWhiteKnobStrip(Canvas& canvas);

// Two frames stacked top to bottom: off, on.
void DrawRedSwitch(Canvas& canvas);
void DrawWhiteSwitch(Canvas& canvas);

void DrawBackwardButton(Canvas& canvas);
void DrawForwardButton(Canvas& canvas);
void DrawLoadButton(Canvas& canvas);
void DrawSaveButton(Canvas& canvas);
