#include "resources/HelpFiles.h"

// The initializer must be named outside any namespace.
static void RegisterVarnHelp() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(varn_help);
        return true;
    }();
    (void)registered;
}

namespace VarnHelpFiles {

QString Folder() {
    RegisterVarnHelp();
    return QStringLiteral(":/help");
}

} // namespace VarnHelpFiles
