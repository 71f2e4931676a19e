#include "shell/ShellFolder.h"

#include "platform/Mounts.h"
#include "shell/ShellNamespace.h"
#include "texts/QtTextFormat.h"
#include "texts/Texts.h"

#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QStandardPaths>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <unordered_map>

namespace {

// ---------------------------------------------------------------------------
// Items

// What an id names, worked out from its bytes alone (no disk access).
struct TChild {
    TItemKind kind = ikEntry;
    std::string name; // the id's name bytes
    std::string path; // file-system path bytes; empty for virtual items
};

constexpr std::size_t NameMax = 255;

// Entry names come from lists that may not be ours: a name that could climb
// out of its folder or is no single component is refused.
bool IsValidEntryName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.size() <= NameMax &&
           name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path += folder;
    if (path.empty() || path.back() != '/')
        path += '/';
    path += name;
    return path;
}

std::string HomePathBytes() {
    return PathBytes(QDir::homePath());
}

// The user's desktop directory, or "" when it is the home folder itself (its
// entries are then reached through the home folder alone).
std::string DesktopDirectoryBytes() {
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (desktop.isEmpty() || QDir(desktop) == QDir::home())
        return std::string();
    return PathBytes(QDir::cleanPath(desktop));
}

bool LStat(const std::string& path, struct stat& info) {
    return ::lstat(path.c_str(), &info) == 0;
}

bool StatFollow(const std::string& path, struct stat& info) {
    return ::stat(path.c_str(), &info) == 0;
}

bool IsDirectoryPath(const std::string& path) {
    struct stat info {};
    return StatFollow(path, info) && S_ISDIR(info.st_mode);
}

// Whether a directory entry names a directory (following symbolic links),
// asking the disk only when the directory listing does not say.
bool EntryIsDirectory(const std::string& folder, const dirent& entry) {
    if (entry.d_type == DT_DIR)
        return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN)
        return false;
    return IsDirectoryPath(JoinPath(folder, entry.d_name));
}

bool IsDotName(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

struct TDirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using TDirHandle = std::unique_ptr<DIR, TDirCloser>;

bool HasSubfolder(const std::string& path) {
    TDirHandle dir(::opendir(path.c_str()));
    if (!dir)
        return false;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (!IsDotName(entry->d_name) && EntryIsDirectory(path, *entry))
            return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Volumes

struct TVolume {
    std::string mountPoint;
    std::string source;
    std::string fsType;
};

bool StartsWithComponent(const std::string& path, const std::string& prefix) {
    if (prefix == "/")
        return !path.empty() && path[0] == '/';
    return path.size() >= prefix.size() && path.compare(0, prefix.size(), prefix) == 0 &&
           (path.size() == prefix.size() || path[prefix.size()] == '/');
}

// Mounts a user would recognise: the root file system, what lies under the
// usual removable-media folders, and other mounts of real block devices
// outside the system's own trees.
bool IsUserVolume(const TMountRecord& mount) {
    const std::string& point = mount.mountPoint;
    if (point == "/")
        return true;
    for (const char* media : {"/media", "/run/media", "/mnt"}) {
        if (StartsWithComponent(point, media) && point != media)
            return true;
    }
    if (mount.source.rfind("/dev/", 0) != 0 || mount.major == 0)
        return false;
    for (const char* system : {"/proc", "/sys", "/dev", "/run", "/snap", "/var/lib", "/boot/efi"}) {
        if (StartsWithComponent(point, system))
            return false;
    }
    return true;
}

std::vector<TVolume> ReadVolumes() {
    std::vector<TVolume> volumes;
    std::map<std::string, std::size_t> indexByPoint;
    std::vector<TMountRecord> mounts;
    try {
        mounts = ReadMountTable();
    } catch (const std::exception&) {
        // An unreadable mount table still leaves the root volume below.
    }
    for (const TMountRecord& mount : mounts) {
        if (!IsUserVolume(mount))
            continue;
        // Bind mounts of single files (common in containers) are no volumes.
        if (!IsDirectoryPath(mount.mountPoint))
            continue;
        const TVolume volume{mount.mountPoint, mount.source, mount.fsType};
        // A later mount on the same point hides the earlier one.
        auto found = indexByPoint.find(mount.mountPoint);
        if (found != indexByPoint.end()) {
            volumes[found->second] = volume;
        } else {
            indexByPoint[mount.mountPoint] = volumes.size();
            volumes.push_back(volume);
        }
    }
    if (indexByPoint.find("/") == indexByPoint.end())
        volumes.insert(volumes.begin(), TVolume{"/", std::string(), std::string()});
    return volumes;
}

// udev names label links with \xHH escapes for blanks and other bytes.
std::string UnescapeUdevName(const std::string& name) {
    std::string result;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' &&
            std::isxdigit(static_cast<unsigned char>(name[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(name[i + 3]))) {
            result += static_cast<char>(std::stoi(name.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            result += name[i];
        }
    }
    return result;
}

QString VolumeLabel(const std::string& mountPoint) {
    std::string source;
    for (const TVolume& volume : ReadVolumes()) {
        if (volume.mountPoint == mountPoint)
            source = volume.source;
    }
    if (source.rfind("/dev/", 0) != 0)
        return QString();
    char resolved[PATH_MAX];
    if (::realpath(source.c_str(), resolved) == nullptr)
        return QString();
    const std::string device = resolved;
    const std::string labels = "/dev/disk/by-label";
    TDirHandle dir(::opendir(labels.c_str()));
    if (!dir)
        return QString();
    while (const dirent* entry = ::readdir(dir.get())) {
        if (IsDotName(entry->d_name))
            continue;
        char target[PATH_MAX];
        if (::realpath(JoinPath(labels, entry->d_name).c_str(), target) != nullptr &&
            device == target)
            return QString::fromUtf8(UnescapeUdevName(entry->d_name));
    }
    return QString();
}

// ---------------------------------------------------------------------------
// Paths

// Splits an absolute or relative path into its components, dropping empty and
// "." components and taking ".." back by text.
std::optional<std::vector<std::string>> PathComponents(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (parts.empty())
                return std::nullopt;
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    return parts;
}

std::string JoinComponents(const std::vector<std::string>& parts) {
    std::string path;
    for (const std::string& part : parts)
        path += "/" + part;
    return path.empty() ? "/" : path;
}

// ---------------------------------------------------------------------------
// Enumerations

class TListEnum : public TEnumIdList {
public:
    explicit TListEnum(std::vector<TItemIdList> items) : m_items(std::move(items)) {}
    void Reset() override { m_next = 0; }
    bool Next(TItemIdList& item) override {
        if (m_next >= m_items.size())
            return false;
        item = m_items[m_next++];
        return true;
    }

private:
    std::vector<TItemIdList> m_items;
    std::size_t m_next = 0;
};

// What a directory listing said of its entries' types, kept until each
// entry's attributes are first asked for. A listing that names the type saves
// the lstat of every entry of a large level; a link or an unknown type is
// looked up as before.
class TListedTypes {
public:
    void Clear() {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_folders.clear();
    }
    void Remember(const dirent& entry) {
        if (entry.d_type == DT_LNK || entry.d_type == DT_UNKNOWN)
            return;
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_folders[entry.d_name] = entry.d_type == DT_DIR;
    }
    // Whether the entry is a folder, once: later questions go to the disk.
    std::optional<bool> Take(const std::string& name) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = m_folders.find(name);
        if (found == m_folders.end())
            return std::nullopt;
        const bool folder = found->second;
        m_folders.erase(found);
        return folder;
    }

private:
    std::mutex m_mutex;
    std::unordered_map<std::string, bool> m_folders;
};

// Reads the directory as it goes, so that a probe that stops at the first
// accepted item does not pay for a whole large folder.
class TDirectoryEnum : public TEnumIdList {
public:
    TDirectoryEnum(std::string path, TDirHandle dir, unsigned flags,
                   std::shared_ptr<TListedTypes> listed)
        : m_path(std::move(path)), m_dir(std::move(dir)), m_flags(flags),
          m_listed(std::move(listed)) {}

    void Reset() override { ::rewinddir(m_dir.get()); }

    bool Next(TItemIdList& item) override {
        while (const dirent* entry = ::readdir(m_dir.get())) {
            if (IsDotName(entry->d_name))
                continue;
            if (entry->d_name[0] == '.' && (m_flags & SHCONTF_INCLUDEHIDDEN) == 0)
                continue;
            const bool folder = EntryIsDirectory(m_path, *entry);
            if (folder ? (m_flags & SHCONTF_FOLDERS) == 0 : (m_flags & SHCONTF_NONFOLDERS) == 0)
                continue;
            if (m_listed)
                m_listed->Remember(*entry);
            item = TItemIdList::FromId(MakeItemId(ikEntry, entry->d_name));
            return true;
        }
        return false;
    }

private:
    std::string m_path;
    TDirHandle m_dir;
    unsigned m_flags;
    std::shared_ptr<TListedTypes> m_listed;
};

std::unique_ptr<TEnumIdList> EnumDirectory(const std::string& path, unsigned flags,
                                           std::shared_ptr<TListedTypes> listed = nullptr) {
    TDirHandle dir(::opendir(path.c_str()));
    if (!dir)
        return nullptr;
    return std::make_unique<TDirectoryEnum>(path, std::move(dir), flags, std::move(listed));
}

// ---------------------------------------------------------------------------
// Folders

// Common behaviour of every folder of the namespace: each folder only says
// what its own ids name and which ids it lists; lists of several ids are
// walked through the folders they pass.
class TNamespaceFolder : public TShellFolder {
public:
    explicit TNamespaceFolder(TItemIdList absolute) : m_absolute(std::move(absolute)) {}

    const TItemIdList& AbsoluteIdList() const override { return m_absolute; }

    // What one id of this folder names; nullopt for ids that are not its own.
    virtual std::optional<TChild> Resolve(const TItemIdList& id) const = 0;
    // The folder's own file-system path bytes ("" when virtual).
    virtual std::string FolderPath() const = 0;
    // Whether the last listing said an entry is a folder; asked once per entry.
    virtual std::optional<bool> TakeListedType(const std::string&) const { return std::nullopt; }
    // This folder's own display name (asked with an empty list).
    virtual QString OwnName(unsigned flags) const = 0;

    std::shared_ptr<TNamespaceFolder> BindChild(const TItemIdList& id, bool check) const;
    // The folder holding the last id of `relative` (kept alive by `keep` when
    // it is not this folder), and that id alone; nullptr for bad lists.
    const TNamespaceFolder* HolderOf(const TItemIdList& relative, TItemIdList& lastId,
                                     std::shared_ptr<TNamespaceFolder>& keep) const;

    std::shared_ptr<TShellFolder> BindToObject(const TItemIdList& relative) const override;
    std::optional<std::uint32_t> GetAttributesOf(const TItemIdList& relative,
                                                 std::uint32_t request) const override;
    int CompareIDs(int column, const TItemIdList& a, const TItemIdList& b) const override;
    std::optional<TSortKey> SortKeyOf(int column, const TItemIdList& id) const override;
    std::optional<QString> GetDisplayNameOf(const TItemIdList& relative,
                                            unsigned flags) const override;
    std::optional<TItemIdList> SetNameOf(const TItemIdList& relative, const QString& newName,
                                         unsigned flags, QString* error) const override;
    std::optional<TItemIdList> ParseDisplayName(const QString& text,
                                                std::uint32_t* attributes) const override;

    // Parses path components below this folder into entry ids.
    std::optional<TItemIdList> ParseComponents(const std::vector<std::string>& parts,
                                               std::uint32_t* attributes) const;

private:
    // What ordering needs of an entry. Sorting a level compares each item many
    // times; the facts are read once per enumeration (the attribute query
    // refreshes them) instead of once per comparison.
    struct TEntryFacts {
        bool exists = false;
        bool folder = false;
        long long size = 0;
        long long modifiedSeconds = 0;
        long long modifiedNanoseconds = 0;
        QString foldedName;
        QString typeName;
        bool typeKnown = false;
        bool statKnown = false; // size and time; a listing gives only the type
    };
    TEntryFacts FactsOf(const TChild& child, int column) const;
    void RememberFacts(const TChild& child, bool exists, const struct stat& info) const;
    void RememberListedFacts(const TChild& child, bool folder) const;
    void StoreFacts(const TChild& child, TEntryFacts facts) const;
    int CompareChildren(int column, const TChild& a, const TChild& b) const;

    TItemIdList m_absolute;
    mutable std::mutex m_factsMutex;
    mutable std::unordered_map<std::string, TEntryFacts> m_facts;
};

std::shared_ptr<TNamespaceFolder> MakeFolder(const TChild& child, TItemIdList absolute);

// A directory of the file system: a volume, the home folder or an entry.
class TDirectoryFolder : public TNamespaceFolder {
public:
    TDirectoryFolder(std::string path, TItemIdList absolute)
        : TNamespaceFolder(std::move(absolute)), m_path(std::move(path)) {}

    std::optional<TChild> Resolve(const TItemIdList& id) const override {
        const std::optional<TItemIdParts> parts = SplitItemId(id);
        if (!parts || parts->kind != ikEntry || !IsValidEntryName(parts->name))
            return std::nullopt;
        return TChild{ikEntry, parts->name, JoinPath(m_path, parts->name)};
    }
    std::string FolderPath() const override { return m_path; }
    std::optional<QString> GetDisplayNameOf(const TItemIdList& relative,
                                            unsigned flags) const override {
        // A tree asks this for every row it lists; an entry's name is its id's
        // bytes, so no path is built for it.
        if (relative.ItemCount() == 1 && (flags & SHGDN_FORPARSING) == 0) {
            const std::optional<TItemIdParts> parts = SplitItemId(relative);
            if (!parts || parts->kind != ikEntry || !IsValidEntryName(parts->name))
                return std::nullopt;
            return PathText(parts->name);
        }
        return TNamespaceFolder::GetDisplayNameOf(relative, flags);
    }
    QString OwnName(unsigned flags) const override {
        if (flags & SHGDN_FORPARSING)
            return PathText(m_path);
        return PathText(m_path.substr(m_path.find_last_of('/') + 1));
    }
    std::unique_ptr<TEnumIdList> EnumObjects(unsigned flags) const override {
        // Types from an earlier listing may be stale by now.
        m_listed->Clear();
        return EnumDirectory(m_path, flags, m_listed);
    }
    std::optional<bool> TakeListedType(const std::string& name) const override {
        return m_listed->Take(name);
    }
    std::optional<TItemIdList> ParseDisplayName(const QString& text,
                                                std::uint32_t* attributes) const override {
        std::string bytes = PathBytes(text);
        if (!bytes.empty() && bytes[0] == '/') {
            const auto whole = PathComponents(bytes);
            const auto mine = PathComponents(m_path);
            if (!whole || !mine || whole->size() < mine->size() ||
                !std::equal(mine->begin(), mine->end(), whole->begin()))
                return std::nullopt;
            return ParseComponents(
                std::vector<std::string>(whole->begin() + static_cast<std::ptrdiff_t>(mine->size()),
                                         whole->end()),
                attributes);
        }
        const auto parts = PathComponents(bytes);
        if (!parts)
            return std::nullopt;
        return ParseComponents(*parts, attributes);
    }

private:
    std::string m_path;
    std::shared_ptr<TListedTypes> m_listed = std::make_shared<TListedTypes>();
};

// Trash and Network: folders of the namespace with nothing in them here.
class TVirtualFolder : public TNamespaceFolder {
public:
    TVirtualFolder(TItemKind kind, TItemIdList absolute)
        : TNamespaceFolder(std::move(absolute)), m_kind(kind) {}
    std::optional<TChild> Resolve(const TItemIdList&) const override { return std::nullopt; }
    std::string FolderPath() const override { return std::string(); }
    QString OwnName(unsigned flags) const override {
        if (flags & SHGDN_FORPARSING)
            return m_kind == ikTrash ? QStringLiteral("::trash") : QStringLiteral("::network");
        return QString::fromUtf8(m_kind == ikTrash ? Texts::ShellTrash : Texts::ShellNetwork);
    }
    std::unique_ptr<TEnumIdList> EnumObjects(unsigned) const override {
        return std::make_unique<TListEnum>(std::vector<TItemIdList>());
    }

private:
    TItemKind m_kind;
};

// Computer: one folder per mounted volume.
class TComputerFolder : public TNamespaceFolder {
public:
    using TNamespaceFolder::TNamespaceFolder;

    std::optional<TChild> Resolve(const TItemIdList& id) const override {
        const std::optional<TItemIdParts> parts = SplitItemId(id);
        if (!parts || parts->kind != ikVolume || parts->name.empty() || parts->name[0] != '/')
            return std::nullopt;
        const auto components = PathComponents(parts->name);
        if (!components || JoinComponents(*components) != parts->name)
            return std::nullopt;
        return TChild{ikVolume, parts->name, parts->name};
    }
    std::string FolderPath() const override { return std::string(); }
    QString OwnName(unsigned flags) const override {
        return (flags & SHGDN_FORPARSING) ? QStringLiteral("::computer")
                                          : QString::fromUtf8(Texts::ShellComputer);
    }
    std::unique_ptr<TEnumIdList> EnumObjects(unsigned flags) const override {
        std::vector<TItemIdList> items;
        if (flags & SHCONTF_FOLDERS) {
            for (const TVolume& volume : ReadVolumes())
                items.push_back(TItemIdList::FromId(MakeItemId(ikVolume, volume.mountPoint)));
        }
        return std::make_unique<TListEnum>(std::move(items));
    }
    std::optional<TItemIdList> ParseDisplayName(const QString& text,
                                                std::uint32_t* attributes) const override {
        const std::string bytes = PathBytes(text);
        if (bytes.empty() || bytes[0] != '/')
            return std::nullopt;
        const auto parts = PathComponents(bytes);
        if (!parts)
            return std::nullopt;
        const std::string clean = JoinComponents(*parts);
        std::string best;
        for (const TVolume& volume : ReadVolumes()) {
            if (StartsWithComponent(clean, volume.mountPoint) &&
                volume.mountPoint.size() > best.size())
                best = volume.mountPoint;
        }
        if (best.empty())
            return std::nullopt;
        const TItemIdList volumeId = TItemIdList::FromId(MakeItemId(ikVolume, best));
        const auto volumeParts = PathComponents(best);
        const std::vector<std::string> rest(
            parts->begin() + static_cast<std::ptrdiff_t>(volumeParts->size()), parts->end());
        const auto volumeFolder = BindChild(volumeId, true);
        if (!volumeFolder)
            return std::nullopt;
        std::optional<TItemIdList> below = volumeFolder->ParseComponents(rest, nullptr);
        if (!below)
            return std::nullopt;
        TItemIdList result = TItemIdList::Concat(volumeId, *below);
        if (attributes)
            *attributes = GetAttributesOf(result, *attributes).value_or(0);
        return result;
    }
};

// The root of the namespace.
class TDesktopFolder : public TNamespaceFolder {
public:
    TDesktopFolder() : TNamespaceFolder(TItemIdList::Empty()) {}

    std::optional<TChild> Resolve(const TItemIdList& id) const override {
        const std::optional<TItemIdParts> parts = SplitItemId(id);
        if (!parts)
            return std::nullopt;
        switch (parts->kind) {
        case ikComputer:
        case ikTrash:
        case ikNetwork:
            return parts->name.empty() ? std::optional(TChild{parts->kind, {}, {}}) : std::nullopt;
        case ikHome:
            return parts->name.empty() ? std::optional(TChild{ikHome, {}, HomePathBytes()})
                                       : std::nullopt;
        case ikEntry: {
            const std::string desktop = DesktopDirectoryBytes();
            if (desktop.empty() || !IsValidEntryName(parts->name))
                return std::nullopt;
            return TChild{ikEntry, parts->name, JoinPath(desktop, parts->name)};
        }
        default:
            return std::nullopt;
        }
    }
    std::string FolderPath() const override { return std::string(); }
    QString OwnName(unsigned flags) const override {
        return (flags & SHGDN_FORPARSING) ? QString() : QString::fromUtf8(Texts::ShellDesktop);
    }
    std::unique_ptr<TEnumIdList> EnumObjects(unsigned flags) const override {
        std::vector<TItemIdList> items;
        const bool folders = (flags & SHCONTF_FOLDERS) != 0;
        if (folders) {
            items.push_back(TItemIdList::FromId(MakeItemId(ikComputer)));
            items.push_back(TItemIdList::FromId(MakeItemId(ikHome)));
        }
        const std::string desktop = DesktopDirectoryBytes();
        if (!desktop.empty()) {
            if (std::unique_ptr<TEnumIdList> entries = EnumDirectory(desktop, flags)) {
                TItemIdList entry;
                while (entries->Next(entry))
                    items.push_back(entry);
            }
        }
        if (folders) {
            items.push_back(TItemIdList::FromId(MakeItemId(ikTrash)));
            items.push_back(TItemIdList::FromId(MakeItemId(ikNetwork)));
        }
        return std::make_unique<TListEnum>(std::move(items));
    }
    std::optional<TItemIdList> ParseDisplayName(const QString& text,
                                                std::uint32_t* attributes) const override {
        std::optional<TItemIdList> result;
        if (text == QStringLiteral("::computer"))
            result = TItemIdList::FromId(MakeItemId(ikComputer));
        else if (text == QStringLiteral("::trash"))
            result = TItemIdList::FromId(MakeItemId(ikTrash));
        else if (text == QStringLiteral("::network"))
            result = TItemIdList::FromId(MakeItemId(ikNetwork));
        else if (text.startsWith(u'/')) {
            // A path parses through Computer, whatever else on the desktop holds it.
            const TItemIdList computerId = TItemIdList::FromId(MakeItemId(ikComputer));
            const auto computer = BindChild(computerId, false);
            std::optional<TItemIdList> below = computer->ParseDisplayName(text, nullptr);
            if (below)
                result = TItemIdList::Concat(computerId, *below);
        }
        if (result && attributes)
            *attributes = GetAttributesOf(*result, *attributes).value_or(0);
        return result;
    }
};

std::shared_ptr<TNamespaceFolder> MakeFolder(const TChild& child, TItemIdList absolute) {
    switch (child.kind) {
    case ikComputer:
        return std::make_shared<TComputerFolder>(std::move(absolute));
    case ikTrash:
    case ikNetwork:
        return std::make_shared<TVirtualFolder>(child.kind, std::move(absolute));
    default:
        return std::make_shared<TDirectoryFolder>(child.path, std::move(absolute));
    }
}

std::shared_ptr<TNamespaceFolder> TNamespaceFolder::BindChild(const TItemIdList& id,
                                                              bool check) const {
    const std::optional<TChild> child = Resolve(id);
    if (!child)
        return nullptr;
    if (check && !child->path.empty() && !IsDirectoryPath(child->path))
        return nullptr;
    return MakeFolder(*child, TItemIdList::Append(m_absolute, id));
}

const TNamespaceFolder* TNamespaceFolder::HolderOf(const TItemIdList& relative, TItemIdList& lastId,
                                                   std::shared_ptr<TNamespaceFolder>& keep) const {
    if (relative.IsNull() || relative.ItemCount() == 0)
        return nullptr;
    const TNamespaceFolder* holder = this;
    // Items of one level, the common case, need no walk and no second copy.
    if (relative.ItemCount() == 1) {
        lastId = relative;
        return holder;
    }
    TItemIdList rest = relative;
    while (rest.ItemCount() > 1) {
        keep = holder->BindChild(rest.FirstId(), false);
        if (!keep)
            return nullptr;
        holder = keep.get();
        rest = rest.WithoutFirstId();
    }
    lastId = std::move(rest);
    return holder;
}

std::shared_ptr<TShellFolder> TNamespaceFolder::BindToObject(const TItemIdList& relative) const {
    if (relative.IsNull() || relative.ItemCount() == 0)
        return nullptr;
    std::shared_ptr<TNamespaceFolder> current;
    TItemIdList rest = relative;
    while (rest.ItemCount() > 0) {
        const TItemIdList first = rest.FirstId();
        current = (current ? current.get() : this)->BindChild(first, true);
        if (!current)
            return nullptr;
        rest = rest.WithoutFirstId();
    }
    return current;
}

std::optional<std::uint32_t> TNamespaceFolder::GetAttributesOf(const TItemIdList& relative,
                                                               std::uint32_t request) const {
    // The empty list names the folder itself (the desktop as a tree's root).
    if (!relative.IsNull() && relative.ItemCount() == 0) {
        std::uint32_t own = SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER;
        if (!FolderPath().empty())
            own |= SFGAO_FILESYSTEM;
        return own & request;
    }
    TItemIdList id;
    std::shared_ptr<TNamespaceFolder> keep;
    const TNamespaceFolder* holder = HolderOf(relative, id, keep);
    if (!holder)
        return std::nullopt;
    const std::optional<TChild> child = holder->Resolve(id);
    if (!child)
        return std::nullopt;
    std::uint32_t attributes = 0;
    switch (child->kind) {
    case ikComputer:
        attributes = SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER | SFGAO_HASPROPSHEET;
        break;
    case ikTrash:
    case ikNetwork:
        attributes = SFGAO_FOLDER | SFGAO_HASPROPSHEET;
        break;
    default: {
        bool folder = false;
        bool link = false;
        const std::optional<bool> listed =
            child->kind == ikEntry ? holder->TakeListedType(child->name) : std::nullopt;
        if (listed) {
            folder = *listed;
            holder->RememberListedFacts(*child, folder);
        } else {
            struct stat linkInfo {};
            if (!LStat(child->path, linkInfo))
                return std::nullopt;
            struct stat info = linkInfo;
            link = S_ISLNK(linkInfo.st_mode);
            if (link && !StatFollow(child->path, info))
                info = linkInfo; // a dangling link is a file that cannot be opened
            folder = S_ISDIR(info.st_mode);
            if (child->kind == ikEntry)
                holder->RememberFacts(*child, true, info);
        }
        attributes = SFGAO_FILESYSTEM | SFGAO_HASPROPSHEET;
        if (folder)
            attributes |= SFGAO_FOLDER | SFGAO_FILESYSANCESTOR;
        if (link)
            attributes |= SFGAO_LINK;
        if (child->kind == ikEntry) {
            attributes |= SFGAO_CANRENAME;
            if (child->name[0] == '.')
                attributes |= SFGAO_HIDDEN;
        }
        // Looking for a subfolder reads the directory: only when asked.
        if (folder && (request & SFGAO_HASSUBFOLDER) && HasSubfolder(child->path))
            attributes |= SFGAO_HASSUBFOLDER;
        break;
    }
    }
    return attributes & request;
}

QString TypeNameOf(const std::string& path, bool folder) {
    if (folder)
        return QString::fromUtf8(Texts::ShellFolderType);
    static const QMimeDatabase mimeDatabase;
    return mimeDatabase.mimeTypeForFile(PathText(path), QMimeDatabase::MatchExtension).comment();
}

int Sign(long long value) {
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

int KindRank(TItemKind kind) {
    switch (kind) {
    case ikComputer:
        return 0;
    case ikHome:
        return 1;
    case ikVolume:
        return 2;
    case ikEntry:
        return 3;
    case ikTrash:
        return 4;
    case ikNetwork:
        return 5;
    }
    return 6;
}

void TNamespaceFolder::RememberFacts(const TChild& child, bool exists,
                                     const struct stat& info) const {
    TEntryFacts facts;
    facts.exists = exists;
    facts.folder = exists && S_ISDIR(info.st_mode);
    facts.size = exists ? static_cast<long long>(info.st_size) : 0;
    facts.modifiedSeconds = exists ? static_cast<long long>(info.st_mtim.tv_sec) : 0;
    facts.modifiedNanoseconds = exists ? static_cast<long long>(info.st_mtim.tv_nsec) : 0;
    facts.statKnown = true;
    StoreFacts(child, std::move(facts));
}

void TNamespaceFolder::RememberListedFacts(const TChild& child, bool folder) const {
    TEntryFacts facts;
    facts.exists = true;
    facts.folder = folder;
    StoreFacts(child, std::move(facts));
}

void TNamespaceFolder::StoreFacts(const TChild& child, TEntryFacts facts) const {
    facts.foldedName = PathText(child.name).toCaseFolded();
    const std::lock_guard<std::mutex> lock(m_factsMutex);
    m_facts[child.name] = std::move(facts);
}

TNamespaceFolder::TEntryFacts TNamespaceFolder::FactsOf(const TChild& child, int column) const {
    const bool needType = column == SHCOL_TYPE;
    const bool needStat = column == SHCOL_SIZE || column == SHCOL_DATE;
    {
        const std::lock_guard<std::mutex> lock(m_factsMutex);
        const auto found = m_facts.find(child.name);
        if (found != m_facts.end() && (!needType || found->second.typeKnown) &&
            (!needStat || found->second.statKnown))
            return found->second;
    }
    struct stat info {};
    const bool exists = StatFollow(child.path, info) || LStat(child.path, info);
    RememberFacts(child, exists, info);
    const std::lock_guard<std::mutex> lock(m_factsMutex);
    TEntryFacts& facts = m_facts[child.name];
    if (needType && !facts.typeKnown) {
        facts.typeName = TypeNameOf(child.path, facts.folder).toCaseFolded();
        facts.typeKnown = true;
    }
    return facts;
}

int TNamespaceFolder::CompareChildren(int column, const TChild& a, const TChild& b) const {
    if (a.kind != b.kind)
        return Sign(KindRank(a.kind) - KindRank(b.kind));
    if (a.kind == ikVolume)
        return Sign(a.name.compare(b.name));
    if (a.kind != ikEntry)
        return 0;
    const TEntryFacts factsA = FactsOf(a, column);
    const TEntryFacts factsB = FactsOf(b, column);
    if (factsA.folder != factsB.folder)
        return factsA.folder ? -1 : 1;
    int result = 0;
    switch (column) {
    case SHCOL_SIZE:
        if (!factsA.folder)
            result = Sign(factsA.size - factsB.size);
        break;
    case SHCOL_TYPE:
        result = Sign(factsA.typeName.compare(factsB.typeName));
        break;
    case SHCOL_DATE:
        result = Sign(factsA.modifiedSeconds != factsB.modifiedSeconds
                          ? factsA.modifiedSeconds - factsB.modifiedSeconds
                          : factsA.modifiedNanoseconds - factsB.modifiedNanoseconds);
        break;
    default:
        break;
    }
    if (result != 0)
        return result;
    result = Sign(factsA.foldedName.compare(factsB.foldedName));
    if (result != 0)
        return result;
    // Names that differ only in case are different files here: equality must
    // mean the same item, or a search by list would land on the wrong node.
    return Sign(a.name.compare(b.name));
}

int TNamespaceFolder::CompareIDs(int column, const TItemIdList& a, const TItemIdList& b) const {
    const std::size_t countA = a.ItemCount();
    const std::size_t countB = b.ItemCount();
    if (countA == 0 || countB == 0)
        return Sign(static_cast<long long>(countA) - static_cast<long long>(countB));
    // Items of one level (the common case while sorting) need no copies.
    const bool single = countA == 1 && countB == 1;
    const TItemIdList firstA = single ? TItemIdList() : a.FirstId();
    const TItemIdList firstB = single ? TItemIdList() : b.FirstId();
    const TItemIdList& idA = single ? a : firstA;
    const TItemIdList& idB = single ? b : firstB;
    if (idA == idB) {
        if (countA == 1 || countB == 1)
            return Sign(static_cast<long long>(countA) - static_cast<long long>(countB));
        const auto child = BindChild(idA, false);
        if (!child)
            return Sign(a.Bytes().compare(b.Bytes()));
        return child->CompareIDs(column, a.WithoutFirstId(), b.WithoutFirstId());
    }
    const std::optional<TChild> childA = Resolve(idA);
    const std::optional<TChild> childB = Resolve(idB);
    if (!childA || !childB) {
        // Foreign ids still get a stable order, after our own.
        if (childA.has_value() != childB.has_value())
            return childA ? -1 : 1;
        return Sign(idA.Bytes().compare(idB.Bytes()));
    }
    const int result = CompareChildren(column, *childA, *childB);
    return result != 0 ? result : Sign(idA.Bytes().compare(idB.Bytes()));
}

// Keeps CompareIDs' order for single ids: CompareChildren's rules field by
// field, the id bytes last.
std::optional<TSortKey> TNamespaceFolder::SortKeyOf(int column, const TItemIdList& id) const {
    if (id.IsNull() || id.ItemCount() != 1)
        return std::nullopt;
    TSortKey key;
    key.idBytes = id.Bytes();
    const std::optional<TChild> child = Resolve(id);
    if (!child) {
        key.group = 1;
        return key;
    }
    key.rank = KindRank(child->kind);
    if (child->kind == ikVolume) {
        key.name = child->name;
        return key;
    }
    if (child->kind != ikEntry)
        return key;
    const TEntryFacts facts = FactsOf(*child, column);
    key.file = !facts.folder;
    switch (column) {
    case SHCOL_SIZE:
        key.first = facts.folder ? 0 : facts.size;
        break;
    case SHCOL_TYPE:
        key.typeName = facts.typeName;
        break;
    case SHCOL_DATE:
        key.first = facts.modifiedSeconds;
        key.second = facts.modifiedNanoseconds;
        break;
    default:
        break;
    }
    key.foldedName = facts.foldedName;
    key.name = child->name;
    return key;
}

std::optional<QString> TNamespaceFolder::GetDisplayNameOf(const TItemIdList& relative,
                                                          unsigned flags) const {
    if (relative.IsNull())
        return std::nullopt;
    if (relative.ItemCount() == 0)
        return OwnName(flags);
    TItemIdList id;
    std::shared_ptr<TNamespaceFolder> keep;
    const TNamespaceFolder* holder = HolderOf(relative, id, keep);
    if (!holder)
        return std::nullopt;
    const std::optional<TChild> child = holder->Resolve(id);
    if (!child)
        return std::nullopt;
    if (flags & SHGDN_FORPARSING) {
        switch (child->kind) {
        case ikComputer:
            return QStringLiteral("::computer");
        case ikTrash:
            return QStringLiteral("::trash");
        case ikNetwork:
            return QStringLiteral("::network");
        default:
            return PathText(child->path);
        }
    }
    switch (child->kind) {
    case ikComputer:
        return QString::fromUtf8(Texts::ShellComputer);
    case ikHome:
        return QString::fromUtf8(Texts::ShellHome);
    case ikTrash:
        return QString::fromUtf8(Texts::ShellTrash);
    case ikNetwork:
        return QString::fromUtf8(Texts::ShellNetwork);
    case ikVolume: {
        const QString label = VolumeLabel(child->path);
        if (!label.isEmpty())
            return label;
        if (child->path == "/")
            return QString::fromUtf8(Texts::ShellRootVolume);
        return PathText(child->path.substr(child->path.find_last_of('/') + 1));
    }
    case ikEntry:
        return PathText(child->name);
    }
    return std::nullopt;
}

std::optional<TItemIdList> TNamespaceFolder::SetNameOf(const TItemIdList& relative,
                                                       const QString& newName, unsigned,
                                                       QString* error) const {
    auto fail = [error](const QString& reason) -> std::optional<TItemIdList> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    TItemIdList id;
    std::shared_ptr<TNamespaceFolder> keep;
    const TNamespaceFolder* holder = HolderOf(relative, id, keep);
    const std::optional<TChild> child = holder ? holder->Resolve(id) : std::nullopt;
    if (!child || child->kind != ikEntry)
        return fail(QString::fromUtf8(Texts::ShellRenameNotAllowed));
    if (newName.isEmpty())
        return fail(QString::fromUtf8(Texts::ShellRenameEmpty));
    const std::string nameBytes = PathBytes(newName);
    if (!IsValidEntryName(nameBytes))
        return fail(QString::fromUtf8(Texts::ShellRenameBadName));
    const std::string folder = child->path.substr(0, child->path.size() - child->name.size());
    const std::string target = folder + nameBytes;
    TItemIdList result = relative;
    result.RemoveLastId();
    const TItemIdList newId = TItemIdList::FromId(MakeItemId(ikEntry, nameBytes));
    result = relative.ItemCount() > 1 ? TItemIdList::Concat(result, newId) : newId;
    if (nameBytes == child->name)
        return result;
    // rename(2) would silently replace an existing file of the new name;
    // RENAME_NOREPLACE makes the kernel refuse instead.
    if (::renameat2(AT_FDCWD, child->path.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) !=
        0) {
        int code = errno;
        if (code == EINVAL || code == ENOSYS) {
            // File systems without the flag: check first, accepting the small race.
            struct stat info {};
            if (LStat(target, info))
                code = EEXIST;
            else if (::rename(child->path.c_str(), target.c_str()) == 0)
                return result;
            else
                code = errno;
        }
        if (code == EEXIST)
            return fail(FormatQText(Texts::ShellRenameExists, {newName}));
        return fail(
            FormatQText(Texts::ShellRenameFailed,
                        {PathText(child->name), QString::fromLocal8Bit(std::strerror(code))}));
    }
    return result;
}

std::optional<TItemIdList> TNamespaceFolder::ParseComponents(const std::vector<std::string>& parts,
                                                             std::uint32_t* attributes) const {
    std::vector<std::string> payloads;
    std::string path = FolderPath();
    if (path.empty())
        return std::nullopt;
    for (const std::string& part : parts) {
        if (!IsValidEntryName(part))
            return std::nullopt;
        path = JoinPath(path, part);
        payloads.push_back(MakeItemId(ikEntry, part));
    }
    struct stat info {};
    if (!LStat(path, info))
        return std::nullopt;
    TItemIdList result = TItemIdList::FromIds(payloads);
    if (attributes)
        *attributes = GetAttributesOf(result, *attributes).value_or(0);
    return result;
}

std::optional<TItemIdList> TNamespaceFolder::ParseDisplayName(const QString&,
                                                              std::uint32_t*) const {
    return std::nullopt;
}

} // namespace

int CompareSortKeys(const TSortKey& a, const TSortKey& b) {
    if (a.group != b.group)
        return a.group < b.group ? -1 : 1;
    if (a.rank != b.rank)
        return a.rank < b.rank ? -1 : 1;
    if (a.file != b.file)
        return a.file ? 1 : -1;
    if (a.first != b.first)
        return a.first < b.first ? -1 : 1;
    if (a.second != b.second)
        return a.second < b.second ? -1 : 1;
    // Only the type column fills in type names.
    if (!a.typeName.isEmpty() || !b.typeName.isEmpty()) {
        if (const int result = Sign(a.typeName.compare(b.typeName)))
            return result;
    }
    if (const int result = Sign(a.foldedName.compare(b.foldedName)))
        return result;
    if (const int result = Sign(a.name.compare(b.name)))
        return result;
    return Sign(a.idBytes.compare(b.idBytes));
}

TShellFolderPtr ShellDesktopFolder() {
    static const TShellFolderPtr desktop = std::make_shared<TDesktopFolder>();
    return desktop;
}
