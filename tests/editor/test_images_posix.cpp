#include "test_images.h"

#include "embedded_png.h"

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{
std::vector<unsigned char> ReadImage(const char* name)
{
  std::ifstream file(std::string(THUDWERK_EDITOR_TEST_IMAGES) + "/" + name, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(file),
                                    std::istreambuf_iterator<char>());
}
} // namespace

void* TestImageModule()
{
  static const std::vector<unsigned char> strip = ReadImage("strip.png");
  static const std::vector<unsigned char> background = ReadImage("background.png");
  static const std::vector<unsigned char> badge = ReadImage("badge.png");
  static const EmbeddedPng entries[] = {{kStripId, strip.data(), strip.size()},
                                        {kBackgroundId, background.data(), background.size()},
                                        {kBadgeId, badge.data(), badge.size()}};
  static EmbeddedPngTable table{entries, 3};
  return &table;
}
