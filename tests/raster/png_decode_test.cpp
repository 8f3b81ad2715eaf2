#include "lice_png.h"
#include "png_test_encoder.h"
#include "raster_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <random>

namespace
{
std::unique_ptr<LICE_IBitmap> Decode(const std::vector<unsigned char>& bytes)
{
  return std::unique_ptr<LICE_IBitmap>(LoadPngFromMemory(bytes.data(), bytes.size()));
}

// An 8-bit RGBA image whose pixels come from fn(x, y) -> 0xAARRGGBB.
template <typename Fn>
TestPng RgbaImage(int width, int height, Fn fn)
{
  TestPng image;
  image.width = width;
  image.height = height;
  for (int y = 0; y < height; ++y)
  {
    std::vector<unsigned char> row;
    for (int x = 0; x < width; ++x)
    {
      const LICE_pixel p = fn(x, y);
      row.insert(row.end(), {(unsigned char)LICE_RedOf(p), (unsigned char)LICE_GreenOf(p),
                             (unsigned char)LICE_BlueOf(p), (unsigned char)LICE_AlphaOf(p)});
    }
    image.rows.push_back(row);
  }
  return image;
}

LICE_pixel Pattern(int x, int y)
{
  return LICE_Rgba(x * 7, y * 3, (x ^ y) & 0xFF, 255 - x);
}
} // namespace

TEST(PngDecode, OneBitGreyIsOpaqueBlackAndWhite)
{
  TestPng image;
  image.width = 10;
  image.height = 2;
  image.colourType = PNG_COLOR_TYPE_GRAY;
  image.bitDepth = 1;
  image.rows = {{0xA5, 0x80}, {0x0F, 0x40}}; // 10 bits per row, MSB first
  auto bitmap = Decode(EncodeTestPng(image));
  ASSERT_TRUE(bitmap);
  ASSERT_EQ(bitmap->Width(), 10);
  ASSERT_EQ(bitmap->Height(), 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 10; ++x)
    {
      const bool white = (image.rows[y][x / 8] >> (7 - x % 8)) & 1;
      EXPECT_EQ(PixelAt(*bitmap, x, y), white ? 0xFFFFFFFFu : 0xFF000000u) << x << "," << y;
    }
}

TEST(PngDecode, PaletteWithTransparencyGivesThePaletteAlpha)
{
  TestPng image;
  image.width = 4;
  image.height = 1;
  image.colourType = PNG_COLOR_TYPE_PALETTE;
  image.bitDepth = 4;
  image.palette = {{10, 20, 30}, {200, 100, 50}, {1, 2, 3}, {255, 255, 0}};
  image.transparency = {0, 128, 255}; // the fourth entry has none: opaque
  image.rows = {{0x01, 0x23}};
  auto bitmap = Decode(EncodeTestPng(image));
  ASSERT_TRUE(bitmap);
  const int alphas[] = {0, 128, 255, 255};
  for (int x = 0; x < 4; ++x)
  {
    const png_color& c = image.palette[x];
    EXPECT_EQ(PixelAt(*bitmap, x, 0), LICE_Rgba(c.red, c.green, c.blue, alphas[x])) << x;
  }
}

TEST(PngDecode, SixteenBitRgbaKeepsTheHighBytes)
{
  TestPng image;
  image.width = 2;
  image.height = 1;
  image.bitDepth = 16;
  image.rows = {{0x12, 0xFF, 0x34, 0x01, 0x56, 0x80, 0x78, 0x7F, //
                 0xFE, 0x00, 0x00, 0xFF, 0x80, 0x80, 0x01, 0x02}};
  auto bitmap = Decode(EncodeTestPng(image));
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(PixelAt(*bitmap, 0, 0), LICE_Rgba(0x12, 0x34, 0x56, 0x78));
  EXPECT_EQ(PixelAt(*bitmap, 1, 0), LICE_Rgba(0xFE, 0x00, 0x80, 0x01));
}

TEST(PngDecode, GreyWithAlphaAndPlainRgb)
{
  TestPng grey;
  grey.width = 2;
  grey.height = 1;
  grey.colourType = PNG_COLOR_TYPE_GRAY_ALPHA;
  grey.rows = {{40, 200, 250, 3}};
  auto greyBitmap = Decode(EncodeTestPng(grey));
  ASSERT_TRUE(greyBitmap);
  EXPECT_EQ(PixelAt(*greyBitmap, 0, 0), LICE_Rgba(40, 40, 40, 200));
  EXPECT_EQ(PixelAt(*greyBitmap, 1, 0), LICE_Rgba(250, 250, 250, 3));

  TestPng rgb;
  rgb.width = 1;
  rgb.height = 1;
  rgb.colourType = PNG_COLOR_TYPE_RGB;
  rgb.rows = {{9, 8, 7}};
  auto rgbBitmap = Decode(EncodeTestPng(rgb));
  ASSERT_TRUE(rgbBitmap);
  EXPECT_EQ(PixelAt(*rgbBitmap, 0, 0), LICE_Rgba(9, 8, 7, 255));
}

TEST(PngDecode, InterlacedRgbaMatchesItsPixels)
{
  TestPng image = RgbaImage(13, 9, Pattern);
  image.interlaced = true;
  auto bitmap = Decode(EncodeTestPng(image));
  ASSERT_TRUE(bitmap);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 13; ++x)
      ASSERT_EQ(PixelAt(*bitmap, x, y), Pattern(x, y)) << x << "," << y;
}

TEST(PngDecode, KnobStripFramesAreFortyRowsApart)
{
  // 99 frames of 40 x 40; frame k (from 1) is tinted with k in its red channel.
  auto bitmap = Decode(EncodeTestPng(
      RgbaImage(40, 3960, [](int x, int y) { return LICE_Rgba(y / 40 + 1, x, y % 40, 255); })));
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(bitmap->RowSpan(), 40);
  for (int k = 1; k <= 99; ++k)
  {
    const int top = 40 * (k - 1);
    EXPECT_EQ(LICE_RedOf(PixelAt(*bitmap, 5, top)), k);
    EXPECT_EQ(LICE_BlueOf(PixelAt(*bitmap, 5, top)), 0);
  }
}

TEST(PngDecode, RejectsWhatIsNotAPng)
{
  const std::vector<unsigned char> png = EncodeTestPng(RgbaImage(3, 3, Pattern));
  ASSERT_FALSE(png.empty());
  EXPECT_EQ(LoadPngFromMemory(nullptr, 100), nullptr);
  EXPECT_EQ(LoadPngFromMemory(png.data(), 7), nullptr);
  std::vector<unsigned char> badSignature = png;
  badSignature[1] = 'Q';
  EXPECT_EQ(Decode(badSignature), nullptr);
}

TEST(PngDecode, TruncatedDataFailsCleanly)
{
  const std::vector<unsigned char> png = EncodeTestPng(RgbaImage(17, 11, Pattern));
  ASSERT_TRUE(Decode(png));
  // Every cut, from just past the signature to one byte short of the end.
  for (std::size_t length = 8; length < png.size(); ++length)
  {
    std::unique_ptr<LICE_IBitmap> bitmap(LoadPngFromMemory(png.data(), length));
    EXPECT_EQ(bitmap, nullptr) << "cut at " << length << " of " << png.size();
  }
}

TEST(PngDecode, CorruptedBytesFailThroughTheChecksums)
{
  const std::vector<unsigned char> png = EncodeTestPng(RgbaImage(17, 11, Pattern));
  // Past the signature and the header chunk (8 + 25 bytes), any changed byte
  // breaks a chunk's checksum, length or type.
  for (std::size_t position = 33; position < png.size(); position += 3)
  {
    std::vector<unsigned char> corrupt = png;
    corrupt[position] ^= 0x5A;
    EXPECT_EQ(Decode(corrupt), nullptr) << "byte " << position;
  }
}

TEST(PngDecode, RefusesImagesAboveTheSideLimit)
{
  auto wide = [](int width)
  {
    TestPng image;
    image.width = width;
    image.height = 1;
    image.colourType = PNG_COLOR_TYPE_GRAY;
    image.rows = {std::vector<unsigned char>(std::size_t(width), 0x80)};
    return EncodeTestPng(image);
  };
  const auto atLimit = wide(kPngMaxSide);
  ASSERT_FALSE(atLimit.empty());
  auto bitmap = Decode(atLimit);
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(bitmap->Width(), kPngMaxSide);
  EXPECT_EQ(PixelAt(*bitmap, kPngMaxSide - 1, 0), 0xFF808080u);

  const auto aboveLimit = wide(kPngMaxSide + 1);
  ASSERT_FALSE(aboveLimit.empty());
  EXPECT_EQ(Decode(aboveLimit), nullptr);
}

TEST(PngDecode, RefusesAHeaderWhoseSizeWouldOverflow)
{
  // A valid header chunk claiming 2^31 - 1 square pixels, then nothing.
  std::vector<unsigned char> png = EncodeTestPng(RgbaImage(1, 1, Pattern));
  for (int i = 16; i < 24; ++i) // width and height fields of the header
    png[i] = (i % 4 == 0) ? 0x7F : 0xFF;
  const unsigned long crc = crc32(crc32(0, nullptr, 0), png.data() + 12, 17);
  for (int i = 0; i < 4; ++i)
    png[29 + i] = static_cast<unsigned char>(crc >> (24 - 8 * i));
  EXPECT_EQ(Decode(png), nullptr);
}

namespace
{
// The filter byte that starts each row of the image data.
std::vector<unsigned char> RowFilters(const std::vector<unsigned char>& png, int width, int height)
{
  std::vector<unsigned char> compressed;
  for (std::size_t at = 8; at + 12 <= png.size();)
  {
    const std::size_t length = std::size_t(png[at]) << 24 | std::size_t(png[at + 1]) << 16 |
                               std::size_t(png[at + 2]) << 8 | png[at + 3];
    if (std::memcmp(&png[at + 4], "IDAT", 4) == 0)
      compressed.insert(compressed.end(), png.begin() + long(at + 8),
                        png.begin() + long(at + 8 + length));
    at += length + 12;
  }
  const std::size_t stride = std::size_t(width) * 4 + 1;
  std::vector<unsigned char> rows(stride * std::size_t(height));
  uLongf size = uLongf(rows.size());
  EXPECT_EQ(uncompress(rows.data(), &size, compressed.data(), uLong(compressed.size())), Z_OK);
  std::vector<unsigned char> filters;
  for (int y = 0; y < height; ++y)
    filters.push_back(rows[stride * std::size_t(y)]);
  return filters;
}
} // namespace

TEST(PngEncode, RoundTripsThroughTheDecoderAndStoresFastRowsUnfiltered)
{
  LICE_MemBitmap bitmap(23, 5);
  FillRandom(bitmap, 555);
  for (PngRows rows : {PngRows::kSmallest, PngRows::kFastToDecode})
  {
    std::vector<unsigned char> bytes;
    ASSERT_TRUE(EncodePng(&bitmap, bytes, rows));
    auto decoded = Decode(bytes);
    ASSERT_TRUE(decoded);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 23; ++x)
        ASSERT_EQ(PixelAt(*decoded, x, y), PixelAt(bitmap, x, y));
    if (rows == PngRows::kFastToDecode)
    {
      EXPECT_EQ(RowFilters(bytes, 23, 5), std::vector<unsigned char>(5, 0));
    }
  }

  std::vector<unsigned char> bytes;
  LICE_MemBitmap empty;
  EXPECT_FALSE(EncodePng(&empty, bytes));
  EXPECT_TRUE(bytes.empty());
  EXPECT_FALSE(EncodePng(nullptr, bytes));
}

TEST(PngEncode, SavesAFileWithTheSameBytes)
{
  LICE_MemBitmap bitmap(6, 4);
  FillRandom(bitmap, 77);
  std::vector<unsigned char> expected;
  ASSERT_TRUE(EncodePng(&bitmap, expected));
  const std::string path = ::testing::TempDir() + "raster_save_test.png";
  ASSERT_TRUE(SavePng(&bitmap, path.c_str()));
  std::FILE* file = std::fopen(path.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  std::vector<unsigned char> read(expected.size() + 16);
  read.resize(std::fread(read.data(), 1, read.size(), file));
  std::fclose(file);
  std::remove(path.c_str());
  EXPECT_EQ(read, expected);
  EXPECT_FALSE(SavePng(&bitmap, (::testing::TempDir() + "no/such/folder/x.png").c_str()));
}
