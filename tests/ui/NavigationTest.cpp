// The small commands around the window's trees: sort, desktop, new folder,
// Shift+F12, Delete; the glyphs, and where a restored window lands.

#include "WindowTestSupport.h"
#include "resources/ToolbarGlyphs.h"

#include <QAction>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

#include <optional>
#include <set>

namespace {

QImage Pixels(const QIcon& icon, QIcon::Mode mode = QIcon::Normal) {
    return icon.pixmap(QSize(16, 16), 1.0, mode).toImage();
}

using NavigationTest = WindowTest;

} // namespace

TEST_F(NavigationTest, EveryGlyphHasAPlainAndAHotPicture) {
    for (int index = 0; index < VarnGlyphs::GlyphCount; ++index) {
        SCOPED_TRACE(index);
        const QIcon glyph = VarnGlyphs::Glyph(index);
        ASSERT_FALSE(glyph.isNull()) << VarnGlyphs::GlyphName(index).toStdString();
        EXPECT_NE(Pixels(glyph), Pixels(glyph, QIcon::Active));
        EXPECT_TRUE(index == 0 || Pixels(glyph) != Pixels(VarnGlyphs::Glyph(index - 1)));
    }
    EXPECT_TRUE(VarnGlyphs::Glyph(VarnGlyphs::GlyphCount).isNull());
    EXPECT_TRUE(VarnGlyphs::Glyph(-1).isNull());
}

// The stored SortMode and SortType (0 is so_Descending, names A to Z) give
// the source tree's order, the checked item and the glyph; a click on the
// button turns the order round and is stored at exit; a menu item sorts by its
// key (the tree's own ordering is ShellTreeViewTest's). The stored position
// alternates one off every screen, which is brought onto the primary screen,
// and one on it, which stays.
TEST_F(NavigationTest, SortMenuButtonGlyphAndPositionFollowTheSettings) {
    QScreen* primary = QGuiApplication::primaryScreen();
    ASSERT_NE(primary, nullptr);
    const QRect screen = primary->availableGeometry();
    const struct {
        int sortMode, sortType;
        const char* checked;
        TFileSortType type;
        int glyph, glyphAfterClick;
    } cases[] = {
        {1, 0, "item_SortByName", so_Name, 0, 1},   {1, 1, "item_SortByName", so_Name, 1, 0},
        {2, 0, "item_SortByType", so_Type, 7, 8},   {3, 0, "item_SortBySize", so_Size, 9, 10},
        {4, 1, "item_SortByDate", so_Date, 12, 11}, {9, 0, "item_SortByName", so_Name, 0, 1},
    };
    bool offScreen = true;
    for (const auto& item : cases) {
        SCOPED_TRACE(item.glyph);
        offScreen = !offScreen;
        const QPoint stored = offScreen ? QPoint(screen.right() + 5000, screen.top() + 10)
                                        : QPoint(screen.left() + 40, screen.top() + 30);
        {
            TRegistrySettings settings;
            settings.WriteInteger(SN::SectionMainWindow, SN::SortMode, item.sortMode);
            settings.WriteInteger(SN::SectionMainWindow, SN::SortType, item.sortType);
            settings.WriteInteger(SN::SectionMainWindow, SN::Left, stored.x());
            settings.WriteInteger(SN::SectionMainWindow, SN::Top, stored.y());
        }
        Open(false);
        if (offScreen)
            EXPECT_TRUE(screen.contains(m_window->pos())) << m_window->x() << "," << m_window->y();
        else
            EXPECT_EQ(m_window->pos(), stored);
        auto* button = Find<QToolButton>("btnSortOrder");
        EXPECT_TRUE(Find<QAction>(item.checked)->isChecked());
        EXPECT_EQ(Tree(true)->FileSortType(), item.type);
        EXPECT_EQ(Tree(true)->FileSortOrder(), item.sortType == 0 ? so_Descending : so_Ascending);
        EXPECT_EQ(Pixels(button->icon()), Pixels(VarnGlyphs::Glyph(item.glyph)));
        button->click();
        EXPECT_EQ(Tree(true)->FileSortOrder(), item.sortType == 0 ? so_Ascending : so_Descending);
        EXPECT_EQ(Pixels(button->icon()), Pixels(VarnGlyphs::Glyph(item.glyphAfterClick)));
        Close();
        TRegistrySettings settings;
        EXPECT_EQ(settings.ReadInteger(SN::SectionMainWindow, SN::SortType, -1), 1 - item.sortType);
    }
    Open(false);
    Find<QAction>("item_SortBySize")->trigger();
    EXPECT_TRUE(Find<QAction>("item_SortBySize")->isChecked());
    EXPECT_FALSE(Find<QAction>("item_SortByName")->isChecked());
    EXPECT_EQ(Tree(true)->FileSortType(), so_Size);
    EXPECT_EQ(Pixels(Find<QToolButton>("btnSortOrder")->icon()), Pixels(VarnGlyphs::Glyph(10)));
}

// On one window: Shift+F12, wherever the focus is, sends the target tree to
// the folder of the source selection. A new folder's typed path goes below the
// target folder with every missing level; a refusal names the folder; a blank
// path or Cancel make nothing. Delete trashes into the data home's trash;
// Shift+Delete deletes for good only on yes; a failed delete says so. The
// desktop buttons show the desktop one level deep.
TEST_F(NavigationTest, TreeCommandsShiftF12NewFolderDeleteAndDesktop) {
    TScopedHome home(m_folder.Path() / "home");
    WriteFileBytes(m_folder / "in/sub/x.dat", "x");
    WriteFileBytes(m_folder / "out/file", "in the way");
    Open();
    const struct {
        const char* source;
        const char* expected;
        const char* focus;
    } shifts[] = {
        {"in/sub/x.dat", "in/sub", "shtSourceData"},
        {"in/sub/x.dat", "in/sub", "cbBytes"},
        {"in/sub", "in", "shtTargetData"},
    };
    for (const auto& item : shifts) {
        SCOPED_TRACE(std::string(item.source) + " " + item.focus);
        Select(false, At("out"));
        Select(true, At(item.source));
        SendKey(Find(item.focus), Qt::Key_F12, Qt::ShiftModifier);
        EXPECT_EQ(Tree(false)->Path(), At(item.expected));
    }
    // F12 alone is not the command.
    Select(false, At("out"));
    SendKey(Tree(true), Qt::Key_F12);
    EXPECT_EQ(Tree(false)->Path(), At("out"));

    const struct {
        std::optional<QString> typed;
        QString refused; // the folder named, if refused
    } folders[] = {
        {QString("Папка 1/Папка 2"), {}},
        {QString("file/sub"), At("out/file")},
        {QString("   "), {}},
        {std::nullopt, {}}, // cancelled
    };
    for (const auto& item : folders) {
        SCOPED_TRACE(item.typed.value_or("(cancel)").toStdString());
        m_messages.clear();
        m_asked.clear();
        m_typed = item.typed;
        Find<QToolButton>("btnTargetNewFolder")->click();
        EXPECT_EQ(m_asked.size(), 1u);
        EXPECT_TRUE(ShownOnce(m_messages, item.refused.isNull() ? nullptr : "Помилка", item.refused,
                              QMessageBox::Critical));
    }
    std::set<std::string> made;
    for (const auto& entry : fs::recursive_directory_iterator(m_folder / "out"))
        made.insert(fs::relative(entry.path(), m_folder / "out").string());
    EXPECT_EQ(made, (std::set<std::string>{"file", "Папка 1", "Папка 1/Папка 2"}));

    const fs::path trash = m_home.DataHome() / "Trash/files";
    const struct {
        const char* name;
        Qt::KeyboardModifiers modifiers;
        bool answer;
        bool gone, trashed, asked;
    } deletes[] = {
        {"to-trash.txt", Qt::NoModifier, false, true, true, false},
        {"kept.txt", Qt::ShiftModifier, false, false, false, true},
        {"for-good.txt", Qt::ShiftModifier, true, true, false, true},
    };
    m_messages.clear();
    for (const auto& item : deletes) {
        SCOPED_TRACE(item.name);
        const QString path = At(std::string("in/") + item.name);
        WriteFileBytes(path.toStdString(), item.name);
        Select(true, path);
        m_asked.clear();
        m_confirmDelete = item.answer;
        SendKey(Tree(true), Qt::Key_Delete, item.modifiers, {}, QEvent::KeyRelease);
        EXPECT_EQ(std::pair(fs::exists(path.toStdString()), fs::exists(trash / item.name)),
                  std::pair(!item.gone, item.trashed));
        EXPECT_EQ(m_asked, item.asked ? std::vector<QString>{path} : std::vector<QString>{});
        EXPECT_TRUE(m_messages.empty());
    }
    // Gone behind the tree's back before its monitor has told it.
    Select(true, At("in/kept.txt"));
    fs::remove(m_folder / "in/kept.txt");
    SendKey(Tree(true), Qt::Key_Delete, Qt::NoModifier, {}, QEvent::KeyRelease);
    EXPECT_TRUE(ShownOnce(m_messages, "Помилка", At("in/kept.txt")));

    for (const char* name : {"btnSourceDesktop", "btnTargetDesktop"}) {
        SCOPED_TRACE(name);
        TShellTreeView* tree = Tree(name[3] == 'S');
        Find<QToolButton>(name)->click();
        EXPECT_EQ(tree->RootPIDL(), PIDL_DESKTOP);
        ASSERT_NE(tree->RootNode(), nullptr);
        EXPECT_EQ(tree->Selected(), tree->RootNode());
        EXPECT_TRUE(tree->RootNode()->isExpanded());
        for (int i = 0; i < tree->RootNode()->childCount(); ++i)
            EXPECT_FALSE(tree->RootNode()->Child(i)->isExpanded());
    }
}
