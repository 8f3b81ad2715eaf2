#pragma once

// A small libpng writer for test images in every colour type and depth,
// independent of the raster layer's own encoder.

#include <png.h>
#include <zlib.h>

#include <vector>

struct TestPng
{
  int width = 0;
  int height = 0;
  int colourType = PNG_COLOR_TYPE_RGB_ALPHA;
  int bitDepth = 8;
  bool interlaced = false;
  std::vector<std::vector<unsigned char>> rows; // packed samples as PNG stores them
  std::vector<png_color> palette;
  std::vector<unsigned char> transparency; // tRNS alpha per palette entry
};

namespace test_png_detail
{
inline void Append(png_structp png, png_bytep data, png_size_t count)
{
  auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + count);
}
inline void NoFlush(png_structp) {}

struct Writing
{
  png_structp png;
  png_infop info;
  const TestPng* image;
  std::vector<unsigned char>* out;
  png_bytep* rows;
};

inline bool WriteAll(Writing& w)
{
  if (setjmp(png_jmpbuf(w.png))) return false;
  const TestPng& image = *w.image;
  png_set_write_fn(w.png, w.out, Append, NoFlush);
  png_set_IHDR(w.png, w.info, image.width, image.height, image.bitDepth, image.colourType,
               image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!image.palette.empty())
    png_set_PLTE(w.png, w.info, image.palette.data(), int(image.palette.size()));
  if (!image.transparency.empty())
    png_set_tRNS(w.png, w.info, image.transparency.data(), int(image.transparency.size()), nullptr);
  png_write_info(w.png, w.info);
  png_write_image(w.png, w.rows);
  png_write_end(w.png, nullptr);
  return true;
}
} // namespace test_png_detail

// The encoded file, or empty when libpng refused the description.
inline std::vector<unsigned char> EncodeTestPng(const TestPng& image)
{
  std::vector<unsigned char> out;
  std::vector<png_bytep> rows;
  for (const auto& row : image.rows)
    rows.push_back(const_cast<png_bytep>(row.data()));
  test_png_detail::Writing w{nullptr, nullptr, &image, &out, rows.data()};
  w.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  w.info = png_create_info_struct(w.png);
  const bool ok = test_png_detail::WriteAll(w);
  png_destroy_write_struct(&w.png, &w.info);
  if (!ok) out.clear();
  return out;
}
