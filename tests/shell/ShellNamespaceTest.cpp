#include "shell/ShellNamespace.h"
#include "shell/SystemImageList.h"
#include "texts/Texts.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <QDir>

#include <filesystem>
#include <set>

using namespace std::string_literals;

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

std::set<QString> Names(const TShellFolder& folder, unsigned flags) {
    std::set<QString> names;
    auto items = folder.EnumObjects(flags);
    if (!items)
        return names;
    TItemIdList item;
    while (items->Next(item))
        names.insert(folder.GetDisplayNameOf(item, SHGDN_NORMAL).value_or("?"));
    return names;
}

TItemIdList Entry(const std::string& name) {
    return TItemIdList::FromId(MakeItemId(ikEntry, name));
}

// A folder with every kind of entry the namespace tells apart.
class NamespaceFolder : public ::testing::Test {
protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        fs::create_directories(m_temp / "Alpha/inner");
        fs::create_directory(m_temp / "beta");
        fs::create_directory(m_temp / ".hiddendir");
        WriteFileBytes(m_temp / "file.txt", "twelve bytes");
        WriteFileBytes(m_temp / ".hidden", "h");
        fs::create_symlink(m_temp / "file.txt", m_temp / "link");
        fs::create_symlink(m_temp / "Alpha", m_temp / "dirlink");
        const std::optional<TItemIdList> list = ParsePathToIdList(Q(m_temp.Path()));
        ASSERT_TRUE(list);
        m_absolute = *list;
        m_folder = ShellDesktopFolder()->BindToObject(m_absolute);
        ASSERT_TRUE(m_folder);
    }

    std::uint32_t Attributes(const std::string& name, std::uint32_t request = 0xFFFFFFFF) {
        return m_folder->GetAttributesOf(Entry(name), request).value_or(0xDEADBEEF);
    }

    TScopedXdgHome m_xdg;
    TTempFolder m_temp;
    const TItemIdList m_inner = TItemIdList::Concat(Entry("Alpha"), Entry("inner"));
    TItemIdList m_absolute;
    TShellFolderPtr m_folder;
};

} // namespace

TEST_F(NamespaceFolder, PathsParseThroughComputerAndBackAndEnumerationFollowsTheFlags) {
    // Computer, the volume whose mount point starts the path, one entry each.
    ASSERT_GE(m_absolute.ItemCount(), 3u);
    EXPECT_EQ(SplitItemId(m_absolute.FirstId()).value().kind, ikComputer);
    const TItemIdParts volume = SplitItemId(m_absolute.WithoutFirstId()).value();
    EXPECT_EQ(volume.kind, ikVolume);
    EXPECT_EQ(m_temp.Path().string().rfind(volume.name, 0), 0u);
    EXPECT_EQ(SplitItemId(m_absolute.LastId()).value().name, m_temp.Path().filename().string());

    const auto file = ParsePathToIdList(Q(m_temp / "Alpha/inner"));
    ASSERT_TRUE(file);
    EXPECT_EQ(file->ItemCount(), m_absolute.ItemCount() + 2);
    EXPECT_EQ(PathFromIdList(*file), Q(m_temp / "Alpha/inner"));
    // Doubled separators and "." name the same item.
    EXPECT_EQ(ParsePathToIdList(Q(m_temp.Path().string() + "//Alpha/./inner/")), file);

    // What does not exist or is relative parses to nothing.
    for (const QString& bad : {Q(m_temp / "missing"), QString("relative/path"), QString()})
        EXPECT_FALSE(ParsePathToIdList(bad)) << bad.toStdString();

    // A folder parses names below itself and its own absolute paths only.
    EXPECT_EQ(m_folder->ParseDisplayName("Alpha/inner"), m_inner);
    EXPECT_EQ(m_folder->ParseDisplayName(Q(m_temp / "beta")), Entry("beta"));
    EXPECT_FALSE(m_folder->ParseDisplayName("../elsewhere"));
    EXPECT_FALSE(m_folder->ParseDisplayName("/"));
    std::uint32_t attributes = SFGAO_FOLDER | SFGAO_LINK;
    EXPECT_TRUE(m_folder->ParseDisplayName("dirlink", &attributes));
    EXPECT_EQ(attributes, SFGAO_FOLDER | SFGAO_LINK);

    // Display names: the caption, or the whole path for parsing.
    EXPECT_EQ(m_folder->GetDisplayNameOf(m_inner, SHGDN_NORMAL), "inner");
    EXPECT_EQ(m_folder->GetDisplayNameOf(m_inner, SHGDN_FORPARSING), Q(m_temp / "Alpha/inner"));

    using S = std::set<QString>;
    EXPECT_EQ(Names(*m_folder, SHCONTF_FOLDERS), (S{"Alpha", "beta", "dirlink"}));
    EXPECT_EQ(Names(*m_folder, SHCONTF_NONFOLDERS), (S{"file.txt", "link"}));
    EXPECT_EQ(Names(*m_folder, SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN),
              (S{"Alpha", "beta", "dirlink", ".hiddendir"}));
    EXPECT_EQ(Names(*m_folder, SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN),
              (S{"file.txt", "link", ".hidden"}));
    EXPECT_TRUE(Names(*m_folder, SHCONTF_INCLUDEHIDDEN).empty());

    // The end stays the end until Reset starts over.
    auto items = m_folder->EnumObjects(SHCONTF_FOLDERS);
    TItemIdList first;
    TItemIdList item;
    ASSERT_TRUE(items->Next(first));
    while (items->Next(item)) {
    }
    EXPECT_FALSE(items->Next(item));
    items->Reset();
    EXPECT_TRUE(items->Next(item) && item == first);

    // A folder that vanished lists nothing.
    const auto beta = m_folder->BindToObject(Entry("beta"));
    ASSERT_TRUE(beta);
    std::filesystem::remove(m_temp / "beta");
    EXPECT_EQ(beta->EnumObjects(SHCONTF_FOLDERS), nullptr);
}

TEST_F(NamespaceFolder, AttributesBindingCompareAndRenameFollowTheItem) {
    const std::uint32_t file = SFGAO_FILESYSTEM | SFGAO_CANRENAME | SFGAO_HASPROPSHEET;
    const std::uint32_t folder = file | SFGAO_FILESYSANCESTOR | SFGAO_FOLDER;
    EXPECT_EQ(Attributes("Alpha"), folder | SFGAO_HASSUBFOLDER);
    EXPECT_EQ(Attributes("beta"), folder);
    EXPECT_EQ(Attributes("dirlink"), folder | SFGAO_HASSUBFOLDER | SFGAO_LINK);
    EXPECT_EQ(Attributes("file.txt"), file);
    EXPECT_EQ(Attributes("link"), file | SFGAO_LINK);
    EXPECT_EQ(Attributes(".hidden", SFGAO_HIDDEN | SFGAO_FOLDER), SFGAO_HIDDEN);
    EXPECT_EQ(Attributes(".hiddendir", SFGAO_HIDDEN | SFGAO_FOLDER), SFGAO_HIDDEN | SFGAO_FOLDER);
    // Only the requested bits come back.
    EXPECT_EQ(Attributes("Alpha", SFGAO_FOLDER | SFGAO_LINK), SFGAO_FOLDER);
    EXPECT_EQ(Attributes("Alpha", SFGAO_TREEREQUEST) & SFGAO_HASSUBFOLDER, SFGAO_HASSUBFOLDER);
    // A link whose target is gone is still listed, as a file.
    std::filesystem::create_symlink(m_temp / "gone", m_temp / "dangling");
    EXPECT_EQ(Attributes("dangling") & (SFGAO_LINK | SFGAO_FOLDER), SFGAO_LINK);
    EXPECT_EQ(Attributes("missing"), 0xDEADBEEF);

    // Files, missing items, escaping ids and foreign kinds bind to nothing.
    for (const std::string& bad : {".."s, "."s, "a/b"s, ""s, "file.txt"s, "missing"s})
        EXPECT_FALSE(m_folder->BindToObject(Entry(bad))) << bad;
    for (const std::string& bad : {".."s, "."s, "a/b"s, ""s})
        EXPECT_FALSE(m_folder->GetAttributesOf(Entry(bad), SFGAO_FOLDER)) << bad;
    EXPECT_FALSE(m_folder->BindToObject(TItemIdList::Empty()));
    EXPECT_FALSE(m_folder->GetAttributesOf(TItemIdList::FromId("\x63zzz"), SFGAO_FOLDER));
    EXPECT_FALSE(m_folder->GetDisplayNameOf(TItemIdList(), SHGDN_NORMAL));
    EXPECT_FALSE(ShellDesktopFolder()->GetAttributesOf(
        TItemIdList::FromId(MakeItemId(ikVolume, "relative")), SFGAO_FOLDER));

    const auto inner = m_folder->BindToObject(m_inner);
    ASSERT_TRUE(inner);
    EXPECT_EQ(PathFromIdList(inner->AbsoluteIdList()), Q(m_temp / "Alpha/inner"));
    EXPECT_TRUE(m_folder->BindToObject(Entry("dirlink")));

    // Names differing only in case are different items, in a stable order; the
    // columns' orders are checked through the level order (ShellMasksTest).
    WriteFileBytes(m_temp / "apple", "a");
    WriteFileBytes(m_temp / "Apple", "A");
    const int forward = m_folder->CompareIDs(SHCOL_NAME, Entry("apple"), Entry("Apple"));
    EXPECT_NE(forward, 0);
    EXPECT_EQ(forward, -m_folder->CompareIDs(SHCOL_NAME, Entry("Apple"), Entry("apple")));
    EXPECT_EQ(m_folder->CompareIDs(SHCOL_SIZE, Entry("apple"), Entry("apple")), 0);
    EXPECT_LT(m_folder->CompareIDs(SHCOL_SIZE, Entry("beta"), Entry("apple")), 0); // folders first

    const auto desktop = ShellDesktopFolder();
    const TItemIdList alpha = *ParsePathToIdList(Q(m_temp / "Alpha"));
    EXPECT_EQ(desktop->CompareIDs(SHCOL_NAME, alpha, *ParsePathToIdList(Q(m_temp / "Alpha"))), 0);
    EXPECT_GT(desktop->CompareIDs(SHCOL_NAME, alpha, m_absolute), 0);
    EXPECT_NE(desktop->CompareIDs(SHCOL_NAME, alpha, *ParsePathToIdList(Q(m_temp / "beta"))), 0);

    // Rename moves the item, but never over another or to a bad name.
    QString error;
    const auto renamed =
        m_folder->SetNameOf(Entry("file.txt"), "renamed.txt", SHGDN_NORMAL, &error);
    ASSERT_TRUE(renamed) << error.toStdString();
    EXPECT_EQ(*renamed, Entry("renamed.txt"));
    EXPECT_FALSE(std::filesystem::exists(m_temp / "file.txt"));

    const auto moved = m_folder->SetNameOf(m_inner, "Внутрішня", SHGDN_NORMAL);
    ASSERT_TRUE(moved);
    EXPECT_EQ(*moved, TItemIdList::Concat(Entry("Alpha"), Entry(PathBytes("Внутрішня"))));
    EXPECT_TRUE(std::filesystem::is_directory(m_temp / "Alpha/Внутрішня"));

    WriteFileBytes(m_temp / "other.txt", "keep me");
    for (const QString& bad : {QString(""), QString("a/b"), QString(".."), QString("."),
                               QString(300, u'x'), QString("other.txt"), QString("beta")}) {
        QString error;
        EXPECT_FALSE(m_folder->SetNameOf(Entry("renamed.txt"), bad, SHGDN_NORMAL, &error))
            << bad.toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_EQ(ReadFileBytes(m_temp / "renamed.txt"), "twelve bytes");
    EXPECT_EQ(ReadFileBytes(m_temp / "other.txt"), "keep me");
    EXPECT_TRUE(std::filesystem::is_directory(m_temp / "beta"));
    // A vanished item is refused with a reason, which the tree shows.
    error.clear();
    EXPECT_FALSE(m_folder->SetNameOf(Entry("missing"), "x", SHGDN_NORMAL, &error));
    EXPECT_FALSE(error.isEmpty());
    // Nor can the computer or a volume be renamed.
    EXPECT_FALSE(desktop->SetNameOf(TItemIdList::FromId(MakeItemId(ikComputer)), "x", 0));
    EXPECT_FALSE(desktop->SetNameOf(*ParsePathToIdList("/"), "x", 0));
    // Renaming to the same name changes nothing and succeeds.
    EXPECT_EQ(m_folder->SetNameOf(Entry("beta"), "beta", 0), Entry("beta"));
}

TEST(ShellDesktop, HoldsComputerHomeVirtualFoldersTheDesktopDirectoryAndStableIcons) {
    TScopedXdgHome xdg;
    TTempFolder temp;
    TScopedHome userHome(temp.Path() / "home");
    const auto desktop = ShellDesktopFolder();
    const std::set<QString> names = Names(*desktop, SHCONTF_FOLDERS);
    for (const char* name :
         {Texts::ShellComputer, Texts::ShellHome, Texts::ShellTrash, Texts::ShellNetwork})
        EXPECT_TRUE(names.count(QString::fromUtf8(name))) << name;
    // The desktop as a root asks about itself with the empty list.
    EXPECT_EQ(desktop->GetAttributesOf(TItemIdList::Empty(), SFGAO_TREEREQUEST),
              SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER);
    EXPECT_FALSE(desktop->GetAttributesOf(TItemIdList(), SFGAO_TREEREQUEST));

    EXPECT_EQ(SpecialFolderLocation(PIDL_DESKTOP), TItemIdList::Empty());
    EXPECT_EQ(SpecialFolderLocation(17), SpecialFolderLocation(PIDL_DRIVES));
    EXPECT_FALSE(SpecialFolderLocation(PIDL_PRINTERS));
    EXPECT_FALSE(SpecialFolderLocation(PIDL_USERDEFINED));
    EXPECT_FALSE(SpecialFolderLocation(1)); // no such identifier
    EXPECT_FALSE(PathFromIdList(*SpecialFolderLocation(PIDL_PERSONAL)).isEmpty());
    const TItemIdList computer = *SpecialFolderLocation(PIDL_DRIVES);
    const TItemIdList trash = *SpecialFolderLocation(PIDL_BITBUCKET);
    const TItemIdList network = *SpecialFolderLocation(PIDL_NETWORK);
    // Virtual folders are neither file-system items nor ancestors of one.
    const std::uint32_t fileSystem = SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR;
    EXPECT_EQ(*desktop->GetAttributesOf(trash, fileSystem | SFGAO_FOLDER), SFGAO_FOLDER);
    EXPECT_EQ(*desktop->GetAttributesOf(network, fileSystem), 0u);
    EXPECT_EQ(*desktop->GetAttributesOf(computer, fileSystem), SFGAO_FILESYSANCESTOR);
    const auto home = TItemIdList::FromId(MakeItemId(ikHome));
    EXPECT_EQ(*desktop->GetAttributesOf(home, SFGAO_FILESYSTEM | SFGAO_CANRENAME),
              SFGAO_FILESYSTEM);
    EXPECT_EQ(PathFromIdList(home), QDir::homePath());
    for (const TItemIdList& item : {computer, trash, network}) {
        EXPECT_EQ(PathFromIdList(item), "");
        // Virtual items parse back from their parsing names.
        EXPECT_EQ(desktop->ParseDisplayName(*desktop->GetDisplayNameOf(item, SHGDN_FORPARSING)),
                  item);
    }
    EXPECT_EQ(PathFromIdList(TItemIdList::Empty()), "");
    EXPECT_TRUE(Names(*desktop->BindToObject(trash), SHCONTF_FOLDERS | SHCONTF_NONFOLDERS).empty());

    // Computer holds the volumes: folders that cannot be renamed.
    const auto volumes = desktop->BindToObject(computer);
    ASSERT_TRUE(volumes);
    EXPECT_TRUE(Names(*volumes, SHCONTF_NONFOLDERS).empty());
    const auto root = volumes->ParseDisplayName("/");
    ASSERT_TRUE(root);
    EXPECT_EQ(volumes->GetDisplayNameOf(*root, SHGDN_FORPARSING), "/");
    EXPECT_EQ(*volumes->GetAttributesOf(*root, SFGAO_FOLDER | SFGAO_CANRENAME | SFGAO_FILESYSTEM),
              SFGAO_FOLDER | SFGAO_FILESYSTEM);

    // The entries of the desktop directory the user-dirs file names.
    const std::string desktopDir = temp / "Стільниця";
    std::filesystem::create_directories(desktopDir + "/Projects");
    WriteFileBytes(desktopDir + "/notes.txt", "n");
    std::filesystem::create_directories(xdg.ConfigHome());
    WriteFileBytes((xdg.ConfigHome() / "user-dirs.dirs").string(),
                   "XDG_DESKTOP_DIR=\"" + desktopDir + "\"\n");

    const std::set<QString> folders = Names(*desktop, SHCONTF_FOLDERS);
    EXPECT_TRUE(folders.count("Projects"));
    EXPECT_FALSE(folders.count("notes.txt"));
    EXPECT_EQ(Names(*desktop, SHCONTF_NONFOLDERS), std::set<QString>{"notes.txt"});
    const TItemIdList notes = Entry("notes.txt");
    EXPECT_EQ(PathFromIdList(notes), Q(desktopDir + "/notes.txt"));
    EXPECT_EQ(*desktop->GetAttributesOf(notes, SFGAO_FILESYSTEM | SFGAO_FOLDER | SFGAO_CANRENAME),
              SFGAO_FILESYSTEM | SFGAO_CANRENAME);
    EXPECT_TRUE(desktop->BindToObject(Entry("Projects")));
    EXPECT_EQ(PathFromIdList(*SpecialFolderLocation(PIDL_DESKTOPDIRECTORY)), Q(desktopDir));

    // System image list indexes are stable per kind.
    for (const char* name : {"a.txt", "b.txt", "c.png"})
        WriteFileBytes(temp / name, name);
    std::filesystem::create_directory(temp / "dir");
    TSystemImageList& images = TSystemImageList::Instance();
    const int text = images.IconIndexOfPath(Q(temp / "a.txt"));
    const int count = images.Count();
    EXPECT_EQ(images.IconIndexOfPath(Q(temp / "b.txt")), text);
    EXPECT_EQ(images.Count(), count); // one kind, one icon
    EXPECT_NE(images.IconIndexOfPath(Q(temp / "c.png")), text);
    const TItemIdList folder = *ParsePathToIdList(Q(temp / "dir"));
    EXPECT_NE(images.IconIndexOf(folder), images.IconIndexOf(folder, true));
    // A file asked for its open icon answers its usual one.
    EXPECT_EQ(images.IconIndexOfPath(Q(temp / "a.txt"), true), text);
    EXPECT_FALSE(images.Icon(text).isNull());
    EXPECT_TRUE(images.Icon(images.Count()).isNull());
    EXPECT_FALSE(images.IconWithOverlay(text, OVERLAY_LINK).isNull());
    EXPECT_TRUE(images.IconWithOverlay(images.Count(), OVERLAY_LINK).isNull());
}
