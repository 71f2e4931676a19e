#pragma once

#include "settings/IniDocument.h"

#include <QString>
#include <QStringList>

#include <optional>

#include <stdexcept>
#include <sys/stat.h>

// A failure to write the settings store; the text names the file and the
// system's reason and is meant for the user.
class ESettingsError : public std::runtime_error {
public:
    explicit ESettingsError(const QString& message);
};

// The accessor of the per-user settings store, one INI file standing in for
// the registry key; sections are groups and every value is stored as text.
// Each operation re-reads the file when another accessor has changed it and
// each write replaces the file atomically, so several accessors may coexist.
class TRegistrySettings {
public:
    // The user's store: ${XDG_CONFIG_HOME:-$HOME/.config}/Oskel/Utilities/split/1.1/UA.ini.
    TRegistrySettings();
    explicit TRegistrySettings(const QString& fileName);

    static QString DefaultFileName();
    const QString& FileName() const { return m_fileName; }

    // Missing sections, missing values, and every value of a store file that
    // cannot be read or parsed, yield the default.
    QString ReadString(const QString& section, const QString& name,
                       const QString& defaultValue) const;
    // Signed decimal text within 32 bits; anything else yields the default.
    int ReadInteger(const QString& section, const QString& name, int defaultValue) const;
    // Read as an integer whose default is 1 or 0; any non-zero number is true.
    bool ReadBool(const QString& section, const QString& name, bool defaultValue) const;
    bool ValueExists(const QString& section, const QString& name) const;
    // The names of the values stored in a section, in file order.
    QStringList ValueNames(const QString& section) const;

    // Creates the folders, the file and the section as needed. A damaged store
    // file is first moved aside (see DamagedFileKeptAs). Throws ESettingsError.
    void WriteString(const QString& section, const QString& name, const QString& value);
    void WriteInteger(const QString& section, const QString& name, int value);
    void WriteBool(const QString& section, const QString& name, bool value);

    // Writes made between BeginBatch and CommitBatch reach the file together,
    // in one atomic replacement, so a save that fails half-way leaves the
    // store as it was. CommitBatch throws ESettingsError; CancelBatch drops
    // the pending writes. Reads during a batch see the file, not the batch.
    void BeginBatch();
    void CommitBatch();
    void CancelBatch();

    // Whether the store file, as last read, could not be read or parsed.
    bool IsDamaged() const;
    // Where the last damaged store file was moved before being overwritten;
    // empty when none was.
    const QString& DamagedFileKeptAs() const { return m_damagedFileKeptAs; }

private:
    struct TFileIdentity {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        long long modifiedNs = 0;
        long long changedNs = 0;
        bool operator==(const TFileIdentity&) const = default;
    };

    static TFileIdentity IdentityOf(const QString& fileName, struct stat& info);
    void Refresh() const;
    void KeepDamagedFile();
    TIniDocument CurrentDocumentForWrite();
    void WriteDocument(TIniDocument document);

    QString m_fileName;
    QString m_damagedFileKeptAs;
    mutable bool m_loaded = false;
    mutable bool m_damaged = false;
    mutable TFileIdentity m_identity;
    mutable TIniDocument m_document;
    bool m_inBatch = false;
    std::optional<TIniDocument> m_batchDocument;
};

// A batch of writes that is dropped unless committed, for saves that must
// reach the store all at once or not at all.
class TSettingsBatch {
public:
    explicit TSettingsBatch(TRegistrySettings& settings) : m_settings(settings) {
        m_settings.BeginBatch();
    }
    ~TSettingsBatch() {
        if (!m_committed)
            m_settings.CancelBatch();
    }
    TSettingsBatch(const TSettingsBatch&) = delete;
    TSettingsBatch& operator=(const TSettingsBatch&) = delete;
    void Commit() {
        m_committed = true;
        m_settings.CommitBatch();
    }

private:
    TRegistrySettings& m_settings;
    bool m_committed = false;
};
