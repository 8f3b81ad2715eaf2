#include "editor_graphics.h"

#include "embedded_png.h"

// Generated into every module that carries the instrument (see
// thudwerk_add_instrument): the images of that module's scale.
__attribute__((visibility("hidden"))) extern const EmbeddedPngTable ThudwerkEditorImages;

void* EditorImageModule()
{
  return const_cast<EmbeddedPngTable*>(&ThudwerkEditorImages);
}
