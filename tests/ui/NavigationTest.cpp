// The small commands around the window's trees on the real window, offscreen:
// the sort button and menu, the desktop buttons, the new-folder button,
// Shift+F12, Delete and Shift+Delete in the source tree, the glyphs, and where
// a restored window lands.

#include "WindowTestSupport.h"
#include "resources/ToolbarGlyphs.h"

#include <QAction>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

#include <optional>

namespace {

QImage Pixels(const QIcon& icon, QIcon::Mode mode = QIcon::Normal) {
    return icon.pixmap(QSize(16, 16), 1.0, mode).toImage();
}

class NavigationTest : public WindowTest {
protected:
    NavigationTest() {
        fs::create_directories(m_folder.Path() / "in/sub");
        fs::create_directories(m_folder.Path() / "out");
    }

    void Open(bool show = true) {
        WindowTest::Open(show);
        TMainFormDialogs& dialogs = m_window->Dialogs();
        dialogs.inputBox = [this](QWidget*, const QString& caption, const QString& prompt,
                                  QString& text) {
            m_asked.push_back(caption + "|" + prompt);
            text = m_typed.value_or(QString());
            return m_typed.has_value();
        };
        dialogs.confirmDelete = [this](QWidget*, const QString& path) {
            m_asked.push_back(path);
            return m_confirmDelete;
        };
    }

    // The captions of the level that holds the source tree's selection, in order.
    QStringList SelectedLevel() const {
        TShellNode* parent = Tree(true)->Selected();
        QStringList names;
        if (parent == nullptr || parent->ParentNode() == nullptr)
            return names;
        parent = parent->ParentNode();
        for (int i = 0; i < parent->childCount(); ++i)
            names << parent->Child(i)->text(0);
        return names;
    }

    std::vector<QString> m_asked;
    std::optional<QString> m_typed;
    bool m_confirmDelete = false;
};

} // namespace

TEST_F(NavigationTest, EveryGlyphHasAPlainAndAHotPicture) {
    for (int index = 0; index < VarnGlyphs::GlyphCount; ++index) {
        SCOPED_TRACE(index);
        const QIcon glyph = VarnGlyphs::Glyph(index);
        ASSERT_FALSE(glyph.isNull()) << VarnGlyphs::GlyphName(index).toStdString();
        EXPECT_NE(Pixels(glyph), Pixels(glyph, QIcon::Active));
        if (index > 0) {
            EXPECT_NE(Pixels(glyph), Pixels(VarnGlyphs::Glyph(index - 1)));
        }
    }
    EXPECT_TRUE(VarnGlyphs::Glyph(VarnGlyphs::GlyphCount).isNull());
    EXPECT_TRUE(VarnGlyphs::Glyph(-1).isNull());
}

// The stored SortMode and SortType give the tree's order, the checked item and
// the glyph; a click on the button turns the order round and is stored at exit.
TEST_F(NavigationTest, SortGlyphFollowsTheStoredSettings) {
    const struct {
        int sortMode, sortType;
        const char* checked;
        int glyph, glyphAfterClick;
    } cases[] = {
        {1, 0, "item_SortByName", 0, 1},   {1, 1, "item_SortByName", 1, 0},
        {2, 0, "item_SortByType", 7, 8},   {3, 0, "item_SortBySize", 9, 10},
        {4, 1, "item_SortByDate", 12, 11}, {9, 0, "item_SortByName", 0, 1},
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.glyph);
        {
            TRegistrySettings settings;
            settings.WriteInteger(SN::SectionMainWindow, SN::SortMode, item.sortMode);
            settings.WriteInteger(SN::SectionMainWindow, SN::SortType, item.sortType);
        }
        Open(false);
        auto* button = Find<QToolButton>("btnSortOrder");
        EXPECT_TRUE(Find<QAction>(item.checked)->isChecked());
        EXPECT_EQ(Pixels(button->icon()), Pixels(VarnGlyphs::Glyph(item.glyph)));
        button->click();
        EXPECT_EQ(Pixels(button->icon()), Pixels(VarnGlyphs::Glyph(item.glyphAfterClick)));
        Close();
        TRegistrySettings settings;
        EXPECT_EQ(settings.ReadInteger(SN::SectionMainWindow, SN::SortType, -1), 1 - item.sortType);
    }
}

TEST_F(NavigationTest, SortMenuAndButtonReorderTheSourceTree) {
    WriteFileBytes(m_folder / "in/a_big", std::string(1000, 'x'));
    WriteFileBytes(m_folder / "in/b_mid", std::string(100, 'x'));
    WriteFileBytes(m_folder / "in/c_small", "x");
    Open();
    Select(true, At("in/b_mid"));
    const QStringList byName = {"sub", "a_big", "b_mid", "c_small"};
    EXPECT_EQ(SelectedLevel(), byName);

    Find<QAction>("item_SortBySize")->trigger();
    EXPECT_TRUE(Find<QAction>("item_SortBySize")->isChecked());
    EXPECT_FALSE(Find<QAction>("item_SortByName")->isChecked());
    EXPECT_EQ(SelectedLevel(), (QStringList{"sub", "c_small", "b_mid", "a_big"}));
    EXPECT_EQ(Pixels(Find<QToolButton>("btnSortOrder")->icon()), Pixels(VarnGlyphs::Glyph(9)));

    Find<QToolButton>("btnSortOrder")->click();
    EXPECT_EQ(SelectedLevel(), (QStringList{"sub", "a_big", "b_mid", "c_small"}));
    Find<QAction>("item_SortByName")->trigger();
    EXPECT_EQ(SelectedLevel(), (QStringList{"sub", "c_small", "b_mid", "a_big"}));
    EXPECT_EQ(Pixels(Find<QToolButton>("btnSortOrder")->icon()), Pixels(VarnGlyphs::Glyph(1)));
}

TEST_F(NavigationTest, DesktopButtonsShowTheDesktopOneLevelDeep) {
    Open();
    Select(false, At("out"));
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

// The typed path goes below the target folder with every missing level; a
// refusal is shown naming the folder and leaves the disk as it was.
TEST_F(NavigationTest, NewFolderCreatesTheTypedPathOrSaysWhyNot) {
    WriteFileBytes(m_folder / "out/file", "in the way");
    const struct {
        std::optional<QString> typed;
        const char* made; // nullptr: nothing new
        const char* refused;
    } cases[] = {
        {QString("a/b"), "out/a/b", nullptr},
        {QString("Папка 1/Папка 2"), "out/Папка 1/Папка 2", nullptr},
        {QString("file/sub"), nullptr, "out/file"},
        {QString("   "), nullptr, nullptr},
        {std::nullopt, nullptr, nullptr}, // cancelled
    };
    Open();
    Select(false, At("out"));
    for (const auto& item : cases) {
        SCOPED_TRACE(item.typed.value_or("(cancel)").toStdString());
        const std::size_t entries = std::distance(
            fs::recursive_directory_iterator(m_folder / "out"), fs::recursive_directory_iterator());
        m_messages.clear();
        m_typed = item.typed;
        Find<QToolButton>("btnTargetNewFolder")->click();
        ASSERT_FALSE(m_asked.empty());
        EXPECT_EQ(m_asked.back(), "Нова папка|&Введіть шлях, наприклад: \"Папка 1/Папка 2\"");
        if (item.made != nullptr) {
            EXPECT_TRUE(fs::is_directory(m_folder / item.made));
        }
        if (item.refused != nullptr) {
            ASSERT_EQ(m_messages.size(), 1u);
            EXPECT_EQ(m_messages[0].caption, "Помилка");
            EXPECT_EQ(m_messages[0].icon, QMessageBox::Critical);
            EXPECT_TRUE(m_messages[0].text.contains(At(item.refused)))
                << m_messages[0].text.toStdString();
        } else {
            EXPECT_TRUE(m_messages.empty());
        }
        if (item.made == nullptr) {
            EXPECT_EQ(std::distance(fs::recursive_directory_iterator(m_folder / "out"),
                                    fs::recursive_directory_iterator()),
                      static_cast<std::ptrdiff_t>(entries));
        }
    }
    EXPECT_EQ(ReadFileBytes(m_folder / "out/file"), "in the way");
}

// Wherever the focus is, Shift+F12 sends the target tree to the folder that
// holds the source selection.
TEST_F(NavigationTest, ShiftF12SendsTheTargetToTheSourceFolder) {
    WriteFileBytes(m_folder / "in/sub/x.dat", "x");
    const struct {
        const char* source;
        const char* expected;
        const char* focus;
    } cases[] = {
        {"in/sub/x.dat", "in/sub", "shtSourceData"},
        {"in/sub/x.dat", "in/sub", "cbBytes"},
        {"in/sub", "in", "shtTargetData"},
    };
    Open();
    for (const auto& item : cases) {
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
}

// Delete trashes the selected item into the data home's trash; Shift+Delete
// asks and deletes for good only on yes; a delete that fails says so.
TEST_F(NavigationTest, DeleteKeysTrashOrDeleteTheSourceSelection) {
    TScopedHome home(m_folder.Path() / "home");
    const fs::path trash = m_home.DataHome() / "Trash/files";
    const struct {
        const char* name;
        Qt::KeyboardModifiers modifiers;
        bool answer;
        bool gone, trashed, asked;
    } cases[] = {
        {"to-trash.txt", Qt::NoModifier, false, true, true, false},
        {"kept.txt", Qt::ShiftModifier, false, false, false, true},
        {"for-good.txt", Qt::ShiftModifier, true, true, false, true},
    };
    for (const auto& item : cases)
        WriteFileBytes(m_folder / (std::string("in/") + item.name), item.name);
    Open();
    for (const auto& item : cases) {
        SCOPED_TRACE(item.name);
        const QString path = At(std::string("in/") + item.name);
        Select(true, path);
        m_asked.clear();
        m_confirmDelete = item.answer;
        SendKey(Tree(true), Qt::Key_Delete, item.modifiers, {}, QEvent::KeyRelease);
        EXPECT_EQ(fs::exists(path.toStdString()), !item.gone);
        EXPECT_EQ(fs::exists(trash / item.name), item.trashed);
        EXPECT_EQ(m_asked, item.asked ? std::vector<QString>{path} : std::vector<QString>{});
        EXPECT_TRUE(m_messages.empty());
    }
    // Gone behind the tree's back before its monitor has told it.
    Select(true, At("in/kept.txt"));
    fs::remove(m_folder / "in/kept.txt");
    SendKey(Tree(true), Qt::Key_Delete, Qt::NoModifier, {}, QEvent::KeyRelease);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0].caption, "Помилка");
    EXPECT_TRUE(m_messages[0].text.contains(At("in/kept.txt"))) << m_messages[0].text.toStdString();
}

// A position stored under another screen layout is brought back onto the
// primary screen; one that is on a screen stays.
TEST_F(NavigationTest, RestoredPositionOffEveryScreenMovesOntoThePrimary) {
    QScreen* primary = QGuiApplication::primaryScreen();
    ASSERT_NE(primary, nullptr);
    const QRect screen = primary->availableGeometry();
    const struct {
        QPoint stored;
        bool kept;
    } cases[] = {
        {{-30000, -30000}, false},
        {{screen.right() + 5000, screen.top() + 10}, false},
        {{screen.left() + 40, screen.top() + 30}, true},
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.stored.x());
        {
            TRegistrySettings settings;
            settings.WriteInteger(SN::SectionMainWindow, SN::Left, item.stored.x());
            settings.WriteInteger(SN::SectionMainWindow, SN::Top, item.stored.y());
        }
        Open(false);
        if (item.kept)
            EXPECT_EQ(m_window->pos(), item.stored);
        else
            EXPECT_TRUE(screen.contains(m_window->pos())) << m_window->x() << "," << m_window->y();
        m_window.reset();
    }
}
