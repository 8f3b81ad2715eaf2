#pragma once

#include <thread>
#include <vector>

class LICE_IBitmap;

// Readies image rows on a second thread while the thread that asked draws
// from the same images: the second thread takes them in the reverse of the
// order given, so the two meet in the middle. An image is decoded once, by
// whichever thread reaches it first; the other waits for it
// (resource_bitmap.h). Bitmaps without rows to ready are passed over.
class DecodeAhead
{
public:
  struct ImageRows
  {
    LICE_IBitmap* image;
    int rows;
  };

  DecodeAhead() = default;
  ~DecodeAhead();
  DecodeAhead(const DecodeAhead&) = delete;
  DecodeAhead& operator=(const DecodeAhead&) = delete;

  // Starts readying the images, in draw order, unless a single image leaves
  // nothing to share. The images must outlive Finish. When no thread can be
  // made the drawing thread decodes everything itself.
  void Start(std::vector<ImageRows> images);
  // Waits for the thread started, if any.
  void Finish();

private:
  std::thread mThread;
};
