#include "font_backend.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <new>
#include <string>

// Off Windows, fonts are FreeType faces found through fontconfig. Their
// glyphs feed the same cache GDI glyphs do; there is no native text path.

namespace
{
struct FreeTypeFont
{
  FT_Face face;
  int ascent;
  int metricHeight;
  FT_Int32 loadTarget;
};

// The library is shared by every face and lives while any face does.
struct FreeTypeLibrary
{
  FT_Library library = nullptr;
  int faces = 0;
};

FreeTypeLibrary& Library()
{
  static FreeTypeLibrary library;
  return library;
}

bool FindFontFile(const LICE_FontDescription& description, std::string& path, int& index)
{
  if (!FcInit()) return false;
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return false;
  const char* family = description.face && *description.face ? description.face : "sans-serif";
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  const int weight = description.weight > 0 ? description.weight : 400;
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(std::min(weight, 1000)));
  FcPatternAddInteger(pattern, FC_SLANT, description.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;
  FcChar8* file = nullptr;
  const bool found = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file;
  if (found)
  {
    path = reinterpret_cast<const char*>(file);
    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
  }
  FcPatternDestroy(match);
  return found;
}

// A positive height is the whole character cell, as with GDI; a negative one
// the em size; 0 the editor's default size.
bool SetPixelSize(FT_Face face, int height)
{
  FT_Size_RequestRec request{};
  request.type = height > 0 ? FT_SIZE_REQUEST_TYPE_CELL : FT_SIZE_REQUEST_TYPE_NOMINAL;
  request.height = FT_Long(height > 0 ? height : (height < 0 ? -height : 12)) * 64;
  if (FT_Request_Size(face, &request) == 0) return true;
  return face->num_fixed_sizes > 0 && FT_Select_Size(face, 0) == 0;
}

FreeTypeFont& FontOf(LICE_FontHandle font)
{
  return *static_cast<FreeTypeFont*>(font);
}

bool LoadGlyph(const FreeTypeFont& font, unsigned short code, FT_Int32 extraFlags)
{
  const FT_UInt index = FT_Get_Char_Index(font.face, code);
  return FT_Load_Glyph(font.face, index, font.loadTarget | extraFlags) == 0;
}
} // namespace

LICE_FontHandle LICE_CreatePlatformFont(const LICE_FontDescription& description)
{
  CriticalSectionLock lock(FontLock());
  std::string path;
  int index = 0;
  if (!FindFontFile(description, path, index)) return nullptr;
  FreeTypeLibrary& shared = Library();
  if (!shared.library && FT_Init_FreeType(&shared.library) != 0)
  {
    shared.library = nullptr;
    return nullptr;
  }
  FT_Face face = nullptr;
  if (FT_New_Face(shared.library, path.c_str(), index, &face) != 0 ||
      !SetPixelSize(face, description.height))
  {
    if (face) FT_Done_Face(face);
    if (shared.faces == 0)
    {
      FT_Done_FreeType(shared.library);
      shared.library = nullptr;
    }
    return nullptr;
  }
  const FT_Size_Metrics& metrics = face->size->metrics;
  const int ascent = int((metrics.ascender + 63) >> 6);
  const int descent = int((-metrics.descender + 63) >> 6);
  const FT_Int32 target = description.quality == 1 ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL;
  auto* font = new (std::nothrow) FreeTypeFont{face, ascent, ascent + descent, target};
  if (!font)
  {
    FT_Done_Face(face);
    return nullptr;
  }
  ++shared.faces;
  return font;
}

void LICE_DestroyPlatformFont(LICE_FontHandle handle)
{
  if (!handle) return;
  CriticalSectionLock lock(FontLock());
  FreeTypeFont* font = static_cast<FreeTypeFont*>(handle);
  FT_Done_Face(font->face);
  delete font;
  FreeTypeLibrary& shared = Library();
  if (--shared.faces == 0)
  {
    FT_Done_FreeType(shared.library);
    shared.library = nullptr;
  }
}

namespace font_backend
{
void PrepareGlyphScratch(LICE_IBitmap&) {}

int MetricHeight(LICE_FontHandle font, LICE_IBitmap&)
{
  return FontOf(font).metricHeight;
}

void MeasureCharacter(LICE_FontHandle handle, LICE_IBitmap&, unsigned short code, int& width,
                      int& height)
{
  const FreeTypeFont& font = FontOf(handle);
  width = 0;
  height = 0;
  if (!LoadGlyph(font, code, FT_LOAD_DEFAULT)) return;
  width = int((font.face->glyph->advance.x + 32) >> 6);
  height = font.metricHeight;
}

void DrawCharacter(LICE_FontHandle handle, LICE_IBitmap& scratch, unsigned short code, int boxWidth,
                   int height)
{
  const FreeTypeFont& font = FontOf(handle);
  if (!LoadGlyph(font, code, FT_LOAD_RENDER)) return;
  const FT_GlyphSlot slot = font.face->glyph;
  const FT_Bitmap& bitmap = slot->bitmap;
  const bool mono = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
  if (!mono && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return;
  const int right = std::min(boxWidth, scratch.Width());
  const int bottom = std::min(height, scratch.Height());
  for (int row = 0; row < int(bitmap.rows); ++row)
  {
    const int y = font.ascent - slot->bitmap_top + row;
    if (y < 0 || y >= bottom) continue;
    const unsigned char* source = bitmap.buffer + std::ptrdiff_t(row) * bitmap.pitch;
    LICE_pixel* pixels = scratch.Bits() + std::ptrdiff_t(y) * scratch.RowSpan();
    for (int column = 0; column < int(bitmap.width); ++column)
    {
      const int x = slot->bitmap_left + column;
      if (x < 0 || x >= right) continue;
      const int level =
          mono ? ((source[column >> 3] >> (7 - (column & 7))) & 1) * 255 : source[column];
      const int lit = std::max(level, LICE_RedOf(pixels[x]));
      pixels[x] = LICE_Rgba(lit, lit, lit, 255);
    }
  }
}

bool WineKeyPresent()
{
  return false;
}

bool DrawNative(const NativeText&, int&)
{
  return false;
}
} // namespace font_backend
