#pragma once

#include <QByteArray>
#include <QIcon>
#include <QString>
#include <QStringList>

// The program's own icons, compiled in as SVG under ":/icons/<name>.svg" where
// <name> is the designed resource name ("MAINICON", "MAINICON000" ..
// "MAINICON003", "MAINICONVRN", "MAINICONDOS", "MAINICONWSP" and the dialog
// header icons "MAINICONZCALC" .. "MAINICONZVIEWXP"). Look them up through
// these functions, which also make sure the resources are registered when the
// library is linked statically.
namespace VarnIcons {

// The designed names in the fixed resource order: index 0 the application,
// 1-4 the numbered pieces, 5 ".vrn", 6 ".dos", 7 ".wsp", 8-17 dialog headers.
const QStringList& Names();
// ":/icons/<name>.svg"; the name is not checked.
QString ResourcePath(const QString& name);
// The SVG text of a known icon; empty for an unknown name.
QByteArray SvgData(const QString& name);
// A scalable icon; a null icon for an unknown name.
QIcon Icon(const QString& name);

} // namespace VarnIcons
