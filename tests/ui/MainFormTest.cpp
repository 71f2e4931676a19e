// The real main window, offscreen, with its dialogs answered by the test: what
// the panel shows, what a split or unite from the window leaves on disk, and
// how the window comes back after a stop or an error.

#include "ui/MainForm.h"
#include "settings/RegistrySettings.h"
#include "settings/SettingNames.h"
#include "shell/ShellTreeView.h"
#include "support/EventLoopWait.h"
#include "support/TempFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;
namespace SN = SettingNames;

namespace {

QString BinFolder() {
    const char* folder = std::getenv("VARN_BIN_DIR");
    return folder != nullptr ? QString::fromUtf8(folder) : QString();
}

struct TShownMessage {
    int icon;
    QString caption;
    QString text;
};

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        fs::create_directories(m_folder.Path() / "in");
        fs::create_directories(m_folder.Path() / "out");
        fs::create_directories(m_folder.Path() / "back");
        // The 1,000 icon keys are not what these tests look at.
        TRegistrySettings settings;
        settings.WriteBool(SN::SectionSettings, SN::RestoreAssociations, false);
    }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    void Open() {
        m_window = std::make_unique<TMainFormVarnSplit>(TMainFormContext{BinFolder(), ""});
        TMainFormDialogs& dialogs = m_window->Dialogs();
        dialogs.confirmSplit = [this](QWidget*, const QString& name, int64_t blockSize,
                                      int64_t last, int64_t count, const QString& mode) {
            m_confirmed.push_back({name, blockSize, last, count, mode});
            return m_confirmAnswer;
        };
        dialogs.askForNextDisk = [this](QWidget*, bool splitting, int64_t diskID, int64_t,
                                        const QString& path, QString& newPath, bool& dontAsk) {
            m_askedDisks.push_back({splitting, diskID, path});
            if (m_onDisk)
                return m_onDisk(diskID, path, newPath, dontAsk);
            newPath = path;
            return true;
        };
        dialogs.askForFileDisk = [](QWidget*, bool, const QString& folder, QString& newFolder) {
            newFolder = folder;
            return true;
        };
        dialogs.askForChecksumFileDisk = [](QWidget*, const QString& folder, QString& newFolder) {
            newFolder = folder;
            return true;
        };
        dialogs.message = [this](QWidget*, int icon, const QString& caption, const QString& text) {
            m_messages.push_back({icon, caption, text});
        };
        dialogs.freeSpaceOf = [this](const std::string& path) {
            return m_freeSpace ? m_freeSpace(path) : int64_t{1} << 40;
        };
        m_window->show();
    }

    QString In(const std::string& name) const {
        return QString::fromStdString(m_folder / ("in/" + name));
    }
    QString Out(const std::string& name = "") const {
        return QString::fromStdString(m_folder / ("out/" + name));
    }

    template <typename T> T* Find(const char* name) const {
        T* found = m_window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString Text(const char* label) const { return Find<QLabel>(label)->text(); }
    bool Shown(const char* widget) const { return !Find<QWidget>(widget)->isHidden(); }

    // Selects a file in the source tree and a folder in the target tree.
    void Select(const QString& source, const QString& target) {
        Find<TShellTreeView>("shtTargetData")->SetPath(target);
        Find<TShellTreeView>("shtSourceData")->SetPath(source);
        ASSERT_TRUE(WaitUntil(
            [&] { return Find<TShellTreeView>("shtSourceData")->Path() == source; }, 5000))
            << "the source tree did not select " << source.toStdString();
    }

    void SetMode(TSplitMode mode) { Find<QComboBox>("cbMode")->setCurrentIndex(mode); }
    void SetBlockSize(const QString& text) {
        Find<QComboBox>("cbBytes")->setEditText(text);
        emit Find<QComboBox>("cbBytes")->lineEdit()->editingFinished();
    }

    // Presses the action button and waits for the operation to end.
    void Go(int limitMs = 60000) {
        bool ended = false;
        const auto connection = QObject::connect(
            m_window.get(), &TMainFormVarnSplit::OperationEnded, [&] { ended = true; });
        Find<QPushButton>("btnGo")->click();
        if (m_window->Busy()) {
            EXPECT_TRUE(WaitUntil([&] { return ended; }, limitMs));
        }
        QObject::disconnect(connection);
    }

    QString LastMessageCaption() const {
        return m_messages.empty() ? QString() : m_messages.back().caption;
    }

    struct TConfirm {
        QString name;
        int64_t blockSize, last, count;
        QString mode;
    };
    struct TAsked {
        bool splitting;
        int64_t diskID;
        QString path;
    };

    TScopedXdgHome m_home;
    TTempFolder m_folder;
    std::unique_ptr<TMainFormVarnSplit> m_window;
    std::vector<TConfirm> m_confirmed;
    std::vector<TAsked> m_askedDisks;
    std::vector<TShownMessage> m_messages;
    bool m_confirmAnswer = true;
    std::function<bool(int64_t, const QString&, QString&, bool&)> m_onDisk;
    std::function<int64_t(const std::string&)> m_freeSpace;
    int m_freeSpaceCalls = 0;
};

} // namespace

TEST_F(MainFormTest, PanelFollowsTheSelection) {
    WriteFileBytes(In("a.zip").toStdString(), PatternBytes(3000000, 1));
    Open();
    EXPECT_TRUE(Shown("laNoFile"));
    EXPECT_EQ(Text("laNoFile"), "файл не обраний");
    EXPECT_FALSE(Shown("btnGo"));

    Select(In("a.zip"), Out());
    EXPECT_FALSE(Shown("laNoFile"));
    EXPECT_EQ(Text("laTotalBlocksTitle"), "Буде блоків:");
    EXPECT_EQ(Text("laTotalBlocks"), "3");
    EXPECT_EQ(Text("laLastBlock"), "84,710 байт");
    EXPECT_EQ(Text("laExt"), ".zip");
    EXPECT_EQ(Text("laFileSize"), "3,000,000 байт");
    EXPECT_TRUE(Shown("btnGo"));
    EXPECT_EQ(Find<QPushButton>("btnGo")->text(), "&Розбити");
    EXPECT_EQ(m_window->windowTitle(), "a.zip — Varn split");

    Find<TShellTreeView>("shtSourceData")->SetPath(In(""));
    ASSERT_TRUE(WaitUntil([&] { return Shown("laNoFile"); }, 5000));
    EXPECT_FALSE(Shown("btnGo"));
    EXPECT_EQ(m_window->windowTitle(), "Varn split");
}

// The count shown (and confirmed) is what the split writes: the 38-byte header
// of a.zip, the stored comment with its CR LF, none in the plain modes.
TEST_F(MainFormTest, BlockCountsFollowModeSizeAndComment) {
    WriteFileBytes(In("a.zip").toStdString(), PatternBytes(3000000, 1));
    Open();
    Select(In("a.zip"), Out());
    const struct {
        TSplitMode mode;
        const char* blockSize;
        const char* comment;
        const char* count;
        const char* last;
    } cases[] = {
        {smNormal, "1,457,664", "", "3", "84,710 байт"},
        {smDOS, "1,457,664", "", "3", "84,672 байт"},
        {smVersion10, "1,457,664", "", "3", "84,706 байт"},
        {smWinSplit, "1000000", "", "3", "1,000,000 байт"},
        {smNormal, "1,000,000", "абв", "4", "46 байт"}, // 38 + 3000000 + 8
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.count);
        SetMode(item.mode);
        Find<QPlainTextEdit>("edComment")->setPlainText(item.comment);
        SetBlockSize(item.blockSize);
        EXPECT_EQ(Text("laTotalBlocks"), item.count);
        EXPECT_EQ(Text("laLastBlock"), item.last);
    }
    // A block the header does not fit in is refused before any question.
    SetMode(smNormal);
    SetBlockSize("34");
    Find<QPushButton>("btnGo")->click();
    EXPECT_TRUE(m_confirmed.empty());
    ASSERT_FALSE(m_messages.empty());
    EXPECT_EQ(m_messages.back().caption, "Помилка");
    EXPECT_TRUE(fs::is_empty(Out().toStdString()));
}

// Every mode through the window, then the set back through the window.
TEST_F(MainFormTest, SplitsInEveryModeAndUnitesTheSet) {
    const std::string whole = PatternBytes(250000, 7);
    WriteFileBytes(In("movie.dat").toStdString(), whole);
    Open();
    const struct {
        TSplitMode mode;
        const char* first;     // what the user selects to unite
        const char* lastPiece; // proof the set has all its pieces
    } cases[] = {
        {smNormal, "movie.vrn", "movie.002"},   {smVersion10, "movie.vrn", "movie.002"},
        {smWinSplit, "movie.wsp", "movie.003"}, {smDOS, nullptr, "movie.002"},
        {smSelfJoining, nullptr, "movie.001"},
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.lastPiece);
        Select(In("movie.dat"), Out());
        SetMode(item.mode);
        SetBlockSize(item.mode == smSelfJoining ? "1,000,000" : "100,000");
        m_messages.clear();
        Go();
        ASSERT_FALSE(m_messages.empty());
        EXPECT_EQ(LastMessageCaption(), "Розбивка завершена")
            << m_messages.back().text.toStdString();
        EXPECT_TRUE(fs::exists(Out(item.lastPiece).toStdString()));
        EXPECT_EQ(Find<QPushButton>("btnGo")->text(), "&Розбити");
        if (item.first != nullptr) {
            Select(Out(item.first), QString::fromStdString(m_folder / "back"));
            EXPECT_EQ(Find<QPushButton>("btnGo")->text(), "Об'&єднати");
            Go();
            EXPECT_EQ(LastMessageCaption(), "Об'єднання завершено");
            EXPECT_TRUE(ReadFileBytes(m_folder / "back/movie.dat") == whole);
            fs::remove(m_folder / "back/movie.dat");
        }
        Select(In("movie.dat"), Out()); // leave the set before it is removed
        for (const auto& entry : fs::directory_iterator(Out().toStdString()))
            fs::remove(entry.path());
    }
    EXPECT_EQ(m_confirmed.size(), 5u);
    EXPECT_EQ(m_confirmed.front().mode, "Звичайна розбивка");
}

TEST_F(MainFormTest, SelfJoiningSetsForWindowsAreChosenOnTheMorePageAndKept) {
    const std::string whole = PatternBytes(250000, 9);
    WriteFileBytes(In("movie.dat").toStdString(), whole);
    Open();
    Select(In("movie.dat"), Out());
    SetMode(smNormal);
    EXPECT_FALSE(Shown("cbWindowsStub"));
    SetMode(smSelfJoining);
    ASSERT_TRUE(Shown("cbWindowsStub"));
    Find<QCheckBox>("cbWindowsStub")->setChecked(true);
    EXPECT_TRUE(TRegistrySettings().ReadBool(SN::SectionSettings, SN::WindowsStub, false));

    const std::string stub = BinFolder().toStdString() + "/varnstub-win32.exe";
    SetBlockSize("1,000,000");
    Go();
    if (fs::exists(stub)) {
        EXPECT_EQ(LastMessageCaption(), "Розбивка завершена");
        const std::string image = ReadFileBytes(stub);
        EXPECT_EQ(ReadFileBytes(Out("movie.exe").toStdString()).substr(0, image.size()), image);
    } else {
        EXPECT_TRUE(m_messages.empty() ? false
                                       : m_messages.back().text == "Заглушку для Windows не "
                                                                   "встановлено.");
    }
    Select(In("movie.dat"), Out());
    m_window.reset();
    Open();
    EXPECT_TRUE(Find<QCheckBox>("cbWindowsStub")->isChecked());
}

TEST_F(MainFormTest, AnsweringNoWritesNothing) {
    WriteFileBytes(In("a.dat").toStdString(), PatternBytes(300000, 2));
    Open();
    Select(In("a.dat"), Out());
    SetBlockSize("100,000");
    m_confirmAnswer = false;
    Go();
    EXPECT_EQ(m_confirmed.size(), 1u);
    EXPECT_TRUE(fs::is_empty(Out().toStdString()));
    EXPECT_EQ(Find<QPushButton>("btnGo")->text(), "&Розбити");
}

// A stop asked for at the third piece ends the split there: the pieces written
// stay, the window comes back, and the split is reported as cancelled.
TEST_F(MainFormTest, StopMidwayRestoresTheWindow) {
    WriteFileBytes(In("a.dat").toStdString(), PatternBytes(1000000, 3));
    Open();
    Select(In("a.dat"), Out());
    SetBlockSize("100,000");
    m_freeSpace = [this](const std::string&) {
        if (++m_freeSpaceCalls == 3)
            m_window->TheStop();
        return int64_t{1} << 40;
    };
    Go();
    EXPECT_EQ(LastMessageCaption(), "Розбивка скасована");
    EXPECT_TRUE(fs::exists(Out("a.vrn").toStdString()));
    EXPECT_TRUE(fs::exists(Out("a.001").toStdString()));
    EXPECT_FALSE(fs::exists(Out("a.002").toStdString()));
    EXPECT_EQ(Find<QPushButton>("btnGo")->text(), "&Розбити");
    EXPECT_TRUE(Find<QPushButton>("btnGo")->isEnabled());
    EXPECT_TRUE(Find<QWidget>("shtSourceData")->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(Text("laCurrentBlock"), "");
}

// More pieces than 16-bit counters hold: the bar rises steadily to its end and
// the disk prompt still names the right piece out of the whole set.
TEST_F(MainFormTest, SetsOfMoreThan65535PiecesShowTheirProgressAndPrompts) {
    constexpr int64_t pieces = 65538;
    WriteFileBytes(In("a.dat").toStdString(), PatternBytes((pieces - 1) * 34 + 5, 4));
    Open();
    Select(In("a.dat"), Out());
    SetMode(smDOS);
    SetBlockSize("34");
    ASSERT_EQ(Text("laTotalBlocks"), QString::number(pieces));
    std::vector<int> bar;
    QObject::connect(Find<QProgressBar>("ProgressBar1"), &QProgressBar::valueChanged,
                     [&](int value) { bar.push_back(value); });
    m_freeSpace = [this](const std::string&) {
        return ++m_freeSpaceCalls == 65537 ? int64_t{0} : int64_t{1} << 40;
    };
    Go(280000); // tens of thousands of files take their time on a loaded machine
    EXPECT_EQ(LastMessageCaption(), "Розбивка завершена");
    ASSERT_EQ(m_askedDisks.size(), 1u);
    EXPECT_EQ(m_askedDisks[0].diskID, 65537);
    EXPECT_TRUE(fs::exists(Out("a.65537").toStdString()));
    ASSERT_GE(bar.size(), 3u);
    EXPECT_TRUE(std::is_sorted(bar.begin(), bar.end() - 1)); // the last one is the reset
    EXPECT_EQ(bar[bar.size() - 2], TMainFormVarnSplit::ProgressSteps);
}

// An error the engine raises is shown with its text naming the file, and the
// window is restored as after any other end.
TEST_F(MainFormTest, EngineErrorIsShownAndTheWindowRestored) {
    WriteFileBytes(In("a.dat").toStdString(), PatternBytes(300000, 4));
    Open();
    Select(In("a.dat"), Out());
    SetBlockSize("100,000");
    // The disk prompt hands the engine a folder that does not exist.
    m_freeSpace = [](const std::string&) { return int64_t{0}; };
    m_onDisk = [this](int64_t, const QString&, QString& newPath, bool&) {
        newPath = QString::fromStdString(m_folder / "missing/a.vrn");
        return true;
    };
    Go();
    ASSERT_FALSE(m_messages.empty());
    EXPECT_EQ(m_messages.back().caption, "Помилка");
    EXPECT_TRUE(m_messages.back().text.contains("missing/a.vrn"))
        << m_messages.back().text.toStdString();
    EXPECT_EQ(Find<QPushButton>("btnGo")->text(), "&Розбити");
    EXPECT_TRUE(Find<QWidget>("cbBytes")->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Too little room: every piece is asked for, and a piece goes where the prompt
// says; with AskForEachDisk the first piece asks, and "don't ask again" holds
// for the rest of the split while they fit.
TEST_F(MainFormTest, DiskPromptsFollowFreeSpaceAndTheDontAskChoice) {
    WriteFileBytes(In("a.dat").toStdString(), PatternBytes(300000, 5));
    fs::create_directories(m_folder.Path() / "disk2");
    Open();
    Select(In("a.dat"), Out());
    SetBlockSize("100,000");
    m_freeSpace = [](const std::string&) { return int64_t{1000}; };
    m_onDisk = [this](int64_t diskID, const QString& path, QString& newPath, bool&) {
        newPath = diskID == 2 ? QString::fromStdString(m_folder / "disk2/a.001") : path;
        return true;
    };
    Go();
    EXPECT_EQ(LastMessageCaption(), "Розбивка завершена");
    ASSERT_EQ(m_askedDisks.size(), 4u); // three pieces and the fourth with the last bytes
    EXPECT_EQ(m_askedDisks[0].diskID, 1);
    EXPECT_TRUE(m_askedDisks[0].splitting);
    EXPECT_TRUE(fs::exists(m_folder / "disk2/a.001"));

    for (const auto& entry : fs::directory_iterator(Out().toStdString()))
        fs::remove(entry.path());
    m_window.reset();
    TRegistrySettings settings;
    settings.WriteBool(SN::SectionSettings, SN::AskForEachDisk, true);
    Open();
    Select(In("a.dat"), Out());
    SetBlockSize("100,000");
    m_askedDisks.clear();
    m_freeSpace = nullptr;
    m_onDisk = [](int64_t, const QString& path, QString& newPath, bool& dontAsk) {
        newPath = path;
        dontAsk = true;
        return true;
    };
    Go();
    ASSERT_EQ(m_askedDisks.size(), 1u);
    EXPECT_EQ(m_askedDisks[0].diskID, 1);
}

TEST_F(MainFormTest, SettingsAreWrittenAtExitAndReadAtTheNextStart) {
    Open();
    m_window->resize(700, 500);
    m_window->close();
    m_window.reset();
    TRegistrySettings settings;
    EXPECT_EQ(settings.ReadInteger(SN::SectionMainWindow, SN::Width, 0), 700);
    EXPECT_EQ(settings.ReadInteger(SN::SectionMainWindow, SN::Height, 0), 500);
    settings.WriteInteger(SN::SectionSettings, SN::SplitMode, 3);
    settings.WriteInteger(SN::SectionSettings, SN::DefaultBlockSize, 123456);
    Open();
    EXPECT_EQ(m_window->width(), 700);
    EXPECT_EQ(Find<QComboBox>("cbMode")->currentIndex(), 3);
    EXPECT_EQ(Find<QComboBox>("cbBytes")->currentText(), "123,456");
}

TEST_F(MainFormTest, TakesTheDropOfOneFileOnly) {
    WriteFileBytes(In("a.dat").toStdString(), PatternBytes(300000, 6));
    WriteFileBytes(In("b.dat").toStdString(), PatternBytes(10, 6));
    Open();
    const auto dragEnter = [&](const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent event(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(m_window.get(), &event);
        return event.isAccepted();
    };
    EXPECT_FALSE(dragEnter({QUrl::fromLocalFile(In("a.dat")), QUrl::fromLocalFile(In("b.dat"))}));
    EXPECT_TRUE(dragEnter({QUrl::fromLocalFile(In("a.dat"))}));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(In("a.dat"))});
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_window.get(), &drop);
    EXPECT_TRUE(WaitUntil(
        [&] { return Find<TShellTreeView>("shtSourceData")->Path() == In("a.dat"); }, 5000));
}

// A missing piece is asked for, and when it is still missing the unite ends
// with the engine's fault, never as finished; an inspection starts without the
// stub size an earlier self-joining split left in the engine.
TEST_F(MainFormTest, IncompleteSetIsNeverReportedAsUnited) {
    WriteFileBytes(In("a.dat").toStdString(), PatternBytes(300000, 8));
    Open();
    Select(In("a.dat"), Out());
    SetBlockSize("100,000");
    Go();
    fs::remove(Out("a.001").toStdString());
    m_window->Engine().SetStubSize(5000);
    Select(Out("a.vrn"), QString::fromStdString(m_folder / "back"));
    EXPECT_EQ(m_window->Engine().StubSize(), 0);
    EXPECT_EQ(Text("laTotalBlocks"), "4");
    m_messages.clear();
    Go();
    ASSERT_FALSE(m_askedDisks.empty());
    EXPECT_FALSE(m_askedDisks.back().splitting);
    EXPECT_EQ(m_askedDisks.back().path, Out("a.001"));
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages.back().caption, "Помилка");
    EXPECT_TRUE(m_messages.back().text.contains(Out("a.001")));
    EXPECT_TRUE(fs::is_empty(m_folder / "back"));
}

// Closing the window while a split runs stops the engine, waits for it, and
// then closes: no cut piece is left and the window is gone.
TEST_F(MainFormTest, CloseDuringASplitStopsItFirst) {
    WriteFileBytes(In("a.dat").toStdString(), PatternBytes(1000000, 9));
    Open();
    Select(In("a.dat"), Out());
    SetBlockSize("100,000");
    m_freeSpace = [this](const std::string&) {
        if (++m_freeSpaceCalls == 2)
            m_window->close();
        return int64_t{1} << 40;
    };
    Find<QPushButton>("btnGo")->click();
    EXPECT_TRUE(m_window->Busy() || !m_window->isVisible());
    EXPECT_TRUE(WaitUntil([&] { return !m_window->isVisible(); }, 30000));
    EXPECT_FALSE(m_window->Busy());
    EXPECT_TRUE(fs::exists(Out("a.vrn").toStdString()));
    EXPECT_FALSE(fs::exists(Out("a.001").toStdString()));
    EXPECT_EQ(LastMessageCaption(), "Розбивка скасована");
}

TEST_F(MainFormTest, ChecksumOptionAndVerifyOfTheSelectedSet) {
    WriteFileBytes(In("a.dat").toStdString(), PatternBytes(300000, 4));
    Open();
    Select(In("a.dat"), Out());
    SetBlockSize("100,000");
    auto* option = Find<QCheckBox>("cbSum");
    EXPECT_TRUE(option->isChecked()); // on by default
    EXPECT_FALSE(Shown("btnVerify"));
    for (bool on : {false, true}) {
        option->setChecked(on);
        Go();
        EXPECT_EQ(fs::exists(Out("a.sha256").toStdString()), on);
    }

    Select(Out("a.vrn"), QString::fromStdString(m_folder / "back"));
    EXPECT_TRUE(Shown("btnVerify"));
    EXPECT_FALSE(Shown("cbSum"));
    struct TCase {
        const char* label;
        int icon;
        const char* part;
    };
    for (const TCase& test : {TCase{"intact", QMessageBox::Information, "неушкоджений"},
                              TCase{"flipped", QMessageBox::Warning, "a.001: пошкоджена"}}) {
        SCOPED_TRACE(test.label);
        if (std::string(test.label) == "flipped") {
            std::string bytes = ReadFileBytes(Out("a.001").toStdString());
            bytes[5] ^= 1;
            WriteFileBytes(Out("a.001").toStdString(), bytes);
        }
        m_messages.clear();
        Find<QPushButton>("btnVerify")->click();
        ASSERT_EQ(m_messages.size(), 1u);
        EXPECT_EQ(m_messages[0].caption, "Перевірка набору");
        EXPECT_EQ(m_messages[0].icon, test.icon);
        EXPECT_TRUE(m_messages[0].text.contains(test.part)) << m_messages[0].text.toStdString();
    }
    // The damaged set is not united, and deleting its pieces was not honoured.
    Find<QCheckBox>("cbDel")->setChecked(true);
    Go();
    EXPECT_EQ(LastMessageCaption(), "Помилка");
    EXPECT_TRUE(fs::is_empty(m_folder / "back"));
    EXPECT_TRUE(fs::exists(Out("a.001").toStdString()));

    m_window->close();
    m_window.reset();
    TRegistrySettings settings;
    EXPECT_TRUE(settings.ReadBool(SN::SectionSettings, SN::MakeChecksums, false));
}
