#include "resources/Icons.h"

#include <QFile>

// Resources of a static library are registered only when something refers to
// their initializer, which must be named outside any namespace.
static void RegisterVarnIcons() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(varn_icons);
        return true;
    }();
    (void)registered;
}

namespace VarnIcons {

const QStringList& Names() {
    // The table's order, which is not alphabetical: VRN comes before DOS.
    static const QStringList names = {
        QStringLiteral("MAINICON"),          QStringLiteral("MAINICON000"),
        QStringLiteral("MAINICON001"),       QStringLiteral("MAINICON002"),
        QStringLiteral("MAINICON003"),       QStringLiteral("MAINICONVRN"),
        QStringLiteral("MAINICONDOS"),       QStringLiteral("MAINICONWSP"),
        QStringLiteral("MAINICONZCALC"),     QStringLiteral("MAINICONZCALCXP"),
        QStringLiteral("MAINICONZDISK"),     QStringLiteral("MAINICONZDISKXP"),
        QStringLiteral("MAINICONZFAV"),      QStringLiteral("MAINICONZFAVXP"),
        QStringLiteral("MAINICONZSETTINGS"), QStringLiteral("MAINICONZSETTINGSXP"),
        QStringLiteral("MAINICONZVIEW"),     QStringLiteral("MAINICONZVIEWXP"),
    };
    return names;
}

QString ResourcePath(const QString& name) {
    RegisterVarnIcons();
    return QStringLiteral(":/icons/") + name + QStringLiteral(".svg");
}

QByteArray SvgData(const QString& name) {
    QFile file(ResourcePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QIcon Icon(const QString& name) {
    const QString path = ResourcePath(name);
    if (!QFile::exists(path))
        return {};
    return QIcon(path);
}

} // namespace VarnIcons
