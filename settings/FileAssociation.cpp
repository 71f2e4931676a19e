#include "settings/FileAssociation.h"

#include "resources/Icons.h"
#include "settings/RegistrySettings.h"
#include "settings/SettingNames.h"
#include "texts/QtTextFormat.h"
#include "texts/Texts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

extern char** environ;

namespace {

struct TIconFile {
    QString iconName; // file name without ".svg", as the MIME package names it
    QString resource; // the designed resource name
};

QString DataHomeOf(const TAssociationOptions& options) {
    if (!options.dataHome.isEmpty())
        return options.dataHome;
    const QString value = qEnvironmentVariable("XDG_DATA_HOME");
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return value;
    return QDir::homePath() + QStringLiteral("/.local/share");
}

QString ExecutableOf(const TAssociationOptions& options) {
    if (!options.executable.isEmpty())
        return options.executable;
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString IconNameOf(const QString& mimeType) {
    QString name = mimeType;
    name.replace(u'/', u'-');
    return name;
}

std::vector<TIconFile> PieceIcons() {
    using namespace AssociationFiles;
    std::vector<TIconFile> icons = {
        {IconNameOf(QString::fromLatin1(DosPieceType)), QStringLiteral("MAINICONDOS")},
        {IconNameOf(QString::fromLatin1(WspInfoType)), QStringLiteral("MAINICONWSP")},
    };
    for (int cycle = 1; cycle <= 4; ++cycle)
        icons.push_back({IconNameOf(NumberedPieceType(cycle)),
                         QStringLiteral("MAINICON00") + QString::number(cycle - 1)});
    return icons;
}

void AppendType(QString& xml, const QString& type, const QString& comment,
                const QStringList& patterns) {
    xml += QStringLiteral("  <mime-type type=\"") + type + QStringLiteral("\">\n");
    if (!comment.isEmpty())
        xml += QStringLiteral("    <comment>") + comment.toHtmlEscaped() +
               QStringLiteral("</comment>\n");
    xml += QStringLiteral("    <icon name=\"") + IconNameOf(type) + QStringLiteral("\"/>\n");
    for (const QString& pattern : patterns)
        xml += QStringLiteral("    <glob pattern=\"") + pattern + QStringLiteral("\"/>\n");
    xml += QStringLiteral("  </mime-type>\n");
}

QByteArray MimePackageText(bool withPieceTypes) {
    using namespace AssociationFiles;
    QString xml =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<mime-info "
                       "xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n");
    AppendType(xml, QString::fromLatin1(VarnSplitType), QString::fromUtf8(Texts::VarnSplitFileType),
               {QStringLiteral("*.vrn")});
    if (withPieceTypes) {
        // Like the piece icons of the design: an icon only, no type name.
        AppendType(xml, QString::fromLatin1(DosPieceType), {}, {QStringLiteral("*.dos")});
        AppendType(xml, QString::fromLatin1(WspInfoType), {}, {QStringLiteral("*.wsp")});
        for (int cycle = 1; cycle <= 4; ++cycle) {
            QStringList patterns;
            for (int number = cycle - 1; number < 1000; number += 4)
                patterns << QStringLiteral("*.%1").arg(number, 3, 10, QLatin1Char('0'));
            AppendType(xml, NumberedPieceType(cycle), {}, patterns);
        }
    }
    xml += QStringLiteral("</mime-info>\n");
    return xml.toUtf8();
}

QByteArray DesktopEntryText(const QString& executable) {
    // NoDisplay: the entry exists to open ".vrn" files, as the file type
    // registration it stands for did; it adds no menu item.
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Varn split\n"
                                        "Icon=varnsplit\n"
                                        "Exec=") +
                         DesktopExecCommand(executable) +
                         QStringLiteral("\n"
                                        "MimeType=application/varnsplit;\n"
                                        "Terminal=false\n"
                                        "NoDisplay=true\n"
                                        "Categories=Utility;\n");
    return text.toUtf8();
}

// The write happens only when the bytes differ, so an unchanged registration
// costs one read per file. A folder that cannot be made skips its file
// silently, as a key that cannot be opened did; a failed write is an error.
void WriteIfChanged(const QString& path, const QByteArray& content, TAssociationReport& report) {
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly)) {
        if (existing.size() == content.size() && existing.readAll() == content)
            return;
        existing.close();
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        throw ESettingsError(
            FormatQText(Texts::AssociationWriteFailed, {path, file.errorString()}));
    report.filesWritten << path;
}

QString FindTool(const QString& name, const QString& searchPath) {
    const QString path = searchPath.isEmpty() ? qEnvironmentVariable("PATH") : searchPath;
    for (const QString& folder : path.split(u':', Qt::SkipEmptyParts)) {
        const QString candidate = folder + u'/' + name;
        if (::access(QFile::encodeName(candidate).constData(), X_OK) == 0 &&
            QFileInfo(candidate).isFile())
            return candidate;
    }
    return {};
}

// The database tools only refresh caches; whether they succeed does not
// change the registration, so their exit status is ignored.
void RunTool(const QString& name, const QString& argument, const QString& searchPath,
             TAssociationReport& report) {
    const QString tool = FindTool(name, searchPath);
    if (tool.isEmpty())
        return;
    const QByteArray toolBytes = QFile::encodeName(tool);
    const QByteArray argumentBytes = QFile::encodeName(argument);
    char* const arguments[] = {const_cast<char*>(toolBytes.constData()),
                               const_cast<char*>(argumentBytes.constData()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, toolBytes.constData(), &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    report.toolsRun << name;
}

TAssociationReport WriteAssociation(const TAssociationOptions& options, bool withPieceIcons) {
    using namespace AssociationFiles;
    TAssociationReport report;
    const QString dataHome = DataHomeOf(options);
    const QString packagePath = dataHome + u'/' + QString::fromLatin1(MimePackage);
    const QString iconFolder = dataHome + u'/' + QString::fromLatin1(MimeIconFolder) + u'/';

    // Registering the ".vrn" type alone must not drop piece types a start-up
    // step registered before.
    bool withPieceTypes = withPieceIcons;
    if (!withPieceTypes) {
        QFile existing(packagePath);
        withPieceTypes = existing.open(QIODevice::ReadOnly) &&
                         existing.readAll().contains(NumberedPieceType(1).toUtf8());
    }

    // The package never changes within a run; building its 1000 globs anew
    // would be most of the cost of a start where nothing changed.
    static const QByteArray packages[2] = {MimePackageText(false), MimePackageText(true)};
    WriteIfChanged(packagePath, packages[withPieceTypes ? 1 : 0], report);
    WriteIfChanged(iconFolder + IconNameOf(QString::fromLatin1(VarnSplitType)) + ".svg",
                   VarnIcons::SvgData(QStringLiteral("MAINICONVRN")), report);
    WriteIfChanged(dataHome + u'/' + QString::fromLatin1(AppIcon),
                   VarnIcons::SvgData(QStringLiteral("MAINICON")), report);
    if (withPieceIcons)
        for (const auto& icon : PieceIcons())
            WriteIfChanged(iconFolder + icon.iconName + ".svg", VarnIcons::SvgData(icon.resource),
                           report);
    const QString desktopPath = dataHome + u'/' + QString::fromLatin1(DesktopEntry);
    const qsizetype beforeDesktop = report.filesWritten.size();
    WriteIfChanged(desktopPath, DesktopEntryText(ExecutableOf(options)), report);
    const bool desktopChanged = report.filesWritten.size() != beforeDesktop;

    if (report.filesWritten.contains(packagePath))
        RunTool(QStringLiteral("update-mime-database"), dataHome + QStringLiteral("/mime"),
                options.toolPath, report);
    if (desktopChanged)
        RunTool(QStringLiteral("update-desktop-database"),
                dataHome + QStringLiteral("/applications"), options.toolPath, report);
    return report;
}

} // namespace

QString AssociationFiles::NumberedPieceType(int cycleIndex) {
    return QStringLiteral("application/x-varnsplit-piece-") + QString::number(cycleIndex);
}

QString DesktopExecCommand(const QString& executable) {
    // Inside double quotes the format reserves ", `, $ and \ (escaped with a
    // backslash); the value as a whole then escapes backslashes and line
    // breaks once more, and "%" must be doubled so it is no field code.
    QString quoted;
    for (const QChar ch : executable) {
        if (ch == u'"' || ch == u'`' || ch == u'$' || ch == u'\\')
            quoted += u'\\';
        quoted += ch;
    }
    QString value;
    for (const QChar ch : quoted) {
        if (ch == u'\\')
            value += QStringLiteral("\\\\");
        else if (ch == u'\n')
            value += QStringLiteral("\\n");
        else if (ch == u'\r')
            value += QStringLiteral("\\r");
        else if (ch == u'\t')
            value += QStringLiteral("\\t");
        else if (ch == u'%')
            value += QStringLiteral("%%");
        else
            value += ch;
    }
    return u'"' + value + QStringLiteral("\" %f");
}

TAssociationReport RegisterFileAssociation(const TAssociationOptions& options) {
    return WriteAssociation(options, false);
}

TAssociationReport RestoreFileAssociations(const TAssociationOptions& options) {
    return WriteAssociation(options, true);
}

bool RunAssociationStartupStep(const TRegistrySettings& settings,
                               const TAssociationOptions& options) {
    if (!settings.ReadBool(QString::fromLatin1(SettingNames::SectionSettings),
                           QString::fromLatin1(SettingNames::RestoreAssociations),
                           SettingNames::DefaultRestoreAssociations))
        return false;
    RestoreFileAssociations(options);
    return true;
}
