#pragma once

#include <QString>

// The help topics, compiled in as Ukrainian HTML pages under ":/help/". Each
// page names itself in its head: <title>, <meta name="topic-id">, the context
// numbers it answers (<meta name="context">, blank-separated), its index
// keywords (<meta name="keywords">, separated by ";") and the contents heading
// it stands under (<meta name="group">). Pages are listed in the order of
// their file names, which is the order of the contents.
namespace VarnHelpFiles {

// The resource folder holding the pages; registers the resources first, as
// a static library's resources are not registered on their own.
QString Folder();

} // namespace VarnHelpFiles
