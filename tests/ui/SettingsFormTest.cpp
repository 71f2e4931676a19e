// The settings dialog, answered by the test as it shows: what it loads, what
// OK stores and the window applies, what keeps it open, the designer's keys.

#include "ui/SettingsForm.h"
#include "WindowTestSupport.h"
#include "ui/FavoritesMenu.h"
#include "ui/FilterGrid.h"
#include "widgets/CheckBox95.h"

#include <QHeaderView>
#include <QRadioButton>
#include <QTreeWidget>

namespace {

class SettingsFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        m_realShowMessage = TSettingsForm::ShowMessage;
        TSettingsForm::ShowMessage = [this](QWidget*, int icon, const QString& caption,
                                            const QString& text) {
            m_messages.push_back({icon, caption, text});
        };
    }
    void TearDown() override {
        QLocale::setDefault(QLocale::c());
        TSettingsForm::OnShownForTest = nullptr;
        TSettingsForm::ShowMessage = m_realShowMessage;
    }

    std::string StorePath() const {
        return (m_home.ConfigHome() / "Oskel/Utilities/split/1.1/UA.ini").string();
    }
    // Runs ExecuteSettings with `answer` acting on the shown form.
    bool Execute(const std::function<void(TSettingsForm&)>& answer, QStringList& source,
                 QStringList& target) {
        TSettingsForm::OnShownForTest = answer;
        return ExecuteSettings(nullptr, source, target);
    }
    bool Execute(const std::function<void(TSettingsForm&)>& answer) {
        QStringList source, target;
        return Execute(answer, source, target);
    }

    static void Ok(TSettingsForm& form) { FindIn<QPushButton>(form, "btnOK")->click(); }
    // OK, and Cancel when OK refused to close the dialog.
    static void OkOrCancel(TSettingsForm& form) {
        Ok(form);
        if (form.isVisible())
            form.reject();
    }

    TScopedXdgHome m_home;
    std::vector<TShownMessage> m_messages;
    decltype(TSettingsForm::ShowMessage) m_realShowMessage;
};

} // namespace

// An empty store shows the defaults; every value OK writes is read back by the
// next dialog, an unlisted block size on top of its list. Restore-now
// registers the file type at once, and Cancel keeps it.
TEST_F(SettingsFormTest, DefaultsShowAndEveryValueRoundTrips) {
    const char* const boxes[] = {"cbShowHiddenFiles", "cbShowVirtualFolders",  "cbHotTrack",
                                 "cbFlatBtns",        "cbRestoreAssociations", "cbAskForEachDisk",
                                 "cbKeepOriginalExt"};
    const bool defaults[] = {true, false, false, true, true, false, false};
    EXPECT_FALSE(Execute([&](TSettingsForm& form) {
        EXPECT_EQ(form.Page(), TSettingsForm::pgGeneral);
        EXPECT_TRUE(FindIn<QRadioButton>(form, "rbGeneral")->isChecked());
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(FindIn<QCheckBox>(form, boxes[i])->isChecked(), defaults[i]) << boxes[i];
        EXPECT_NE(qobject_cast<TCheckBox95*>(FindIn<QCheckBox>(form, "cbRestoreAssociations")),
                  nullptr);
        const auto* bytes = FindIn<QComboBox>(form, "cbBytes");
        EXPECT_EQ(bytes->currentText(), "1,457,664");
        EXPECT_EQ(bytes->count(), 28) << "the stored size is listed once, in its place";
        EXPECT_EQ(bytes->currentIndex(), 3);
        EXPECT_EQ(FindIn<QComboBox>(form, "cbBuffer")->currentText(), "102,400");
        EXPECT_EQ(FindIn<QComboBox>(form, "cbMode")->currentIndex(), 0);
        EXPECT_EQ(FindIn<TFilterGrid>(form, "sgFilter")->Rows(), BuiltInFilters());
        for (const char* name : boxes)
            FindIn<QCheckBox>(form, name)->toggle();
        FindIn<QPushButton>(form, "btnRestoreAssociations")->click();
        form.reject();
    }));
    EXPECT_FALSE(fs::exists(StorePath())) << "Cancel stores nothing";
    EXPECT_TRUE(fs::exists(m_home.DataHome() / "mime/packages/varnsplit.xml"));
    EXPECT_TRUE(m_messages.empty());

    ASSERT_TRUE(Execute([&](TSettingsForm& form) {
        for (const char* name : boxes)
            FindIn<QCheckBox>(form, name)->toggle();
        FindIn<QComboBox>(form, "cbBytes")->setEditText("2 048 000");
        FindIn<QComboBox>(form, "cbBuffer")->setEditText("65536");
        FindIn<QComboBox>(form, "cbMode")->setCurrentIndex(smWinSplit);
        FindIn<TFilterGrid>(form, "sgFilter")->SetFilters({{"A", "*.a"}, {"", ""}, {"B", "*.b"}});
        Ok(form);
    }));
    QStringList stored;
    for (const char* name :
         {SN::ShowHiddenFiles, SN::ShowVirtualFolders, SN::HotTrack, SN::FlatBtns,
          SN::RestoreAssociations, SN::AskForEachDisk, SN::KeepOriginalExt, SN::DefaultBlockSize,
          SN::DefaultBufferSize, SN::SplitMode})
        stored << TRegistrySettings().ReadString(SN::SectionSettings, name, "?");
    EXPECT_EQ(stored, (QStringList{"0", "1", "1", "0", "0", "1", "1", "2048000", "65536", "3"}));

    ASSERT_FALSE(Execute([&](TSettingsForm& form) {
        for (int i = 0; i < 7; ++i)
            EXPECT_NE(FindIn<QCheckBox>(form, boxes[i])->isChecked(), defaults[i]) << boxes[i];
        const auto* bytes = FindIn<QComboBox>(form, "cbBytes");
        EXPECT_EQ(bytes->currentText(), "2,048,000");
        EXPECT_EQ(bytes->itemText(0), "2,048,000");
        EXPECT_EQ(bytes->count(), 29);
        EXPECT_EQ(FindIn<QComboBox>(form, "cbBuffer")->currentText(), "65,536");
        EXPECT_EQ(FindIn<QComboBox>(form, "cbMode")->currentIndex(), smWinSplit);
        EXPECT_EQ(FindIn<TFilterGrid>(form, "sgFilter")->Rows(),
                  (std::vector<TFilter>{{"A", "*.a"}, {"B", "*.b"}}));
        form.reject();
    }));
}

// After OK the window re-reads the view settings and the filters; the block
// size and the mode are only the next start's defaults (MainFormTest's).
TEST_F(SettingsFormTest, WindowAppliesTheSettingsAfterOk) {
    {
        TRegistrySettings settings;
        settings.WriteBool(SN::SectionSettings, SN::RestoreAssociations, false);
        settings.WriteString(SN::SectionSourceData, SN::Favorites, "A=/a\r\n");
    }
    auto window = std::make_unique<TMainFormVarnSplit>(TMainFormContext{});
    auto* source = FindIn<TShellTreeView>(*window, "shtSourceData");
    auto* calc = FindIn<QToolButton>(*window, "btnSizeCalc");
    auto* filter = FindIn<QComboBox>(*window, "cbFilter");
    EXPECT_EQ(std::tuple(source->Options().testFlag(TF_HIDDEN), calc->autoRaise(), filter->count()),
              std::tuple(true, true, 4));
    source->SetFileSortType(so_Size);
    window->Dialogs().message = [](QWidget*, int, const QString&, const QString&) {};

    TSettingsForm::OnShownForTest = [](TSettingsForm& form) {
        FindIn<QCheckBox>(form, "cbShowHiddenFiles")->setChecked(false);
        FindIn<QCheckBox>(form, "cbShowVirtualFolders")->setChecked(true);
        FindIn<QCheckBox>(form, "cbHotTrack")->setChecked(true);
        FindIn<QCheckBox>(form, "cbFlatBtns")->setChecked(false);
        FindIn<QComboBox>(form, "cbMode")->setCurrentIndex(smDOS);
        FindIn<TFilterGrid>(form, "sgFilter")->SetFilters({{"Архіви", "*.zip"}});
        FindIn<QTreeWidget>(form, "lvSource")->topLevelItem(0)->setText(0, "Z");
        Ok(form);
    };
    FindIn<QPushButton>(*window, "btnSettings")->click();
    const QList<QAction*> favorites =
        FindIn<TFavoritesMenu>(*window, "pmSourceFavorites")->actions();
    ASSERT_EQ(favorites.size(), 1);
    EXPECT_EQ(TFavoritesMenu::EntryCaption(favorites[0]), "Z");
    for (TShellTreeView* tree : {source, FindIn<TShellTreeView>(*window, "shtTargetData")}) {
        EXPECT_EQ(std::tuple(tree->Options().testFlag(TF_HIDDEN), tree->ShowVirtualFolders(),
                             tree->property("HotTrack").toBool()),
                  std::tuple(false, true, true));
    }
    EXPECT_FALSE(calc->autoRaise());
    EXPECT_EQ(source->FileSortType(), so_Size) << "the sort order is the window's own";
    EXPECT_EQ(std::pair(filter->count(), filter->itemText(0)), std::pair(2, QString("Архіви")));
    filter->setCurrentIndex(0);
    EXPECT_EQ(source->FileMask(), "*.zip");
    // The list had no all-files entry: one is appended, selected and applied.
    FindIn<QPushButton>(*window, "btnSettings")->click();
    EXPECT_EQ(std::tuple(filter->count(), filter->currentText(), source->FileMask()),
              std::tuple(2, QString("Всі файли"), QString("*.*")));
    EXPECT_EQ(FindIn<QComboBox>(*window, "cbMode")->currentIndex(), smNormal);
}

// A size box holding no size keeps the dialog open with a message naming the
// box, and nothing is stored; nor when the store cannot be written.
TEST_F(SettingsFormTest, SizesAreCheckedBeforeOk) {
    const struct {
        const char* box;
        const char* text;
        const char* problem; // "" when OK closes the dialog
        const char* stored;
    } cases[] = {
        {"cbBuffer", "abc", "Розмір буферу за замовчуванням: \"abc\" не є цілим числом", ""},
        {"cbBuffer", "12kb", "не є цілим числом", ""},
        {"cbBuffer", "0", "Розмір буферу за замовчуванням: розмір має бути не менше 1 байта.", ""},
        {"cbBuffer", "-5", "не менше 1 байта", ""},
        {"cbBuffer", "2147483648", "не може перевищувати 2,147,483,647 байтів", ""},
        {"cbBuffer", "99999999999999999999999", "не може перевищувати", ""},
        {"cbBytes", "0", "Розмір блоку за замовчуванням: розмір має бути не менше 1 байта.", ""},
        {"cbBuffer", "", "", "1457664"},
        {"cbBuffer", " 1,000 ", "", "1000"},
        {"cbBytes", "2147483647", "", "2147483647"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(std::string(test.box) + " '" + test.text + "'");
        m_messages.clear();
        fs::remove(StorePath());
        const bool closed = Execute([&](TSettingsForm& form) {
            FindIn<QComboBox>(form, test.box)->setEditText(test.text);
            OkOrCancel(form);
        });
        const bool refused = *test.problem != '\0';
        EXPECT_EQ(std::pair(closed, fs::exists(StorePath())), std::pair(!refused, !refused));
        const char* value =
            QString(test.box) == "cbBytes" ? SN::DefaultBlockSize : SN::DefaultBufferSize;
        EXPECT_EQ(TRegistrySettings().ReadString(SN::SectionSettings, value, ""), test.stored);
        EXPECT_TRUE(
            ShownOnce(m_messages, refused ? "Помилка" : nullptr, QString::fromUtf8(test.problem)));
    }
    // Filter rows the store could not read back keep it open on the designer.
    m_messages.clear();
    fs::remove(StorePath());
    EXPECT_FALSE(Execute([](TSettingsForm& form) {
        FindIn<TFilterGrid>(form, "sgFilter")->SetFilters({{"A|B", "*.a"}});
        OkOrCancel(form);
        EXPECT_EQ(form.Page(), TSettingsForm::pgFilter);
    }));
    EXPECT_TRUE(ShownOnce(m_messages, "Помилка", "\"|\""));
    EXPECT_FALSE(fs::exists(StorePath()));
    // A file where the store's folder should be: shown, and nothing handed back.
    m_messages.clear();
    fs::remove_all(m_home.ConfigHome() / "Oskel");
    WriteFileBytes(m_home.ConfigHome() / "Oskel", "in the way");
    QStringList source{"A=/a"}, target;
    EXPECT_FALSE(Execute(
        [](TSettingsForm& form) {
            delete FindIn<QTreeWidget>(form, "lvSource")->topLevelItem(0);
            Ok(form);
        },
        source, target));
    EXPECT_EQ(source, QStringList{"A=/a"});
    EXPECT_TRUE(ShownOnce(m_messages, "Помилка", "Налаштування не збережено"));
}

TEST_F(SettingsFormTest, FavoritesAreRenamedDeletedAndChecked) {
    TTempFolder folder;
    const QString existing = QString::fromStdString(folder.Path().string());
    QStringList source{"A=" + existing, "B=/nowhere/b", "C=/c", "D=/d"};
    QStringList target{"T=/t"};
    ASSERT_TRUE(Execute(
        [&](TSettingsForm& form) {
            auto* list = FindIn<QTreeWidget>(form, "lvSource");
            auto* page = list->parentWidget();
            const auto button = [&](const char* text) {
                for (auto* made : page->findChildren<QPushButton*>())
                    if (made->text() == QString::fromUtf8(text))
                        return made;
                return static_cast<QPushButton*>(nullptr);
            };
            ASSERT_EQ(list->topLevelItemCount(), 4);
            EXPECT_EQ(list->topLevelItem(1)->text(1), "/nowhere/b");
            button("&Видалити")->click(); // nothing selected: nothing happens
            EXPECT_EQ(list->topLevelItemCount(), 4);
            // Descriptions that the line form cannot hold are refused.
            for (const char* refused : {"x=y", "x\ny", "x\ry"}) {
                list->topLevelItem(0)->setText(0, refused);
                EXPECT_EQ(list->topLevelItem(0)->text(0), "A") << refused;
            }
            EXPECT_EQ(m_messages.size(), 3u);
            list->topLevelItem(0)->setText(0, "Нова назва");

            list->setCurrentItem(list->topLevelItem(0));
            button("Пе&ревірити шлях")->click();
            list->setCurrentItem(list->topLevelItem(1));
            button("Пе&ревірити шлях")->click();
            // Two deletions in a row at the same place: B, then C.
            button("&Видалити")->click();
            list->setCurrentItem(list->topLevelItem(1));
            button("&Видалити")->click();
            EXPECT_EQ(list->topLevelItemCount(), 2);
            EXPECT_EQ(list->topLevelItem(1)->text(0), "D");
            Ok(form);
        },
        source, target));
    EXPECT_EQ(source, (QStringList{"Нова назва=" + existing, "D=/d"}));
    EXPECT_EQ(target, QStringList{"T=/t"});
    QStringList captions;
    for (const TShownMessage& message : m_messages)
        captions << message.caption;
    EXPECT_EQ(captions, (QStringList{"Увага", "Увага", "Увага", "Інформація", "Увага"}));
    // Cancel hands nothing back.
    ASSERT_FALSE(Execute(
        [](TSettingsForm& form) {
            FindIn<QTreeWidget>(form, "lvSource")->topLevelItem(0)->setText(0, "Z");
            form.reject();
        },
        source, target));
    EXPECT_EQ(source, (QStringList{"Нова назва=" + existing, "D=/d"}));
}

// The designer's protected rows take no edit and no Delete; Down adds a row
// only after a filled last row, Insert always appends, Delete closes up.
TEST_F(SettingsFormTest, FilterDesignerKeysAndProtectedRows) {
    using TRows = std::vector<TFilter>;
    const TRows builtIns = BuiltInFilters();
    const TRows a{{"A", "*.a"}}, blank{{"", ""}}, noMask{{"A", " \t"}};
    const TRows ab{{"A", "*.a"}, {"B", ""}}, abBlank{ab[0], ab[1], blank[0]};
    const TRows closedUp{builtIns[0], builtIns[1], builtIns[3]};
    const struct {
        const char* name;
        TRows start;
        int row;
        Qt::Key key;
        QString text;
        TRows expected;
        int currentRow;
    } cases[] = {
        {"Delete on all files", builtIns, 0, Qt::Key_Delete, "", builtIns, 0},
        {"typing on all files", builtIns, 0, Qt::Key_X, "x", builtIns, 0},
        {"Delete closes up", builtIns, 2, Qt::Key_Delete, "", closedUp, 2},
        {"Delete on the only row clears it", a, 0, Qt::Key_Delete, "", blank, 0},
        {"Down on a filled last row", a, 0, Qt::Key_Down, "", {a[0], blank[0]}, 1},
        {"Down on a last row without mask", noMask, 0, Qt::Key_Down, "", noMask, 0},
        {"Insert appends", ab, 0, Qt::Key_Insert, "", abBlank, 0},
    };
    for (const auto& test : cases) {
        TFilterGrid grid(nullptr, 6, 12);
        grid.SetFilters(test.start);
        grid.setCurrentCell(test.row, TFilterGrid::colDescription);
        TapKey(&grid, test.key, test.text);
        EXPECT_EQ(grid.Rows(), test.expected) << test.name;
        EXPECT_EQ(grid.currentRow(), test.currentRow) << test.name;
        EXPECT_EQ(grid.findChild<QLineEdit*>(), nullptr) << test.name << ": no editor opened";
    }
    TFilterGrid grid(nullptr, 6, 12);
    grid.SetFilters(builtIns);
    grid.setCurrentCell(0, TFilterGrid::colMask);
    EXPECT_EQ(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
    grid.setCurrentCell(2, TFilterGrid::colMask);
    EXPECT_NE(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
    // A dragged row moves its contents; grid order is row order.
    grid.verticalHeader()->moveSection(3, 0);
    EXPECT_EQ(grid.Rows(), (TRows{builtIns[3], builtIns[0], builtIns[1], builtIns[2]}));
    EXPECT_EQ(grid.verticalHeader()->logicalIndex(0), 0);
    grid.SetFilters({});
    EXPECT_EQ(grid.rowCount(), 1) << "the grid keeps one row";
}

// The size boxes take only a size's keys and tidy up when left. SaveSettings
// refuses what OK refuses; failing at the filters, it stores nothing.
TEST_F(SettingsFormTest, SizeBoxesFilterKeysTidyUpAndRefuseToSave) {
    TRegistrySettings().WriteBool(SN::SectionSettings, SN::HotTrack, false);
    const std::string before = ReadFileBytes(StorePath());
    TSettingsForm form(nullptr, {}, {});
    form.LoadSettings(TRegistrySettings());
    for (const char* name : {"cbBytes", "cbBuffer"}) {
        QLineEdit* edit = FindIn<QComboBox>(form, name)->lineEdit();
        edit->clear();
        for (const char* typed : {"1", "a", " ", ",", "-", "2", "."})
            TapKey(edit, Qt::Key_unknown, typed);
        EXPECT_EQ(edit->text(), QString(name) == "cbBytes" ? "1 ,2" : "1a ,-2.") << name;
    }
    const std::pair<const char*, const char*> left[] = {
        {"12x", "12x"}, {"", "1,457,664"}, {" \t", "1,457,664"}, {"2 048 000", "2,048,000"}};
    for (const auto& [typed, shown] : left)
        for (const char* name : {"cbBytes", "cbBuffer"}) {
            QComboBox* box = FindIn<QComboBox>(form, name);
            box->setEditText(typed);
            emit box->lineEdit()->editingFinished();
            EXPECT_EQ(box->currentText(), shown) << name << " '" << typed << "'";
        }

    FindIn<QCheckBox>(form, "cbHotTrack")->setChecked(true);
    FindIn<QComboBox>(form, "cbBuffer")->setEditText("0");
    TRegistrySettings settings;
    EXPECT_THROW(form.SaveSettings(settings), ESettingsError);
    FindIn<QComboBox>(form, "cbBuffer")->setEditText("1000");
    FindIn<TFilterGrid>(form, "sgFilter")->SetFilters({{"A|B", "*.a"}});
    EXPECT_THROW(form.SaveSettings(settings), ESettingsError);
    EXPECT_EQ(ReadFileBytes(StorePath()), before);
}
