#pragma once

// A picture of a rendered sound: the waveform of each channel over time, the
// level of both channels in dB and, when asked, a spectrogram, on a dark
// background with labelled axes.

#include "lice_bitmap.h"

#include <memory>
#include <string>
#include <vector>

struct PictureOptions
{
  int width = 1280;
  bool spectrogram = false;
  std::string title;
};

// Where the picture's parts lie, in pixels.
struct PictureLayout
{
  int width;
  int height;
  std::vector<LICE_Rect> waveforms; // one per channel, top to bottom
  LICE_Rect level;                  // the dB envelope of all channels
  LICE_Rect spectrogram;            // empty without a spectrogram
};

// The colour each channel is drawn in (left teal, right amber, …).
LICE_pixel ChannelColour(int channel);

PictureLayout LayOutPicture(int channelCount, const PictureOptions& options);

// Draws the sound; null when there are no channels or no frames.
std::unique_ptr<LICE_MemBitmap> DrawSoundPicture(const std::vector<std::vector<double>>& channels,
                                                 double sampleRate, const PictureOptions& options);

// DrawSoundPicture saved as a PNG file; false with a sentence in *error.
bool SaveSoundPicture(const std::string& path, const std::vector<std::vector<double>>& channels,
                      double sampleRate, const PictureOptions& options, std::string* error);
