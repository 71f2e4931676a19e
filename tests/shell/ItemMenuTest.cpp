#include "shell/ItemMenu.h"
#include "shell/ShellNamespace.h"
#include "texts/QtTextFormat.h"
#include "texts/Texts.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMenu>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

class ItemMenu : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(m_temp / "folder");
        WriteFileBytes(m_temp / "folder/doc.txt", "document");
        m_folder = ShellDesktopFolder()->BindToObject(*ParsePathToIdList(Q(m_temp / "folder")));
        ASSERT_TRUE(m_folder);
    }

    TItemMenu MenuFor(const std::string& name) {
        return TItemMenu(m_folder, TItemIdList::FromId(MakeItemId(ikEntry, name)));
    }

    static QStringList Verbs(const TItemMenu& menu) {
        QStringList verbs;
        for (const TItemMenuCommand& command : menu.Commands())
            verbs << command.verb;
        return verbs;
    }

    TScopedXdgHome m_xdg;
    TTempFolder m_temp;
    TShellFolderPtr m_folder;
};

} // namespace

TEST_F(ItemMenu, CommandsHintOpenCopyRenamePropertiesAndDelete) {
    TItemMenu menu = MenuFor("doc.txt");
    EXPECT_EQ(Verbs(menu),
              (QStringList{"open", "openfolder", "copypath", "delete", "rename", "properties"}));
    for (const TItemMenuCommand& command : menu.Commands()) {
        EXPECT_FALSE(command.caption.isEmpty());
        EXPECT_FALSE(command.helpText.isEmpty());
    }
    const int remove = menu.IndexOfVerb("delete");
    EXPECT_EQ(menu.GetCommandString(remove, GCS_VERB), "delete");
    EXPECT_EQ(menu.GetCommandString(remove, GCS_HELPTEXT),
              QString::fromUtf8(Texts::MenuDeleteHelp));
    EXPECT_EQ(menu.GetCommandString(99, GCS_VERB), "");
    EXPECT_EQ(menu.HintOf(-1), "");
    EXPECT_EQ(menu.IndexOfVerb("format"), -1);

    // Virtual and missing items offer less.
    const TItemMenu bin(ShellDesktopFolder(), *SpecialFolderLocation(PIDL_BITBUCKET));
    EXPECT_EQ(Verbs(bin), (QStringList{"open", "properties"}));
    const TItemMenu root(ShellDesktopFolder(), *ParsePathToIdList("/"));
    EXPECT_EQ(Verbs(root), (QStringList{"open", "copypath", "properties"}));
    EXPECT_TRUE(MenuFor("missing").Commands().empty());
    EXPECT_TRUE(TItemMenu(nullptr, TItemIdList::Empty()).Commands().empty());

    // In a menu, the highlighted command becomes the application hint.
    QStringList seen;
    SetOnApplicationHint([&seen](const QString& hint) { seen << hint; });
    QMenu shown;
    menu.FillMenu(shown);
    ASSERT_EQ(shown.actions().size(), 6);
    EXPECT_EQ(shown.defaultAction(), shown.actions().front());
    const QString copyHelp = QString::fromUtf8(Texts::MenuCopyPathHelp);
    EXPECT_EQ(shown.actions().at(2)->statusTip(), copyHelp);
    shown.actions().at(2)->hover();
    EXPECT_EQ(ApplicationHint(), "copypath|" + copyHelp);
    emit shown.aboutToHide();
    SetOnApplicationHint(nullptr);
    EXPECT_EQ(seen, (QStringList{"copypath|" + copyHelp, ""}));

    QList<QUrl> opened;
    menu.OnOpenUrl = [&opened](const QUrl& url) {
        opened << url;
        return true;
    };
    EXPECT_TRUE(menu.InvokeCommand("open"));
    EXPECT_TRUE(menu.InvokeCommand("openfolder"));
    EXPECT_EQ(opened, (QList<QUrl>{QUrl::fromLocalFile(Q(m_temp / "folder/doc.txt")),
                                   QUrl::fromLocalFile(Q(m_temp / "folder"))}));
    ASSERT_TRUE(menu.InvokeCommand("copypath"));
    EXPECT_EQ(QApplication::clipboard()->text(), Q(m_temp / "folder/doc.txt"));

    menu.OnOpenUrl = [](const QUrl&) { return false; };
    EXPECT_FALSE(menu.InvokeCommand("open"));
    EXPECT_TRUE(menu.LastError().contains("doc.txt"));
    EXPECT_FALSE(menu.InvokeCommand("no-such-verb"));

    // Rename is left to the caller; the properties need their sheet.
    EXPECT_TRUE(menu.InvokeCommand("rename"));
    EXPECT_TRUE(fs::exists(m_temp / "folder/doc.txt"));

    int sheets = 0;
    menu.OnShowProperties = [&sheets](const TItemMenu& item) {
        ++sheets;
        EXPECT_EQ(item.ItemName(), "doc.txt");
    };
    EXPECT_TRUE(menu.InvokeCommand("properties"));
    EXPECT_EQ(sheets, 1);

    auto factsOf = [](const std::string& path, const QString& name) {
        const TPropertiesDialog dialog(Q(path), name);
        QMap<QString, QString> facts;
        for (const auto& [label, value] : dialog.Facts())
            facts.insert(label, value);
        return facts;
    };
    const auto facts = factsOf(m_temp / "folder/doc.txt", "doc.txt");
    EXPECT_EQ(facts.value(QString::fromUtf8(Texts::PropertiesName)), "doc.txt");
    EXPECT_EQ(facts.value(QString::fromUtf8(Texts::PropertiesPath)), Q(m_temp / "folder"));
    EXPECT_EQ(facts.value(QString::fromUtf8(Texts::PropertiesSize)),
              FormatQText(Texts::PropertiesSizeBytes, {"8"}));
    EXPECT_TRUE(facts.value(QString::fromUtf8(Texts::PropertiesPermissions)).startsWith("rw"));
    EXPECT_FALSE(facts.contains(QString::fromUtf8(Texts::PropertiesLinkTarget)));

    fs::create_symlink(m_temp / "folder/doc.txt", m_temp / "folder/alias");
    EXPECT_EQ(factsOf(m_temp / "folder/alias", "alias")
                  .value(QString::fromUtf8(Texts::PropertiesLinkTarget)),
              Q(m_temp / "folder/doc.txt"));
    const TPropertiesDialog missing(Q(m_temp / "folder/gone"), "gone");
    EXPECT_EQ(missing.Facts().back().second, QString::fromUtf8(Texts::PropertiesMissing));

    // ShowItemMenu needs an item, and the property-sheet bit for properties.
    const std::vector<TItemIdList> items{TItemIdList::FromId(MakeItemId(ikEntry, "doc.txt"))};
    EXPECT_FALSE(ShowItemMenu(nullptr, items, {}, nullptr, ima_Default, 0).success);
    EXPECT_FALSE(ShowItemMenu(m_folder, {}, {}, nullptr, ima_Default, 0).success);
    const TItemMenuResult result = ShowItemMenu(m_folder, items, {}, nullptr, ima_Properties, 0);
    EXPECT_EQ(std::pair(result.success, result.renameRequested), std::pair(false, false));
    const std::vector<TItemIdList> gone{TItemIdList::FromId(MakeItemId(ikEntry, "gone"))};
    EXPECT_FALSE(
        ShowItemMenu(m_folder, gone, {}, nullptr, ima_Properties, SFGAO_HASPROPSHEET).success);

    // Delete trashes; Shift+Delete asks, then deletes for good.
    TScopedHome home(m_temp.Path() / "home");
    const fs::path trash = m_xdg.DataHome() / "Trash";
    WriteFileBytes(m_temp / "folder/gone.txt", "gone");
    TItemMenu trashed = MenuFor("doc.txt");
    ASSERT_TRUE(trashed.InvokeCommand("delete")) << trashed.LastError().toStdString();
    EXPECT_FALSE(fs::exists(m_temp / "folder/doc.txt"));
    EXPECT_EQ(ReadFileBytes((trash / "files/doc.txt").string()), "document");
    EXPECT_TRUE(fs::exists(trash / "info/doc.txt.trashinfo"));
    // The item is gone, so trashing it again fails and says so.
    EXPECT_FALSE(trashed.InvokeCommand("delete"));
    EXPECT_FALSE(trashed.LastError().isEmpty());

    // Shift+Delete asks first; a refusal is no error and keeps the file.
    TItemMenu shifted = MenuFor("gone.txt");
    QString asked;
    shifted.OnConfirmDelete = [&asked](const QString& path) {
        asked = path;
        return false;
    };
    EXPECT_FALSE(shifted.InvokeCommand("delete", Qt::ShiftModifier));
    EXPECT_EQ(asked, Q(m_temp / "folder/gone.txt"));
    EXPECT_TRUE(shifted.LastError().isEmpty());
    EXPECT_EQ(ReadFileBytes(m_temp / "folder/gone.txt"), "gone");
    shifted.OnConfirmDelete = [](const QString&) { return true; };
    EXPECT_TRUE(shifted.InvokeCommand("delete", Qt::ShiftModifier));
    EXPECT_FALSE(fs::exists(m_temp / "folder/gone.txt"));
    EXPECT_FALSE(fs::exists(trash / "files/gone.txt"));

    // A link goes without what it points to; a folder goes with all it holds.
    fs::create_directory(m_temp / "precious");
    WriteFileBytes(m_temp / "precious/keep.bin", "keep");
    fs::create_directory_symlink(m_temp / "precious", m_temp / "folder/shortcut");
    fs::create_directories(m_temp / "folder/tree/sub");
    WriteFileBytes(m_temp / "folder/tree/sub/x", "x");
    for (const char* name : {"shortcut", "tree"}) {
        TItemMenu forGood = MenuFor(name);
        forGood.OnConfirmDelete = [](const QString&) { return true; };
        EXPECT_TRUE(forGood.InvokeCommand("delete", Qt::ShiftModifier)) << name;
        EXPECT_FALSE(fs::exists(fs::symlink_status(m_temp.Path() / "folder" / name))) << name;
    }
    EXPECT_EQ(ReadFileBytes(m_temp / "precious/keep.bin"), "keep");
}
