#pragma once

#include "shell/ItemIdList.h"
#include "shell/ShellFolder.h"

#include <QDialog>
#include <QList>
#include <QPair>
#include <QPoint>
#include <QString>
#include <QUrl>
#include <Qt>

#include <cstdint>
#include <functional>
#include <vector>

class QMenu;
class QWidget;

// Which menu a right click on a tree node shows.
enum TPopupMenuMode { pmm_System, pmm_PopupMenu };

// What ShowItemMenu does with the item.
enum TItemMenuAction {
    ima_Menu,       // show the item's menu and execute the chosen command
    ima_Properties, // execute "properties" when the attributes hold SFGAO_HASPROPSHEET
    ima_Default     // execute the default command without showing a menu
};

// The kinds of text GetCommandString gives for a command.
inline constexpr int GCS_VERB = 0;
inline constexpr int GCS_HELPTEXT = 1;

// Verbs of the item menu's commands.
namespace ItemVerbs {
inline constexpr const char* Open = "open";
inline constexpr const char* OpenFolder = "openfolder";
inline constexpr const char* CopyPath = "copypath";
inline constexpr const char* Delete = "delete";
inline constexpr const char* Rename = "rename";
inline constexpr const char* Properties = "properties";
} // namespace ItemVerbs

// One command of an item menu.
struct TItemMenuCommand {
    QString verb;     // language-neutral name, one of ItemVerbs
    QString caption;  // menu text (with its "&" accelerator)
    QString helpText; // one line for the status line
};

// The commands the namespace offers for one item (a file, folder, volume or
// virtual folder), and their execution. The item is given by its folder and its
// relative list. Hooks let a caller (or a test) replace the parts that reach
// outside the program.
class TItemMenu {
public:
    TItemMenu(TShellFolderPtr folder, TItemIdList relative, QWidget* owner = nullptr);

    // The commands offered for this item, in menu order; the first is the default.
    const std::vector<TItemMenuCommand>& Commands() const { return m_commands; }
    // Index of the command with this verb, or -1.
    int IndexOfVerb(const QString& verb) const;
    // The verb (GCS_VERB) or help text (GCS_HELPTEXT) of the command at an index;
    // "" for an index out of range.
    QString GetCommandString(int index, int kind) const;
    // The application hint while the command at `index` is highlighted:
    // verb "|" help text; "" for an index out of range.
    QString HintOf(int index) const;

    // Executes the command with this verb; false when the item has no such
    // command or the command failed (the reason is in LastError()). Shift among
    // the modifiers makes "delete" delete for good instead of trashing.
    // "rename" is not executed here: it only answers true (the caller edits).
    bool InvokeCommand(const QString& verb, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    QString LastError() const { return m_lastError; }

    // Fills a menu with the commands (each action's data is its index and its
    // status tip its help text; the default command is the menu's default).
    void FillMenu(QMenu& menu) const;

    // The item's path ("" for virtual items) and display name.
    QString ItemPath() const { return m_path; }
    QString ItemName() const { return m_name; }

    // Opens a URL with the desktop's default application (QDesktopServices).
    std::function<bool(const QUrl& url)> OnOpenUrl;
    // Asks before a delete for good; true goes ahead (a question box by default).
    std::function<bool(const QString& path)> OnConfirmDelete;
    // Shows the properties of the item (a modal dialog by default).
    std::function<void(const TItemMenu& menu)> OnShowProperties;

private:
    bool Fail(const QString& reason);

    TShellFolderPtr m_folder;
    TItemIdList m_relative;
    QWidget* m_owner = nullptr;
    QString m_path;
    QString m_name;
    std::uint32_t m_attributes = 0;
    std::vector<TItemMenuCommand> m_commands;
    QString m_lastError;
};

// The result of ShowItemMenu.
struct TItemMenuResult {
    bool success = false;
    bool renameRequested = false;
};

// Shows or runs the item menu of the first item of `items` (the tree passes
// one). The menu pops up at `screenPoint`; while a command is highlighted the
// application hint is its verb "|" help text, and it is cleared when the menu
// closes. Choosing "rename" is not executed: renameRequested is set instead.
TItemMenuResult ShowItemMenu(const TShellFolderPtr& folder, const std::vector<TItemIdList>& items,
                             QPoint screenPoint, QWidget* owner, TItemMenuAction action,
                             std::uint32_t attributes);

// The application hint: the text after "|" is the long hint a status line
// shows. Setting it calls the handler installed with SetOnApplicationHint.
void SetApplicationHint(const QString& hint);
QString ApplicationHint();
void SetOnApplicationHint(std::function<void(const QString& hint)> handler);

// A small dialog with the facts of one item (name, path, kind, size, times,
// permissions, link target), read from the item's path when it is built.
class TPropertiesDialog : public QDialog {
    Q_OBJECT
public:
    TPropertiesDialog(const QString& path, const QString& name, QWidget* parent = nullptr);
    // The facts shown, as (label, value) rows in display order.
    const QList<QPair<QString, QString>>& Facts() const { return m_facts; }

private:
    QList<QPair<QString, QString>> m_facts;
};
