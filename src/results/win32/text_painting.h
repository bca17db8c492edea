// Painting the report view: the rows the model lays out, with their selected columns in the
// system's highlight colours, on the window's own background.
#pragma once

#include <windows.h>

#include "results/text_view_model.h"

namespace ombrix::results::win32 {

// The view's font, or the system's fixed font while its parent gave none.
HGDIOBJ FontOrDefault(HFONT font);

// Paints the lines of the client area that `area` touches, `width` pixels wide, in the font
// selected into `dc`; lines past the text's end are background.
void PaintLines(HDC dc, const TextViewModel& model, const RECT& area, int width);

}  // namespace ombrix::results::win32
