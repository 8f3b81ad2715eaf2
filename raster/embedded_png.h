#pragma once

#include <cstddef>

// Images compiled into a module where there are no Windows resources: the
// build generates one table per image set (thudwerk_embed_png_resources in
// cmake/ThudwerkResources.cmake) and the module hands its address to
// LoadPngResource as the module handle.
struct EmbeddedPng
{
  int id;
  const unsigned char* bytes;
  std::size_t size;
};

struct EmbeddedPngTable
{
  const EmbeddedPng* entries;
  std::size_t count;
};

// The entry with the id, or null.
const EmbeddedPng* FindEmbeddedPng(const EmbeddedPngTable* table, int id);
