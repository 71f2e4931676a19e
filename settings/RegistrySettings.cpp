#include "settings/RegistrySettings.h"

#include "texts/QtTextFormat.h"
#include "texts/Texts.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <limits>

namespace {

// A store file this large was not written by the program; reading it whole
// would only waste memory.
constexpr qint64 kLargestStoreFile = 64 * 1024 * 1024;

QString BaseFolder(const char* variable, const char* fallbackUnderHome) {
    // The XDG rule: an unset, empty or relative value means the default.
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return value;
    return QDir::homePath() + u'/' + QString::fromLatin1(fallbackUnderHome);
}

std::optional<int> ParseDecimal(const QString& text) {
    if (text.isEmpty())
        return std::nullopt;
    qsizetype i = 0;
    bool negative = false;
    if (text[0] == u'+' || text[0] == u'-') {
        negative = text[0] == u'-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        const char16_t ch = text[i].unicode();
        if (ch < u'0' || ch > u'9')
            return std::nullopt;
        value = value * 10 + (ch - u'0');
        if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

QString SystemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

ESettingsError::ESettingsError(const QString& message)
    : std::runtime_error(message.toStdString()) {}

TRegistrySettings::TRegistrySettings() : TRegistrySettings(DefaultFileName()) {}

TRegistrySettings::TRegistrySettings(const QString& fileName) : m_fileName(fileName) {}

QString TRegistrySettings::DefaultFileName() {
    return BaseFolder("XDG_CONFIG_HOME", ".config") +
           QStringLiteral("/Oskel/Utilities/split/1.1/UA.ini");
}

TRegistrySettings::TFileIdentity TRegistrySettings::IdentityOf(const QString& fileName,
                                                               struct stat& info) {
    // Writes replace the file, so a new inode or new times mean new content.
    TFileIdentity identity;
    if (::stat(QFile::encodeName(fileName).constData(), &info) != 0)
        return identity;
    identity.exists = true;
    identity.device = info.st_dev;
    identity.inode = info.st_ino;
    identity.size = info.st_size;
    identity.modifiedNs = info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec;
    identity.changedNs = info.st_ctim.tv_sec * 1000000000LL + info.st_ctim.tv_nsec;
    return identity;
}

void TRegistrySettings::Refresh() const {
    struct stat info {};
    const TFileIdentity identity = IdentityOf(m_fileName, info);
    if (m_loaded && identity == m_identity)
        return;

    m_loaded = true;
    m_identity = identity;
    m_document = TIniDocument();
    m_damaged = false;
    if (!identity.exists)
        return;
    QFile file(m_fileName);
    if (!S_ISREG(info.st_mode) || info.st_size > kLargestStoreFile ||
        !file.open(QIODevice::ReadOnly)) {
        m_damaged = true;
        return;
    }
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_damaged = true;
        return;
    }
    auto document = TIniDocument::Parse(text);
    if (!document) {
        m_damaged = true;
        return;
    }
    m_document = std::move(*document);
}

bool TRegistrySettings::IsDamaged() const {
    Refresh();
    return m_damaged;
}

QString TRegistrySettings::ReadString(const QString& section, const QString& name,
                                      const QString& defaultValue) const {
    Refresh();
    const QString* value = m_document.Find(section, name);
    return value ? *value : defaultValue;
}

int TRegistrySettings::ReadInteger(const QString& section, const QString& name,
                                   int defaultValue) const {
    Refresh();
    const QString* value = m_document.Find(section, name);
    if (!value)
        return defaultValue;
    return ParseDecimal(*value).value_or(defaultValue);
}

bool TRegistrySettings::ReadBool(const QString& section, const QString& name,
                                 bool defaultValue) const {
    return ReadInteger(section, name, defaultValue ? 1 : 0) != 0;
}

bool TRegistrySettings::ValueExists(const QString& section, const QString& name) const {
    Refresh();
    return m_document.Find(section, name) != nullptr;
}

QStringList TRegistrySettings::ValueNames(const QString& section) const {
    Refresh();
    QStringList names;
    for (const auto& candidate : m_document.Sections()) {
        if (candidate.name.compare(section, Qt::CaseInsensitive) != 0)
            continue;
        for (const auto& value : candidate.values)
            names << value.first;
        break;
    }
    return names;
}

void TRegistrySettings::KeepDamagedFile() {
    // Never overwrite what the user had: the damaged file goes aside under a
    // name that no earlier rescue has taken.
    const QString stamp = QDateTime::currentDateTimeUtc().toString(u"yyyyMMdd-HHmmss");
    QString keptAs = m_fileName + QStringLiteral(".damaged-") + stamp;
    for (int attempt = 2; QFileInfo::exists(keptAs) || QFileInfo(keptAs).isSymLink(); ++attempt)
        keptAs = m_fileName + QStringLiteral(".damaged-") + stamp + u'-' + QString::number(attempt);
    if (::rename(QFile::encodeName(m_fileName).constData(),
                 QFile::encodeName(keptAs).constData()) != 0) {
        const int error = errno;
        throw ESettingsError(FormatQText(Texts::SettingsKeepDamagedFailed,
                                         {m_fileName, keptAs, SystemReason(error)}));
    }
    m_damagedFileKeptAs = keptAs;
}

TIniDocument TRegistrySettings::CurrentDocumentForWrite() {
    Refresh();
    if (m_damaged) {
        KeepDamagedFile();
        m_loaded = false;
        Refresh();
    }
    return m_document;
}

void TRegistrySettings::WriteDocument(TIniDocument document) {
    const QString folder = QFileInfo(m_fileName).absolutePath();
    if (!QDir().mkpath(folder))
        throw ESettingsError(FormatQText(Texts::SettingsWriteFailed,
                                         {m_fileName, QString::fromUtf8(Texts::SettingsNoFolder)}));
    QSaveFile file(m_fileName);
    const QByteArray text = document.Serialize();
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        throw ESettingsError(
            FormatQText(Texts::SettingsWriteFailed, {m_fileName, file.errorString()}));

    m_document = std::move(document);
    m_damaged = false;
    m_loaded = false;
    struct stat info {};
    m_identity = IdentityOf(m_fileName, info);
    if (m_identity.exists) {
        m_loaded = true;
    }
}

void TRegistrySettings::WriteString(const QString& section, const QString& name,
                                    const QString& value) {
    if (section.isEmpty() || name.isEmpty())
        throw ESettingsError(FormatQText(Texts::SettingsEmptyName, {m_fileName, section, name}));
    if (m_inBatch) {
        if (!m_batchDocument)
            m_batchDocument = CurrentDocumentForWrite();
        m_batchDocument->Set(section, name, value);
        return;
    }
    TIniDocument document = CurrentDocumentForWrite();
    document.Set(section, name, value);
    WriteDocument(std::move(document));
}

void TRegistrySettings::BeginBatch() {
    m_inBatch = true;
    m_batchDocument.reset();
}

void TRegistrySettings::CommitBatch() {
    m_inBatch = false;
    std::optional<TIniDocument> document = std::move(m_batchDocument);
    m_batchDocument.reset();
    if (document)
        WriteDocument(std::move(*document));
}

void TRegistrySettings::CancelBatch() {
    m_inBatch = false;
    m_batchDocument.reset();
}

void TRegistrySettings::WriteInteger(const QString& section, const QString& name, int value) {
    WriteString(section, name, QString::number(value));
}

void TRegistrySettings::WriteBool(const QString& section, const QString& name, bool value) {
    WriteString(section, name, value ? QStringLiteral("1") : QStringLiteral("0"));
}
