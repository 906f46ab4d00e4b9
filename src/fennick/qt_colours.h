// Between the stored 32-bit colours and Qt's: system colours resolve through the palette, so
// a button left at its defaults follows the desktop's theme.
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

#include "fennick/fennick_export.h"
#include "fennick/ole_color.h"
#include "fennick/property_store.h"

namespace fennick {

FENNICK_EXPORT QColor ResolveColour(OleColor colour, const QPalette& palette);
// An invalid QColor has no stored form; it becomes `fallback`.
FENNICK_EXPORT OleColor ToOleColor(const QColor& colour, OleColor fallback);

FENNICK_EXPORT FontDescription ToFontDescription(const QFont& font);
FENNICK_EXPORT QFont ToQFont(const FontDescription& description);

}  // namespace fennick
