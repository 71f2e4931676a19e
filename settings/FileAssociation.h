#pragma once

#include <QString>
#include <QStringList>

class TRegistrySettings;

// Where and for which program the file types are registered. Empty fields
// take the running system's values: the XDG data home, this program's path
// and the PATH the tools are looked up in.
struct TAssociationOptions {
    QString dataHome;
    QString executable;
    QString toolPath;
};

// What a registration did: the files (re)written, as full paths, and the
// desktop database tools that were run.
struct TAssociationReport {
    QStringList filesWritten;
    QStringList toolsRun;
};

// The freedesktop.org names of the registration, relative to the data home.
namespace AssociationFiles {
inline constexpr const char* MimePackage = "mime/packages/varnsplit.xml";
inline constexpr const char* DesktopEntry = "applications/varnsplit.desktop";
inline constexpr const char* MimeIconFolder = "icons/hicolor/scalable/mimetypes";
inline constexpr const char* AppIcon = "icons/hicolor/scalable/apps/varnsplit.svg";
inline constexpr const char* VarnSplitType = "application/varnsplit";
inline constexpr const char* DosPieceType = "application/x-varnsplit-dos";
inline constexpr const char* WspInfoType = "application/x-varnsplit-wsp";
// The numbered pieces cycle through four types: ".NNN" belongs to type
// (NNN mod 4) + 1, whose icon is "MAINICON00" + (NNN mod 4).
QString NumberedPieceType(int cycleIndex); // 1..4
} // namespace AssociationFiles

// The ".vrn" type: its MIME type, type name, icon and the desktop entry that
// opens such a file with this program. Piece types already registered are
// kept. Every file is rewritten only when its content changes; the database
// tools run only after a change and are skipped when not installed. Throws
// ESettingsError when a file cannot be written.
TAssociationReport RegisterFileAssociation(const TAssociationOptions& options = {});
// The start-up step: the ".vrn" type plus the icons of ".dos", ".wsp" and
// ".000" to ".999".
TAssociationReport RestoreFileAssociations(const TAssociationOptions& options = {});
// Runs the start-up step when "RestoreAssociations" is on (its default);
// returns whether it ran.
bool RunAssociationStartupStep(const TRegistrySettings& settings,
                               const TAssociationOptions& options = {});

// The Exec line's command for a program path: the path quoted and escaped as
// the desktop entry format wants it, then the single file argument "%f".
QString DesktopExecCommand(const QString& executable);
