#include "decode_ahead.h"

#include "lice_bitmap.h"

#include <system_error>
#include <utility>

DecodeAhead::~DecodeAhead()
{
  Finish();
}

void DecodeAhead::Start(std::vector<ImageRows> images)
{
  Finish();
  if (images.size() < 2) return;
  try
  {
    mThread = std::thread(
        [images = std::move(images)]
        {
          for (auto image = images.rbegin(); image != images.rend(); ++image)
          {
            LICE_RowsReady ready{image->rows, nullptr, 0};
            image->image->Extended(LICE_EXT_ROWS_READY, &ready);
          }
        });
  }
  catch (const std::system_error&)
  {
  }
}

void DecodeAhead::Finish()
{
  if (mThread.joinable()) mThread.join();
}
