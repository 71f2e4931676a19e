// The size calculator, answered by the test as it shows: its figures at the
// edges, what it refuses (keeping the dialog open) and the stub check. The
// window's use of its size is window_end_to_end.sh's.

#include "ui/SizeCalcForm.h"
#include "WindowTestSupport.h"
#include "engine/SelfJoin.h"
#include "engine/SetNames.h"
#include "texts/QtTextFormat.h"
#include "texts/SizeCalcTexts.h"
#include "texts/Texts.h"
#include "texts/WindowTexts.h"

#include <QAbstractSpinBox>
#include <QRadioButton>
#include <QTimeEdit>

namespace {

void SetCount(TSizeCalcForm& form, const QString& text) {
    form.findChild<QAbstractSpinBox*>("edBlockCount")->findChild<QLineEdit*>()->setText(text);
}

void SetTransfer(TSizeCalcForm& form, QTime time, const QString& speed) {
    form.findChild<QRadioButton*>("rbByDownloadTime")->click();
    form.findChild<QTimeEdit*>("dtpTime")->setTime(time);
    form.findChild<QComboBox*>("cbSpeed")->setEditText(speed);
}

// The three results as shown: "total | block | last block".
QString Seen(TSizeCalcForm& form) {
    return form.findChild<QLabel*>("laTotalOfBlocks")->text() + " | " +
           form.findChild<QLabel*>("laSizeOfBlock")->text() + " | " +
           form.findChild<QLabel*>("laSizeOfLastBlock")->text();
}

class SizeCalcFormTest : public WindowTest {
protected:
    void SetUp() override {
        TSizeCalcForm::ShowError = [this](QWidget*, const QString& text) {
            m_errors.push_back(text);
        };
    }
    void TearDown() override {
        TSizeCalcForm::OnShownForTest = nullptr;
        TSizeCalcForm::ShowError = [](QWidget*, const QString&) {};
    }

    QString MakeFile(const std::string& name, std::size_t size) {
        WriteFileBytes(m_folder / name, std::string(size, 'x'));
        return QString::fromStdString(m_folder / name);
    }
    // Shows the calculator on the fixture's file and mode; `answer` runs once
    // it is shown, then the dialog is cancelled if still open.
    bool Run(const std::function<void(TSizeCalcForm&)>& answer, QString& sizeText) {
        TSizeCalcSource source;
        source.selectedFile = [this] { return m_file; };
        source.mode = [this] { return m_mode; };
        source.setMode = [this](TSplitMode mode) { m_mode = mode; };
        source.comment = [this] { return m_comment; };
        source.programFolder = m_programFolder;
        TSizeCalcForm::OnShownForTest = [&](TSizeCalcForm& form) {
            answer(form);
            m_stayedOpen = form.isVisible();
            if (m_stayedOpen)
                form.findChild<QPushButton*>("btnCancel")->click();
        };
        return ExecuteSizeCalc(source, sizeText);
    }

    QString m_file;
    TSplitMode m_mode = smNormal;
    std::string m_comment;
    QString m_programFolder = BinFolder();
    std::vector<QString> m_errors;
    bool m_stayedOpen = false;
};

} // namespace

// The count shown is the recount of the size found (10 bytes in 4 wanted
// blocks of 4 make 3), a long time at a fast line is not cut to 32 bits, the
// comment counts only where the signature stores it (the arithmetic is
// BlockArithmeticTest's).
TEST_F(SizeCalcFormTest, FiguresAtTheEdges) {
    const TStubLookup stub = FindStub(BinFolder().toStdString());
    ASSERT_EQ(stub.state, TStubState::ssFound) << "varnstub.exe is not in VARN_BIN_DIR";
    m_comment = "абв\r\n"; // 8 bytes
    // A self-joining a.dat: file, stub, signature with ".dat" and the comment.
    const int64_t whole = 3000000 + StubLengthOf(stub.path) + 46;
    const int64_t half = whole / 2 + whole % 2;
    const QString selfJoined =
        "2 | " + QLocale().toString(half) + " байт | " + QLocale().toString(whole - half) + " байт";
    const struct {
        TSplitMode mode;
        std::size_t fileSize;
        const char* count; // nullptr: by time
        QTime time;
        const char* speed;
        QString figures;
    } cases[] = {
        {smDOS, 10, "4", {}, "", "3 | 4 байт | 2 байт"},
        {smVersion10, 1000000, "2", {}, "", "2 | 500,017 байт | 500,017 байт"},
        {smNormal, 3000000, "2", {}, "", "2 | 1,500,023 байт | 1,500,023 байт"},
        {smSelfJoining, 3000000, "2", {}, "", selfJoined},
        {smDOS, 3000000, nullptr, {0, 5, 0}, "33600", "3 | 1,260,000 байт | 480,000 байт"},
        // 8,639,900,000 bits: past 32 bits, which would give 6,245,676.
        {smDOS, 3000000, nullptr, {23, 59, 59}, "100000", "1 | 1,079,987,500 байт | 0 байт"},
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.figures.toStdString());
        m_mode = item.mode;
        m_file = MakeFile("a.dat", item.fileSize);
        m_errors.clear();
        QString seen, sizeText;
        EXPECT_TRUE(Run(
            [&](TSizeCalcForm& form) {
                if (item.count != nullptr)
                    SetCount(form, item.count);
                else
                    SetTransfer(form, item.time, item.speed);
                seen = Seen(form);
                form.findChild<QPushButton*>("btnOK")->click();
            },
            sizeText));
        EXPECT_EQ(std::tuple(seen, sizeText + " байт", m_errors.size(), m_mode),
                  std::tuple(item.figures, item.figures.section(" | ", 1, 1), 0u, item.mode));
    }
}

// Every input that gives no usable size is named on OK, and the dialog stays
// open with what was typed. Counts are answered by Enter in their box, which
// must not put a good number back over the typed one.
TEST_F(SizeCalcFormTest, RefusalsAndOkChecksOfTheStubAndTheFile) {
    const QString file = MakeFile("a.dat", 1000);
    // One row for each way WholeNumber refuses, for the count and the speed.
    const struct {
        const char* count; // nullptr: by time
        QTime time;
        const char* speed;
        const char* message;
        QString value;
        bool withFile = true;
        TSplitMode mode = smDOS;
    } cases[] = {
        {"1", {}, "", Texts::CalcBadCount, "1"},
        {"1000", {}, "", Texts::CalcBadCount, "1000"},
        {"", {}, "", Texts::CalcBadCount, ""},
        {nullptr, {0, 0, 0}, "33600", Texts::CalcBadTime, "00:00:00"},
        {nullptr, {0, 5, 0}, "33 600", Texts::CalcBadSpeed, "33 600"},
        {nullptr, {0, 5, 0}, "0", Texts::CalcBadSpeed, "0"},
        {nullptr, {0, 5, 0}, "2147483648", Texts::CalcBadSpeed, "2147483648"},
        {nullptr, {23, 59, 59}, "2147483647", Texts::CalcBlockTooLarge, "23,192,554,952,145"},
        {"2", {}, "", Texts::CalcNoFile, "", false},
        // 999 blocks of a small file are far smaller than the stub they must hold.
        {"999", {}, "", Texts::FaultBlockNotLargerThanHeader, file, true, smSelfJoining},
    };
    for (const auto& item : cases) {
        const QString message = FormatQText(item.message, {item.value});
        SCOPED_TRACE(message.toStdString());
        m_file = item.withFile ? file : QString();
        m_mode = item.mode;
        m_errors.clear();
        QString total, countText, sizeText;
        EXPECT_FALSE(Run(
            [&](TSizeCalcForm& form) {
                auto* count = form.findChild<QAbstractSpinBox*>("edBlockCount");
                if (item.count != nullptr) {
                    SetCount(form, item.count);
                    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                    QApplication::sendEvent(count, &enter);
                } else {
                    SetTransfer(form, item.time, item.speed);
                    form.findChild<QPushButton*>("btnOK")->click();
                }
                total = form.findChild<QLabel*>("laTotalOfBlocks")->text();
                countText = count->text();
            },
            sizeText));
        EXPECT_EQ(std::tuple(m_stayedOpen, m_errors, total, countText, sizeText),
                  std::tuple(true, std::vector{message}, QString(Texts::UnknownCount),
                             QString(item.count != nullptr ? item.count : "2"), QString()));
    }

    // A stub that cannot be copied is reported once and sends the window back
    // to the normal mode, whose figures follow. Figures computed before the
    // file changed are not handed back.
    m_file = MakeFile("a.dat", 1000000);
    TTempFolder damaged;
    WriteFileBytes(damaged / StubName, std::string(1000, 'x'));
    const std::pair<QString, const char*> stubs[] = {
        {QString::fromStdString(m_folder.Path().string()), Texts::StubMissing},
        {QString::fromStdString(damaged.Path().string()), Texts::StubDamaged}};
    for (const auto& [folder, message] : stubs) {
        m_programFolder = folder;
        m_mode = smSelfJoining;
        m_errors.clear();
        QString sizeText;
        EXPECT_TRUE(Run([](TSizeCalcForm& form) { form.findChild<QPushButton*>("btnOK")->click(); },
                        sizeText));
        EXPECT_EQ(std::tuple(m_errors, m_mode, sizeText), // (1,000,000 + 38) / 2
                  std::tuple(std::vector<QString>{message}, smNormal, QString("500,019")));
    }

    m_file = MakeFile("a.bin", 1000);
    m_mode = smDOS;
    m_errors.clear();
    bool stayedOpen = false;
    QString after, sizeText;
    EXPECT_TRUE(Run(
        [&](TSizeCalcForm& form) {
            MakeFile("a.bin", 3000);
            form.findChild<QPushButton*>("btnOK")->click();
            stayedOpen = form.isVisible();
            after = Seen(form);
            form.findChild<QPushButton*>("btnOK")->click();
        },
        sizeText));
    EXPECT_EQ(std::tuple(stayedOpen, m_errors, after, sizeText),
              std::tuple(true, std::vector<QString>{Texts::CalcFileChanged},
                         QString("2 | 1,500 байт | 1,500 байт"), QString("1,500")));
}
