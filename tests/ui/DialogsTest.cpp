// The confirmation and need-disk dialogs, answered by the test as they show.

#include "WindowTestSupport.h"
#include "ui/InfoForm.h"
#include "ui/NeedDiskForm.h"

namespace {

class DialogsTest : public WindowTest {
protected:
    void TearDown() override {
        TInfoForm::OnShownForTest = nullptr;
        TNeedDiskForm::OnShownForTest = nullptr;
        TNeedDiskForm::ShowError = [](QWidget*, const QString&) {};
        TNeedDiskForm::PickFolder = m_realPickFolder;
    }
    decltype(TNeedDiskForm::PickFolder) m_realPickFolder = TNeedDiskForm::PickFolder;
};

} // namespace

// Only the yes button starts a split; Esc, Enter on the default no, and the
// title bar's close all answer no. The next disk prompt shows the numbers and
// selects the name.
TEST_F(DialogsTest, ConfirmationSaysYesOnlyThroughItsYesButtonAndDiskPromptsShowTheirNumbers) {
    const std::function<void(TInfoForm&)> answers[] = {
        [](TInfoForm& form) { form.findChild<QPushButton*>("btnYes")->click(); },
        [](TInfoForm& form) { form.findChild<QPushButton*>("btnNo")->click(); },
        [](TInfoForm& form) { SendKey(&form, Qt::Key_Escape); },
        [](TInfoForm& form) { SendKey(form.focusWidget(), Qt::Key_Return); },
        [](TInfoForm& form) { form.close(); },
    };
    for (const auto& answer : answers) {
        std::pair<QString, bool> shown; // the block size line, whether the last block's shows
        TInfoForm::OnShownForTest = [&](TInfoForm& form) {
            shown = {form.findChild<QLabel*>("laBlockSize")->text(),
                     !form.findChild<QLabel*>("laLastBlockSize")->isHidden()};
            answer(form);
        };
        EXPECT_EQ(ConfirmSplit(nullptr, "a.dat", 1457664, 0, 1, "Звичайна розбивка"),
                  &answer == &answers[0]);
        // A single block has no last block line.
        EXPECT_EQ(shown, std::pair(QString("1,457,664 байт (1,423.50 КБ)"), false));
    }

    QString newPath;
    bool dontAsk = false;
    // A set with fewer pieces than asked for: nothing is shown.
    EXPECT_TRUE(
        AskForNextDisk(nullptr, TDiskOperation::doSplit, 3, 2, "/m/a.002", newPath, dontAsk));
    EXPECT_EQ(std::pair(newPath, dontAsk), std::pair(QString("/m/a.002"), true));

    const struct {
        const char* path;
        int start, length;
    } selections[] = {{"/media/a/film.avi.002", 9, 8}, {"/media/a/readme", 9, 6}};
    for (const auto& item : selections) {
        // The message, the selection's start and length, whether the box shows.
        std::tuple<QString, int, qsizetype, bool> shown;
        TNeedDiskForm::OnShownForTest = [&](TNeedDiskForm& form) {
            auto* edit = form.findChild<QLineEdit*>("edPath");
            auto* box = form.findChild<QCheckBox*>("cbDontAskInTheFuture");
            shown = {form.findChild<QLabel*>("laMessage")->text(), edit->selectionStart(),
                     edit->selectedText().size(), !box->isHidden()};
            box->setChecked(true);
            form.findChild<QPushButton*>("btnOK")->click();
        };
        dontAsk = false;
        EXPECT_TRUE(AskForNextDisk(nullptr, TDiskOperation::doSplit, 70000, 70001, item.path,
                                   newPath, dontAsk));
        EXPECT_EQ(shown, std::tuple(QString("Вставте диск 70000 з 70001 дисків(а)"), item.start,
                                    qsizetype{item.length}, true));
        EXPECT_EQ(std::pair(newPath, dontAsk), std::pair(QString(item.path), true));
    }
}

// A typed path that would overwrite what it should not keeps the prompt open.
TEST_F(DialogsTest, TypedPathsAreCheckedAndFilePromptsAreReadOnly) {
    const std::string offered = m_folder / "a.002";
    WriteFileBytes(m_folder / "other.txt", "mine");
    WriteFileBytes(offered, "old piece");
    QString newPath;
    bool dontAsk = false;
    const struct {
        std::string typed;
        bool accepted;
    } cases[] = {
        {"  ", false},
        {m_folder.Path().string(), false},
        {m_folder / "other.txt", false},
        {offered, true}, // an old piece of that name may be replaced
        {m_folder / "new.002", true},
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.typed);
        int refusals = 0;
        TNeedDiskForm::ShowError = [&](QWidget*, const QString&) { ++refusals; };
        TNeedDiskForm::OnShownForTest = [&](TNeedDiskForm& form) {
            form.findChild<QLineEdit*>("edPath")->setText(QString::fromStdString(item.typed));
            form.findChild<QPushButton*>("btnOK")->click();
            if (form.isVisible())
                form.findChild<QPushButton*>("btnCancel")->click();
        };
        EXPECT_EQ(AskForNextDisk(nullptr, TDiskOperation::doSplit, 2, 3,
                                 QString::fromStdString(offered), newPath, dontAsk),
                  item.accepted);
        EXPECT_EQ(refusals, item.accepted ? 0 : 1);
    }
    EXPECT_EQ(ReadFileBytes(m_folder / "other.txt"), "mine");
    // Uniting, OK waits for a piece that exists; the check box is never
    // offered, nor in the file prompts, whose path only Browse can change.
    WriteFileBytes(m_folder / "a.001", "piece");
    bool stayedOpen = false;
    TNeedDiskForm::OnShownForTest = [&](TNeedDiskForm& form) {
        EXPECT_TRUE(form.findChild<QCheckBox*>("cbDontAskInTheFuture")->isHidden());
        form.findChild<QPushButton*>("btnOK")->click(); // a.009 is missing
        stayedOpen = form.isVisible();
        form.findChild<QLineEdit*>("edPath")->setText(QString::fromStdString(m_folder / "a.001"));
        form.findChild<QPushButton*>("btnOK")->click();
    };
    TNeedDiskForm::ShowError = [](QWidget*, const QString&) {};
    EXPECT_TRUE(AskForNextDisk(nullptr, TDiskOperation::doUnite, 9, 9,
                               QString::fromStdString(m_folder / "a.009"), newPath, dontAsk));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(newPath, QString::fromStdString(m_folder / "a.001"));

    TNeedDiskForm::PickFolder = [&](QWidget*) { return QString::fromStdString(m_folder / "d"); };
    TNeedDiskForm::OnShownForTest = [&](TNeedDiskForm& form) {
        EXPECT_TRUE(form.findChild<QLineEdit*>("edPath")->isReadOnly());
        EXPECT_TRUE(form.findChild<QCheckBox*>("cbDontAskInTheFuture")->isHidden());
        form.findChild<QPushButton*>("btnBrowse")->click();
        form.findChild<QPushButton*>("btnOK")->click();
    };
    QString newFolder;
    EXPECT_TRUE(AskForInfoFileDisk(nullptr, "/out/", newFolder));
    EXPECT_EQ(newFolder, QString::fromStdString(m_folder / "d/"));
}
