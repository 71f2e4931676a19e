// The main window with its dialogs answered by the test: the panel, what a
// split or unite leaves on disk, how the window comes back after a stop or an error.

#include "WindowTestSupport.h"

#include <QDragEnterEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QUrl>

#include <algorithm>

namespace {

class MainFormTest : public WindowTest {
protected:
    QString In(const std::string& name) const { return At("in/" + name); }
    QString Out(const std::string& name = "") const {
        return name.empty() ? At("out") : At("out/" + name);
    }
    bool InOut(const std::string& name) const { return fs::exists(m_folder / ("out/" + name)); }
    void ClearOut() {
        for (const auto& entry : fs::directory_iterator(m_folder / "out"))
            fs::remove(entry.path());
    }
    // Selects a file in the source tree and a folder in the target tree.
    void Select(const QString& source, const QString& target) {
        WindowTest::Select(false, target);
        WindowTest::Select(true, source);
    }
    void SetMode(TSplitMode mode) { Find<QComboBox>("cbMode")->setCurrentIndex(mode); }
    void SetBlockSize(const QString& text) {
        Find<QComboBox>("cbBytes")->setEditText(text);
        emit Find<QComboBox>("cbBytes")->lineEdit()->editingFinished();
    }
    // A window with in/a.dat selected, to be cut into pieces in out/.
    void OpenWithSource(std::size_t size, unsigned seed, const QString& blockSize = "100,000") {
        WriteFileBytes(In("a.dat").toStdString(), PatternBytes(size, seed));
        Open();
        Select(In("a.dat"), Out());
        SetBlockSize(blockSize);
    }
    // Presses the action button and waits for the report or the window's close.
    void Go(int limitMs = 60000) {
        bool ended = false;
        const auto connection = QObject::connect(
            m_window.get(), &TMainFormVarnSplit::OperationEnded, [&] { ended = true; });
        Find<QPushButton>("btnGo")->click();
        if (m_window->Busy()) {
            EXPECT_TRUE(WaitUntil([&] { return ended || !m_window->isVisible(); }, limitMs));
        }
        QObject::disconnect(connection);
    }

    QString Blocks() const { return Text("laTotalBlocks") + " | " + Text("laLastBlock"); }
    std::pair<bool, bool> NoFileAndGoShown() const { return {Shown("laNoFile"), Shown("btnGo")}; }
    // The window is ready for the next command.
    void ExpectRestored() {
        EXPECT_EQ(std::tuple(Find<QPushButton>("btnGo")->text(), Find("btnGo")->isEnabled(),
                             Find("cbBytes")->isEnabled(), Find("shtSourceData")->isEnabled(),
                             QApplication::overrideCursor() == nullptr, Text("laCurrentBlock")),
                  std::tuple(QString("&Розбити"), true, true, true, true, QString()));
    }
};

} // namespace

// The window takes the drop of one file only; the panel follows the selection.
// The count is what the split writes: the 38-byte header of a.zip, the stored
// comment with its CR LF, none in the plain modes.
TEST_F(MainFormTest, PanelFollowsTheDroppedFileModeSizeAndComment) {
    WriteFileBytes(In("a.zip").toStdString(), PatternBytes(3000000, 1));
    WriteFileBytes(In("b.dat").toStdString(), PatternBytes(10, 6));
    Open();
    EXPECT_EQ(NoFileAndGoShown(), std::pair(true, false));

    WindowTest::Select(false, Out());
    QMimeData data;
    const auto dragEnter = [&](const QList<QUrl>& urls) {
        data.setUrls(urls);
        QDragEnterEvent event(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(m_window.get(), &event);
        return event.isAccepted();
    };
    EXPECT_FALSE(dragEnter({QUrl::fromLocalFile(In("a.zip")), QUrl::fromLocalFile(In("b.dat"))}));
    EXPECT_TRUE(dragEnter({QUrl::fromLocalFile(In("a.zip"))}));
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_window.get(), &drop);
    ASSERT_TRUE(WaitUntil([&] { return Tree(true)->Path() == In("a.zip"); }, 5000));
    EXPECT_EQ(NoFileAndGoShown(), std::pair(false, true));
    EXPECT_EQ(Blocks(), "3 | 84,710 байт");
    EXPECT_EQ(Text("laExt") + " " + Text("laFileSize"), ".zip 3,000,000 байт");
    EXPECT_EQ(m_window->windowTitle(), "a.zip — Varn split");

    const struct {
        TSplitMode mode;
        const char* blockSize;
        const char* comment;
        const char* blocks;
    } cases[] = {
        {smDOS, "1,457,664", "", "3 | 84,672 байт"},
        {smVersion10, "1,457,664", "", "3 | 84,706 байт"},
        {smWinSplit, "1000000", "", "3 | 1,000,000 байт"},
        {smNormal, "1,000,000", "абв", "4 | 46 байт"}, // 38 + 3000000 + 8
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.blocks);
        SetMode(item.mode);
        Find<QPlainTextEdit>("edComment")->setPlainText(item.comment);
        SetBlockSize(item.blockSize);
        EXPECT_EQ(Blocks(), item.blocks);
    }
    // A block too small for the header is refused before any question; no writes nothing.
    SetMode(smNormal);
    SetBlockSize("34");
    Find<QPushButton>("btnGo")->click();
    EXPECT_EQ(std::pair(m_confirmedModes.empty(), LastCaption()),
              std::pair(true, QString("Помилка")));
    SetBlockSize("1,000,000");
    m_confirmAnswer = false;
    Go();
    EXPECT_EQ(std::tuple(m_confirmedModes.size(), fs::is_empty(m_folder / "out"),
                         Find<QPushButton>("btnGo")->text()),
              std::tuple(1u, true, QString("&Розбити")));

    Tree(true)->SetPath(In(""));
    ASSERT_TRUE(WaitUntil([&] { return Shown("laNoFile"); }, 5000));
    EXPECT_EQ(NoFileAndGoShown(), std::pair(true, false));
    EXPECT_EQ(m_window->windowTitle(), "Varn split");
}

// Every mode splits and its set unites. The Windows stub choice, the size
// and the stored defaults come back at the next start.
TEST_F(MainFormTest, SplitsInEveryModeUnitesAndKeepsTheChoicesToTheNextStart) {
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
        EXPECT_EQ(LastCaption(), "Розбивка завершена");
        EXPECT_TRUE(InOut(item.lastPiece));
        if (item.first != nullptr) {
            Select(Out(item.first), At("back"));
            EXPECT_EQ(Find<QPushButton>("btnGo")->text(), "Об'&єднати");
            Go();
            EXPECT_EQ(LastCaption(), "Об'єднання завершено");
            EXPECT_TRUE(ReadFileBytes(m_folder / "back/movie.dat") == whole);
            fs::remove(m_folder / "back/movie.dat");
        }
        Select(In("movie.dat"), Out()); // leave the set before it is removed
        ClearOut();
    }
    EXPECT_EQ(m_confirmedModes.size(), 5u);
    EXPECT_EQ(m_confirmedModes.front(), "Звичайна розбивка");

    m_messages.clear();
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
        EXPECT_EQ(LastCaption(), "Розбивка завершена");
        const std::string image = ReadFileBytes(stub);
        EXPECT_EQ(ReadFileBytes(Out("movie.exe").toStdString()).substr(0, image.size()), image);
    } else {
        // Without the stub the split falls back to the normal mode, and says why.
        ASSERT_FALSE(m_messages.empty());
        EXPECT_EQ(m_messages.front().text, "Заглушку для Windows не встановлено.");
        EXPECT_EQ(Find<QComboBox>("cbMode")->currentIndex(), smNormal);
    }
    // The size is written at exit; the rest is read at the next start.
    Select(In("movie.dat"), Out());
    m_window->resize(820, 560);
    Close();
    TRegistrySettings settings;
    settings.WriteInteger(SN::SectionSettings, SN::SplitMode, 3);
    settings.WriteInteger(SN::SectionSettings, SN::DefaultBlockSize, 123456);
    settings.WriteBool(SN::SectionSettings, SN::FlatBtns, false);
    Open();
    EXPECT_EQ(std::tuple(Find<QCheckBox>("cbWindowsStub")->isChecked(), m_window->size(),
                         Find<QToolButton>("btnSizeCalc")->autoRaise(),
                         Find<QComboBox>("cbMode")->currentIndex(),
                         Find<QComboBox>("cbBytes")->currentText()),
              std::tuple(true, QSize(820, 560), false, 3, QString("123,456")));
}

// A stop, or closing the window, while a piece is being prepared ends the
// split there: the pieces written stay, none is cut short, it is reported as
// cancelled.
TEST_F(MainFormTest, StopOrCloseMidwayKeepsTheWrittenPiecesOnly) {
    const struct {
        bool close;
        int atCall; // the free space question that stops
        const char* lastKept;
        const char* firstMissing;
    } cases[] = {{false, 3, "a.001", "a.002"}, {true, 2, "a.vrn", "a.001"}};
    for (const auto& item : cases) {
        SCOPED_TRACE(item.close ? "close" : "stop");
        ClearOut();
        OpenWithSource(1000000, 3);
        m_freeSpaceCalls = 0;
        m_freeSpace = [&](const std::string&) {
            if (m_freeSpaceCalls == item.atCall) {
                if (item.close)
                    m_window->close();
                else
                    m_window->TheStop();
            }
            return int64_t{1} << 40;
        };
        Go();
        EXPECT_EQ(LastCaption(), "Розбивка скасована");
        EXPECT_EQ(std::tuple(InOut(item.lastKept), InOut(item.firstMissing), m_window->Busy(),
                             m_window->isVisible()),
                  std::tuple(true, false, false, !item.close));
        if (!item.close)
            ExpectRestored();
        m_freeSpace = nullptr;
    }
}

// More pieces than 16-bit counters hold: the bar rises steadily to its end,
// the disk prompt names the right piece.
TEST_F(MainFormTest, SetsOfMoreThan65535PiecesShowTheirProgressAndPrompts) {
    constexpr int64_t pieces = 65538;
    OpenWithSource((pieces - 1) * 34 + 5, 4, "34");
    SetMode(smDOS);
    ASSERT_EQ(Text("laTotalBlocks"), QString::number(pieces));
    std::vector<int> bar;
    QObject::connect(Find<QProgressBar>("ProgressBar1"), &QProgressBar::valueChanged,
                     [&](int value) { bar.push_back(value); });
    m_freeSpace = [this](const std::string&) {
        return m_freeSpaceCalls == 65537 ? int64_t{0} : int64_t{1} << 40;
    };
    Go(280000); // tens of thousands of files take their time on a loaded machine
    EXPECT_EQ(LastCaption(), "Розбивка завершена");
    EXPECT_EQ(m_askedDisks, (std::vector<TAsked>{{true, 65537, Out("a.65536")}}));
    EXPECT_TRUE(InOut("a.65537"));
    ASSERT_GE(bar.size(), 3u);
    EXPECT_TRUE(std::is_sorted(bar.begin(), bar.end() - 1)); // the last one is the reset
    EXPECT_EQ(bar[bar.size() - 2], TMainFormVarnSplit::ProgressSteps);
}

// Too little room: every piece is asked for and goes where the prompt says;
// with AskForEachDisk the first asks and "don't ask again" holds while they
// fit. A prompt's missing folder ends in the engine's error naming the file.
TEST_F(MainFormTest, DiskPromptsFollowFreeSpaceAndTheDontAskChoice) {
    fs::create_directories(m_folder.Path() / "disk2");
    OpenWithSource(300000, 5);
    m_freeSpace = [](const std::string&) { return int64_t{1000}; };
    m_onDisk = [this](int64_t diskID, const QString& path, QString& newPath, bool&) {
        newPath = diskID == 2 ? At("disk2/a.001") : path;
        return true;
    };
    Go();
    EXPECT_EQ(LastCaption(), "Розбивка завершена");
    // Three pieces and the fourth with the last bytes.
    EXPECT_EQ(m_askedDisks, (std::vector<TAsked>{{true, 1, Out("a.vrn")},
                                                 {true, 2, Out("a.001")},
                                                 {true, 3, At("disk2/a.002")},
                                                 {true, 4, At("disk2/a.003")}}));
    EXPECT_TRUE(fs::exists(m_folder / "disk2/a.001"));

    ClearOut();
    m_window.reset();
    TRegistrySettings().WriteBool(SN::SectionSettings, SN::AskForEachDisk, true);
    OpenWithSource(300000, 5);
    m_askedDisks.clear();
    m_freeSpace = nullptr;
    m_onDisk = [](int64_t, const QString& path, QString& newPath, bool& dontAsk) {
        newPath = path;
        dontAsk = true;
        return true;
    };
    Go();
    EXPECT_EQ(m_askedDisks, (std::vector<TAsked>{{true, 1, Out("a.vrn")}}));

    ClearOut();
    m_onDisk = [this](int64_t, const QString&, QString& newPath, bool&) {
        newPath = At("missing/a.vrn");
        return true;
    };
    m_messages.clear();
    Go();
    EXPECT_TRUE(ShownOnce(m_messages, "Помилка", "missing/a.vrn"));
    ExpectRestored();
}

// The checksum option, the verify button, and the unite of a damaged or
// incomplete set: never reported as united; a missing piece is asked for,
// then ends the unite with the engine's fault. An inspection starts without
// the stub size an earlier self-joining split left in the engine.
TEST_F(MainFormTest, ChecksumOptionAndVerifyOfTheSelectedSet) {
    OpenWithSource(300000, 4);
    auto* option = Find<QCheckBox>("cbSum");
    // On by default; the verify button is for a selected set.
    EXPECT_EQ(std::pair(option->isChecked(), Shown("btnVerify")), std::pair(true, false));
    for (bool on : {false, true}) {
        option->setChecked(on);
        Go();
        EXPECT_EQ(InOut("a.sha256"), on);
    }

    Select(Out("a.vrn"), At("back"));
    EXPECT_EQ(std::pair(Shown("btnVerify"), Shown("cbSum")), std::pair(true, false));
    const struct {
        bool flip;
        int icon;
        const char* part;
    } cases[] = {{false, QMessageBox::Information, "неушкоджений"},
                 {true, QMessageBox::Warning, "a.001: пошкоджена"}};
    for (const auto& test : cases) {
        SCOPED_TRACE(test.part);
        if (test.flip) {
            std::string bytes = ReadFileBytes(Out("a.001").toStdString());
            bytes[5] ^= 1;
            WriteFileBytes(Out("a.001").toStdString(), bytes);
        }
        m_messages.clear();
        Find<QPushButton>("btnVerify")->click();
        EXPECT_TRUE(ShownOnce(m_messages, "Перевірка набору", test.part, test.icon));
    }
    // The damaged set is not united, and its pieces are not deleted.
    Find<QCheckBox>("cbDel")->setChecked(true);
    Go();
    EXPECT_EQ(std::tuple(LastCaption(), fs::is_empty(m_folder / "back"), InOut("a.001")),
              std::tuple(QString("Помилка"), true, true));

    fs::remove(Out("a.001").toStdString());
    m_window->Engine().SetStubSize(5000);
    Select(In("a.dat"), Out());
    Select(Out("a.vrn"), At("back"));
    EXPECT_EQ(m_window->Engine().StubSize(), 0);
    EXPECT_EQ(Text("laTotalBlocks"), "4");
    m_messages.clear();
    Go();
    EXPECT_EQ(m_askedDisks, (std::vector<TAsked>{{false, 2, Out("a.001")}}));
    EXPECT_TRUE(ShownOnce(m_messages, "Помилка", Out("a.001")));
    EXPECT_TRUE(fs::is_empty(m_folder / "back"));

    Close();
    EXPECT_TRUE(TRegistrySettings().ReadBool(SN::SectionSettings, SN::MakeChecksums, false));
}
