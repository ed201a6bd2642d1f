#pragma once
// The main window's bitmaps from the PNG images embedded in the program.
#include "ui/portable/Image32.h"

namespace app {

// Replaces `bitmap` with the PNG image stored as raw-data (RT_RCDATA) resource
// `resourceName` of the program's own module, put on an opaque white ground
// (see LoadPngImage). A missing resource or an image that cannot be decoded
// raises an AppError naming the resource.
void LoadPngResource(ui::Image32& bitmap, const wchar_t* resourceName);

} // namespace app
