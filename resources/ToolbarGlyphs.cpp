#include "resources/ToolbarGlyphs.h"

#include <QFile>

// Resources of a static library are registered only when something refers to
// their initializer, which must be named outside any namespace.
static void RegisterVarnGlyphs() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(varn_glyphs);
        return true;
    }();
    (void)registered;
}

namespace VarnGlyphs {

namespace {

// The system code is always 0 here and every screen this runs on has more
// than 256 colours, which picks the "_XP" set (and "TB_DESKTOPXP") of the
// designed names; the other sets exist only for Windows systems.
const char* const GlyphNames[GlyphCount] = {
    "TB_BY_NAME_AZ_XP",       "TB_BY_NAME_ZA_XP", "TB_NEW_FOLDER_XP", "TB_FAVORITES_XP",
    "TB_ADD_TO_FAVORITES_XP", "TB_WHATS_THIS_XP", "TB_DESKTOPXP",     "TB_BY_TYPE_AZ_XP",
    "TB_BY_TYPE_ZA_XP",       "TB_BY_SIZE_AZ_XP", "TB_BY_SIZE_ZA_XP", "TB_BY_DATE_AZ_XP",
    "TB_BY_DATE_ZA_XP",       "TB_CALC_XP",
};

QString GlyphPath(const QString& name) {
    return QStringLiteral(":/glyphs/") + name + QStringLiteral(".svg");
}

} // namespace

QString GlyphName(int index) {
    if (index < 0 || index >= GlyphCount)
        return {};
    return QString::fromLatin1(GlyphNames[index]);
}

QIcon Glyph(int index) {
    RegisterVarnGlyphs();
    const QString name = GlyphName(index);
    if (name.isEmpty() || !QFile::exists(GlyphPath(name)))
        return {};
    QIcon icon;
    icon.addFile(GlyphPath(name), QSize(), QIcon::Normal);
    icon.addFile(GlyphPath(name + QStringLiteral("_HOT")), QSize(), QIcon::Active);
    return icon;
}

} // namespace VarnGlyphs
