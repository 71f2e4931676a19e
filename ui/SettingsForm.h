#pragma once

#include "ui/ModalFrame.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;
class TCheckBox95;
class TFilterGrid;
class TRegistrySettings;

// A size box's text read as the store wants it: the value, or why it cannot
// be one (the message names the box). An empty text means the default block
// size, as leaving an emptied box always has.
struct TSizeCheck {
    std::optional<int> value;
    QString problem;
};
TSizeCheck CheckSizeText(const QString& text, const char* boxName);

// The settings dialog: the view and start-up options, the split defaults,
// both favorites lists and the filter designer, one page each. It edits
// copies; ExecuteSettings saves them after OK.
class TSettingsForm : public TModalFrame {
    Q_OBJECT
public:
    enum TPage { pgGeneral, pgSplitting, pgSourceFavorites, pgTargetFavorites, pgFilter };
    static constexpr int PageCount = 5;

    TSettingsForm(QWidget* parent, const QStringList& sourceFavorites,
                  const QStringList& targetFavorites);

    // Every "Settings" value with its default, and the filter designer.
    void LoadSettings(const TRegistrySettings& settings);
    // Every value in the designed order, all in one write: when anything
    // fails (a size that is no size, a filter that would not read back, the
    // store's file) nothing is stored and ESettingsError is thrown.
    void SaveSettings(TRegistrySettings& settings) const;
    // The size boxes and the filter rows as OK checks them: the first
    // problem is shown, its control focused, and false returned.
    bool CheckValues();

    const QStringList& SourceFavorites() const { return m_sourceFavorites; }
    const QStringList& TargetFavorites() const { return m_targetFavorites; }
    int Page() const;
    void SetPage(int page);
    // The help macro of the current page's topic.
    QString HelpMacro() const;

    // Tests answer the dialog here instead of a user; it runs once it is shown.
    static std::function<void(TSettingsForm&)> OnShownForTest;
    // Every message box of the dialog: icon, caption, text.
    static std::function<void(QWidget* parent, int icon, const QString& caption,
                              const QString& text)>
        ShowMessage;
    // Opens the help topic a macro names; the window's help sets it, and
    // without one the help button does nothing.
    static std::function<void(QWidget* parent, const QString& macro)> ShowHelp;

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* CreateGeneralPage();
    QWidget* CreateSplittingPage();
    QWidget* CreateFavoritesPage(const char* listName, QTreeWidget*& list, QStringList& lines);
    void FillFavorites(QTreeWidget& list, const QStringList& lines);
    void FavoriteEdited(QTreeWidget& list, QStringList& lines, QTreeWidgetItem* item, int column);
    void RenameFavorite(QTreeWidget& list);
    void DeleteFavorite(QTreeWidget& list, QStringList& lines);
    void CheckFavoritePath(QTreeWidget& list, QStringList& lines);
    static int SelectedFavoriteRow(const QTreeWidget& list, const QStringList& lines);
    void SizeBoxLeft(QComboBox& box);
    void btnRestoreAssociationsClick();
    void btnHelpClick();

    QStringList m_sourceFavorites;
    QStringList m_targetFavorites;
    int m_charWidth = 6;
    int m_charHeight = 12;

    QRadioButton* rbGeneral = nullptr;
    QRadioButton* rbSplitting = nullptr;
    QRadioButton* rbSourceFavorites = nullptr;
    QRadioButton* rbTargetFavorites = nullptr;
    QRadioButton* rbFilter = nullptr;
    QLabel* laFavorites = nullptr;
    QStackedWidget* Notebook1 = nullptr;
    QCheckBox* cbShowHiddenFiles = nullptr;
    QCheckBox* cbShowVirtualFolders = nullptr;
    QCheckBox* cbHotTrack = nullptr;
    QCheckBox* cbFlatBtns = nullptr;
    TCheckBox95* cbRestoreAssociations = nullptr;
    QPushButton* btnRestoreAssociations = nullptr;
    QComboBox* cbBytes = nullptr;
    QComboBox* cbBuffer = nullptr;
    QComboBox* cbMode = nullptr;
    QCheckBox* cbAskForEachDisk = nullptr;
    QCheckBox* cbKeepOriginalExt = nullptr;
    QTreeWidget* lvSource = nullptr;
    QTreeWidget* lvTarget = nullptr;
    TFilterGrid* sgFilter = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnHelp = nullptr;
};

// Shows the dialog on the stored settings and the given favorites lists.
// After OK the settings are saved at once and the edited lists handed back;
// true then. False after Cancel, and after a save the store refused (the
// reason is shown, the store and the lists are left as they were).
bool ExecuteSettings(QWidget* parent, QStringList& sourceFavorites, QStringList& targetFavorites);
