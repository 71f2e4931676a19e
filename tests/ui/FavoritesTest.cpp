// The favorites of both trees: what the add buttons, Ctrl+D and the dialog
// accept or refuse, what is stored, and where choosing an entry sends the tree.

#include "WindowTestSupport.h"
#include "ui/AddToFavoritesForm.h"
#include "ui/FavoritesMenu.h"

namespace {

class FavoritesTest : public WindowTest {
protected:
    FavoritesTest() {
        for (const char* name : {"Zeta", "alpha", "Data"})
            fs::create_directories(m_folder.Path() / name);
        WriteFileBytes(m_folder / "in/a.txt", "text");
    }
    void TearDown() override {
        TAddToFavoritesForm::OnShownForTest = nullptr;
        TAddToFavoritesForm::ShowError = [](QWidget*, const QString&) {};
    }
    // The add button, with `typed` (the proposal when null) and OK.
    void Add(bool source, const char* typed) {
        m_proposals.clear();
        TAddToFavoritesForm::OnShownForTest = [&](TAddToFavoritesForm& form) {
            auto* title = form.findChild<QLineEdit*>("edTitle");
            m_proposals << title->text();
            if (typed != nullptr)
                title->setText(QString::fromUtf8(typed));
            form.findChild<QPushButton*>("btnOK")->click();
        };
        Find<QToolButton>(source ? "btnSourceAddToFavorites" : "btnTargetAddToFavorites")->click();
    }

    QStringList Entries(bool source) const {
        QStringList entries;
        for (const QAction* entry :
             Find<TFavoritesMenu>(source ? "pmSourceFavorites" : "pmTargetFavorites")->actions())
            entries << TFavoritesMenu::EntryCaption(entry) + " -> " + entry->toolTip();
        return entries;
    }

    QStringList m_proposals;
};

} // namespace

TEST_F(FavoritesTest, AddedFavoritesAreSortedStoredRefusedAsDuplicatesAndChosen) {
    // Lines written by hand: a folder with a trailing slash, and one gone.
    TRegistrySettings().WriteString(SN::SectionTargetData, SN::Favorites,
                                    "Стара=" + At("alpha") + "/\r\nЗникла=" + At("gone") + "\r\n");
    Open();
    EXPECT_FALSE(Find<QToolButton>("btnSourceFavorites")->isEnabled());
    const struct {
        bool source;
        const char* folder;
        const char* typed;
        bool refused;
    } steps[] = {
        {false, "Zeta", nullptr, false},   {false, "alpha", nullptr, false},
        {false, "Zeta", "zeta", true},     // the same line, whatever the case
        {false, "alpha", "стара", true},   // the same folder, stored with a slash
        {false, "Zeta", "Остання", false}, // the same folder under another name
        {false, "Data", "zeta", false},    // the same name for another folder
        {true, "Zeta", "Zeta", false},     // the source list is a list of its own
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.folder);
        m_messages.clear();
        Select(step.source, At(step.folder));
        Add(step.source, step.typed);
        EXPECT_TRUE(ShownOnce(m_messages, step.refused ? "Помилка" : nullptr,
                              "Ця папка вже існує в Вибраному."));
    }
    EXPECT_EQ(m_proposals, QStringList{"Zeta"});
    EXPECT_TRUE(Find<QToolButton>("btnSourceFavorites")->isEnabled());
    EXPECT_EQ(Entries(false),
              (QStringList{"alpha -> " + At("alpha"), "zeta -> " + At("Data"),
                           "Zeta -> " + At("Zeta"), "Зникла -> " + At("gone"),
                           "Остання -> " + At("Zeta"), "Стара -> " + At("alpha") + "/"}));
    // Stored at once, in the menu's order (the line form is tests/settings').
    const TRegistrySettings stored;
    EXPECT_EQ(stored.ReadString(SN::SectionTargetData, SN::Favorites, ""),
              "alpha=" + At("alpha") + "\r\nzeta=" + At("Data") + "\r\nZeta=" + At("Zeta") +
                  "\r\nЗникла=" + At("gone") + "\r\nОстання=" + At("Zeta") +
                  "\r\nСтара=" + At("alpha") + "/\r\n");
    EXPECT_EQ(stored.ReadString(SN::SectionSourceData, SN::Favorites, ""),
              "Zeta=" + At("Zeta") + "\r\n");
    // Choosing an entry sends its tree to the folder, if it still exists.
    Select(true, At("in"));
    Select(false, At("in"));
    const struct {
        bool source;
        int entry;
        const char* expected;
    } choices[] = {{false, 3, "in"}, {false, 1, "Data"}, {true, 0, "Zeta"}};
    for (const auto& choice : choices) {
        SCOPED_TRACE(choice.entry);
        Find<TFavoritesMenu>(choice.source ? "pmSourceFavorites" : "pmTargetFavorites")
            ->actions()
            .at(choice.entry)
            ->trigger();
        EXPECT_TRUE(
            WaitUntil([&] { return Tree(choice.source)->Path() == At(choice.expected); }, 5000))
            << Tree(choice.source)->Path().toStdString();
    }
}

// Each answer ends with OK; what the dialog says and whether it closes. A
// description of one character, counted as the user sees it, is not taken.
TEST_F(FavoritesTest, DescriptionsThatWouldNotReadBackAreRefused) {
    const struct {
        const char* typed;
        bool accepted;
        bool refusedAloud;
    } cases[] = {
        {"ab", true, false},   {"x", false, false},   {"a=b", false, true},
        {"a\nb", false, true}, {"a\rb", false, true}, {"😀", false, false},
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.typed);
        int refusals = 0;
        bool stayedOpen = false;
        TAddToFavoritesForm::ShowError = [&](QWidget*, const QString&) { ++refusals; };
        TAddToFavoritesForm::OnShownForTest = [&](TAddToFavoritesForm& form) {
            form.findChild<QLineEdit*>("edTitle")->setText(QString::fromUtf8(item.typed));
            form.findChild<QPushButton*>("btnOK")->click();
            stayedOpen = form.isVisible();
            if (stayedOpen)
                form.findChild<QPushButton*>("btnCancel")->click();
        };
        QString description = "old";
        EXPECT_EQ(ExecuteAddToFavorites(nullptr, At("Data"), description), item.accepted);
        EXPECT_EQ(description, item.accepted ? QString::fromUtf8(item.typed) : QString());
        EXPECT_EQ(stayedOpen, !item.accepted);
        EXPECT_EQ(refusals, item.refusedAloud ? 1 : 0);
    }
}

// Ctrl+D opens the dialog only for a folder; a name with a line break would
// cut its stored line in two and is refused before asking. The proposal is the
// folder's name, or the tree's caption for the root.
TEST_F(FavoritesTest, CtrlDOpensTheDialogForAFolderWithItsProposal) {
    fs::create_directories(m_folder.Path() / "two\nlines");
    Open();
    Select(true, At("in/a.txt"));
    const struct {
        bool source;
        const char* folder;
        bool opens;
    } presses[] = {{true, nullptr, false}, {false, "alpha", true}, {false, "two\nlines", false}};
    for (const auto& press : presses) {
        if (press.folder != nullptr)
            Select(press.source, At(press.folder));
        QString shownPath;
        TAddToFavoritesForm::OnShownForTest = [&](TAddToFavoritesForm& form) {
            shownPath = form.findChild<QLineEdit*>("edPath")->text();
            SendKey(&form, Qt::Key_Escape);
        };
        SendKey(Tree(press.source), Qt::Key_D, Qt::ControlModifier);
        EXPECT_EQ(shownPath, press.opens ? At("alpha") : QString());
    }
    EXPECT_TRUE(Entries(false).isEmpty()) << "Escape cancels";
    EXPECT_TRUE(ShownOnce(m_messages, "Помилка", "Шлях папки"));

    EXPECT_EQ(ProposedDescription(At("Data") + "/"), "Data");
    Select(false, "/");
    const QString caption = Tree(false)->Selected()->text(0);
    EXPECT_FALSE(caption.isEmpty());
    Add(false, nullptr);
    EXPECT_EQ(m_proposals, QStringList{caption});
    EXPECT_EQ(Entries(false), QStringList{caption + " -> /"});
}
