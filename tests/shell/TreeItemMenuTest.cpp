#include "ShellTreeTestSupport.h"
#include "shell/SystemImageList.h"
#include "texts/Texts.h"

#include "support/EventLoopWait.h"
#include "support/TempFolder.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;

namespace {

// Closes every message box that comes up while it lives, keeping their texts.
class TBoxCatcher {
public:
    TBoxCatcher() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts << box->text();
                box->done(QMessageBox::Ok);
            }
        });
        m_timer.start(5);
    }
    QStringList texts;

private:
    QTimer m_timer;
};

// A tree set up as the window sets its source tree: files listed, read-only
// labels, no shell messages.
class TreeItemMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::ofstream(temp.Path() / "notes.txt") << "notes";
        std::ofstream(temp.Path() / "README") << "readme";
        fs::create_directory(temp.Path() / "alpha");
        tree = MakeShownTree(temp.Path(), TF_FOLDERS | TF_NONFOLDERS, [](TShellTreeView& t) {
            t.SetReadOnly(true);
            t.resize(300, 400);
        });
        ASSERT_NE(tree->RootNode(), nullptr);
    }

    // Chooses the item menu's rename on the node, as a user does from the keyboard.
    void ChooseRename(TShellNode* node) {
        tree->setCurrentItem(node);
        QTimer::singleShot(0, [] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            for (QAction* action : menu->actions()) {
                if (action->text() == QString::fromUtf8(Texts::MenuRename))
                    menu->setActiveAction(action);
            }
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(menu, &enter);
        });
        QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(-1, -1), QPoint(-1, -1));
        QApplication::sendEvent(tree->viewport(), &key);
    }

    // The open label editor; a closed one may wait for its deferred deletion.
    QLineEdit* Editor() const {
        for (QLineEdit* editor : tree->findChildren<QLineEdit*>()) {
            if (editor->isVisible())
                return editor;
        }
        return nullptr;
    }

    void Type(const QString& text) {
        ASSERT_NE(Editor(), nullptr);
        Editor()->setText(text);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(Editor(), &enter);
        QApplication::processEvents();
    }

    TScopedXdgHome xdg;
    TTempFolder temp;
    std::unique_ptr<TShellTreeView> tree;
};

TEST_F(TreeItemMenuTest, RenameFromTheMenuEditsTheLabelAndRenamesOnDisk) {
    TShellNode* notes = ChildNamed(tree->RootNode(), "notes.txt");
    ASSERT_NE(notes, nullptr);
    ChooseRename(notes);
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(Editor()->text(), "notes.txt");
    Type("diary.txt");
    EXPECT_EQ(notes->text(0), "diary.txt");
    EXPECT_EQ(notes->GetPath(), Text(temp.Path() / "diary.txt"));
    EXPECT_FALSE(fs::exists(temp.Path() / "notes.txt"));
    EXPECT_EQ(ReadFileBytes((temp.Path() / "diary.txt").string()), "notes");
    // The labels are read-only again: a key no longer starts an edit.
    EXPECT_FALSE(notes->flags() & Qt::ItemIsEditable);
    tree->editItem(notes);
    EXPECT_EQ(Editor(), nullptr);
}

TEST_F(TreeItemMenuTest, RefusedRenameShowsTheErrorAndChangesNothing) {
    struct TCase {
        const char* name;
        const char* newName;
        bool removeFirst; // the file vanishes while its label is edited
    };
    // No refresh may take the vanished file's node (and its editor) away first.
    tree->SetUpdAutoThread(false);
    for (const TCase& c :
         {TCase{"existing name", "README", false}, TCase{"vanished file", "other.txt", true}}) {
        SCOPED_TRACE(c.name);
        std::ofstream(temp.Path() / "notes.txt") << "notes";
        tree->RefreshAll();
        TShellNode* notes = ChildNamed(tree->RootNode(), "notes.txt");
        ASSERT_NE(notes, nullptr);
        ChooseRename(notes);
        if (c.removeFirst)
            fs::remove(temp.Path() / "notes.txt");
        TBoxCatcher boxes;
        Type(c.newName);
        // The box comes once the edit has ended.
        EXPECT_TRUE(WaitUntil([&] { return !boxes.texts.isEmpty(); }));
        ASSERT_EQ(boxes.texts.size(), 1);
        EXPECT_TRUE(boxes.texts[0].contains(Text(temp.Path() / "notes.txt")));
        EXPECT_EQ(ReadFileBytes((temp.Path() / "README").string()), "readme");
        EXPECT_FALSE(fs::exists(temp.Path() / "other.txt"));
        ASSERT_EQ(ChildNamed(tree->RootNode(), "notes.txt"), notes);
        EXPECT_FALSE(notes->flags() & Qt::ItemIsEditable);
        EXPECT_EQ(notes->GetPath(), Text(temp.Path() / "notes.txt"));
    }
}

TEST_F(TreeItemMenuTest, NodeDeletedWhileItsLabelIsEditedRenamesNothing) {
    ChooseRename(ChildNamed(tree->RootNode(), "notes.txt"));
    ASSERT_NE(Editor(), nullptr);
    Editor()->setText("other.txt");
    fs::rename(temp.Path() / "notes.txt", temp.Path() / "moved.txt");
    tree->RefreshAll(); // the node goes; its editor must not rename "moved.txt"
    EXPECT_EQ(ChildNamed(tree->RootNode(), "notes.txt"), nullptr);
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_TRUE(fs::exists(temp.Path() / "moved.txt"));
    EXPECT_FALSE(fs::exists(temp.Path() / "other.txt"));
}

TEST_F(TreeItemMenuTest, HotTrackMarksTheRowUnderTheMouse) {
    TShellNode* alpha = ChildNamed(tree->RootNode(), "alpha");
    tree->setCurrentItem(tree->RootNode());
    const QRect row = tree->visualItemRect(alpha);
    auto rowImage = [&] { return tree->viewport()->grab(row).toImage(); };
    auto moveTo = [&](QPoint point) {
        QMouseEvent move(QEvent::MouseMove, point, tree->viewport()->mapToGlobal(point),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(tree->viewport(), &move);
    };
    const QImage plain = rowImage();
    // Off: the mouse over the row changes nothing.
    moveTo(row.center());
    EXPECT_EQ(rowImage(), plain);
    // Set by name, as the window sets it.
    tree->setProperty("HotTrack", true);
    EXPECT_TRUE(tree->HotTrack());
    moveTo(row.center());
    EXPECT_NE(rowImage(), plain);
    moveTo(QPoint(row.center().x(), tree->viewport()->height() - 2));
    EXPECT_EQ(rowImage(), plain);
}

TEST_F(TreeItemMenuTest, IconsAreLookedUpForShownRowsOnly) {
    const fs::path many = temp.Path() / "many";
    fs::create_directory(many);
    const char* extensions[] = {".txt", ".png", ".tar.gz", ".pdf", ""};
    for (int i = 0; i < 400; ++i)
        std::ofstream(many / ("f" + std::to_string(1000 + i) + extensions[i % 5])) << i;
    TSystemImageList& images = TSystemImageList::Instance();
    tree->RefreshAll();
    TShellNode* folder = ChildNamed(tree->RootNode(), "many");
    ASSERT_NE(folder, nullptr);
    const int before = images.LookupCount();
    tree->ExpandNode(folder);
    ASSERT_EQ(folder->childCount(), 400);
    EXPECT_EQ(images.LookupCount(), before);

    // Each shown row gets the icon its own full name gives.
    auto shownRowsRight = [&] {
        tree->viewport()->grab();
        int shown = 0;
        for (int i = 0; i < folder->childCount(); ++i) {
            TShellNode* node = folder->Child(i);
            if (!tree->viewport()->rect().intersects(tree->visualItemRect(node)))
                continue;
            ++shown;
            EXPECT_EQ(node->ImageIndex(), images.IconIndexOfPath(node->GetPath()))
                << node->text(0).toStdString();
        }
        return shown;
    };
    const int shown = shownRowsRight();
    EXPECT_GT(shown, 0);
    EXPECT_LT(images.LookupCount() - before, 2 * shown + 50);
    tree->verticalScrollBar()->setValue(tree->verticalScrollBar()->maximum());
    EXPECT_GT(shownRowsRight(), 0);
    EXPECT_LT(images.LookupCount() - before, 400);
}

TEST_F(TreeItemMenuTest, LargeLevelIsSortedAsTheFolderComparesAndWatchedAfterwards) {
    const fs::path big = temp.Path() / "big";
    fs::create_directory(big);
    const char* extensions[] = {".txt", ".vrn", ".png", ""};
    for (int i = 0; i < 120; ++i) {
        std::ofstream(big / ("File" + std::to_string(i * 7 % 120) + extensions[i % 4]))
            << std::string(static_cast<std::size_t>(i % 9), 'x');
        if (i % 3 == 0)
            fs::create_directory(big / ("dir" + std::to_string(i)));
    }
    tree->RefreshAll();
    TShellNode* node = ChildNamed(tree->RootNode(), "big");
    ASSERT_NE(node, nullptr);
    tree->ExpandNode(node);
    ASSERT_EQ(node->childCount(), 160);

    // Its empty folders get their watches once the event loop runs.
    QApplication::processEvents();
    for (int i = 0; i < node->childCount(); ++i) {
        if (!node->Child(i)->IsFile()) {
            EXPECT_NE(node->Child(i)->Monitor(), nullptr);
        }
    }

    for (TFileSortType type : {so_Name, so_Size, so_Type, so_Date}) {
        for (TFileSortOrder order : {so_Ascending, so_Descending}) {
            SCOPED_TRACE(testing::Message() << "type " << type << " order " << order);
            tree->SetFileSortType(type);
            tree->SetFileSortOrder(order);
            std::vector<TShellNode*> expected;
            for (int i = 0; i < node->childCount(); ++i)
                expected.push_back(node->Child(i));
            std::sort(expected.begin(), expected.end(), [&](TShellNode* a, TShellNode* b) {
                const TLevelItem left{&a->RelativeIdList(), a->ShellAttributes()};
                const TLevelItem right{&b->RelativeIdList(), b->ShellAttributes()};
                return CompareLevelItems(*a->ParentFolder(), left, right, order, type) < 0;
            });
            QStringList captions;
            for (TShellNode* child : expected)
                captions << child->text(0);
            EXPECT_EQ(Captions(node), captions);
            // The sorted root level keeps the expanded folder as it was.
            EXPECT_EQ(ChildNamed(tree->RootNode(), "big"), node);
            EXPECT_TRUE(node->isExpanded());
        }
    }
}

} // namespace
