#pragma once

#include <QIcon>
#include <QString>

// The small glyphs of the window's tree headers (the image list `ilSmall`),
// compiled in as SVG under ":/glyphs/<name>.svg" in two states: the plain
// glyph, and "<name>_HOT" for the button under the mouse.
namespace VarnGlyphs {

// The fixed indexes the buttons refer to.
enum TGlyph {
    glByNameAZ = 0,
    glByNameZA = 1,
    glNewFolder = 2,
    glFavorites = 3,
    glAddToFavorites = 4,
    glWhatsThis = 5,
    glDesktop = 6,
    glByTypeAZ = 7,
    glByTypeZA = 8,
    glBySizeAZ = 9,
    glBySizeZA = 10,
    glByDateAZ = 11,
    glByDateZA = 12,
    glCalc = 13,
};
inline constexpr int GlyphCount = 14;

// The resource name of the plain glyph at an index; "" outside the list.
QString GlyphName(int index);
// The glyph with its plain picture as the normal mode and its hot picture as
// the active mode (a flat tool button shows the active mode under the mouse);
// a null icon outside the list.
QIcon Glyph(int index);

} // namespace VarnGlyphs
