#include "fennick/qt_colours.h"

namespace fennick {

QColor ResolveColour(OleColor colour, const QPalette& palette) {
  if (!IsSystemColour(colour)) {
    return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
  }
  switch (SystemColourIndex(colour)) {
    case 0:  // scroll bars
    case 4:  // menu
    case 15:  // button face
      return palette.color(QPalette::Active, QPalette::Button);
    case 1:  // desktop
    case 12:  // application workspace
      return palette.color(QPalette::Active, QPalette::Dark);
    case 2:  // active title bar
    case 13:  // highlight
      return palette.color(QPalette::Active, QPalette::Highlight);
    case 3:  // inactive title bar
      return palette.color(QPalette::Inactive, QPalette::Highlight);
    case 5:  // window background
      return palette.color(QPalette::Active, QPalette::Base);
    case 6:  // window frame
    case 21:  // 3-D dark shadow
      return palette.color(QPalette::Active, QPalette::Shadow);
    case 7:  // menu text
    case 8:  // window text
      return palette.color(QPalette::Active, QPalette::Text);
    case 9:  // active title text
    case 14:  // highlighted text
      return palette.color(QPalette::Active, QPalette::HighlightedText);
    case 10:  // active border
    case 11:  // inactive border
    case 22:  // 3-D light
      return palette.color(QPalette::Active, QPalette::Midlight);
    case 16:  // button shadow
      return palette.color(QPalette::Active, QPalette::Mid);
    case 17:  // grey text
      return palette.color(QPalette::Disabled, QPalette::Text);
    case 18:  // button text
      return palette.color(QPalette::Active, QPalette::ButtonText);
    case 19:  // inactive title text
      return palette.color(QPalette::Inactive, QPalette::HighlightedText);
    case 20:  // button highlight
      return palette.color(QPalette::Active, QPalette::Light);
    case 23:  // tooltip text
      return palette.color(QPalette::Active, QPalette::ToolTipText);
    case 24:  // tooltip background
      return palette.color(QPalette::Active, QPalette::ToolTipBase);
    default:
      return palette.color(QPalette::Active, QPalette::Button);
  }
}

OleColor ToOleColor(const QColor& colour, OleColor fallback) {
  if (!colour.isValid()) {
    return fallback;
  }
  const QColor rgb = colour.toRgb();
  return RgbColour(rgb.red(), rgb.green(), rgb.blue());
}

FontDescription ToFontDescription(const QFont& font) {
  FontDescription description;
  description.name = font.family().toStdString();
  description.size = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / 96.0;
  description.bold = font.bold();
  description.italic = font.italic();
  description.underline = font.underline();
  description.strikethrough = font.strikeOut();
  return description;
}

QFont ToQFont(const FontDescription& description) {
  QFont font(QString::fromStdString(description.name));
  if (description.size > 0) {
    font.setPointSizeF(description.size);
  }
  font.setBold(description.bold);
  font.setItalic(description.italic);
  font.setUnderline(description.underline);
  font.setStrikeOut(description.strikethrough);
  return font;
}

}  // namespace fennick
