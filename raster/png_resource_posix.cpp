#include "embedded_png.h"
#include "png_resource_bytes.h"

const EmbeddedPng* FindEmbeddedPng(const EmbeddedPngTable* table, int id)
{
  if (!table || !table->entries) return nullptr;
  for (std::size_t i = 0; i < table->count; ++i)
    if (table->entries[i].id == id) return &table->entries[i];
  return nullptr;
}

PngResourceBytes FindPngResourceBytes(const void* module, int id)
{
  const EmbeddedPng* image = FindEmbeddedPng(static_cast<const EmbeddedPngTable*>(module), id);
  if (!image) return PngResourceBytes();
  return {image->bytes, image->size};
}
