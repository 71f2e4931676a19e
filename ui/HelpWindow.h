#pragma once

#include <QString>
#include <QWidget>

#include <vector>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
struct THelpTopic;

// The help window: the contents and the keyword index of the compiled-in
// topics beside the topic shown. One window serves the whole program; it is
// a child window of the main window, so it goes when the program does.
class THelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit THelpWindow(QWidget* owner);

    // The program's help window, made on the first request, shown and raised.
    // Asked while a modal dialog is open, it opens modal above that dialog,
    // since the dialog would block every other window.
    static THelpWindow* Open(QWidget* requester);

    void ShowContents();
    // False, with a line saying so in place of the topic, when no topic has
    // the id or answers the context.
    bool ShowTopic(const QString& id);
    bool ShowContext(int context);
    // The id of the topic shown; empty while a missing topic is reported.
    QString CurrentTopic() const;

private:
    void ShowPage(const THelpTopic& topic);
    void FillContents();
    void FillIndex();
    void FilterIndex(const QString& text);
    void ShowIndexEntry();
    void SourceChanged();

    QTabWidget* tabs = nullptr;
    QTreeWidget* tvContents = nullptr;
    QLineEdit* edKeyword = nullptr;
    QListWidget* lbKeywords = nullptr;
    QTextBrowser* tbTopic = nullptr;
    QToolButton* btnBack = nullptr;
    QToolButton* btnForward = nullptr;
    QToolButton* btnHome = nullptr;
    std::vector<QTreeWidgetItem*> m_contentsItems; // by topic index
    bool m_missing = false;                        // a missing topic's line is shown
};

// Runs a help macro of the form JumpId("file>window", "topic"): the topic
// opens in the help window; an empty topic opens the contents.
void RunHelpMacro(QWidget* requester, const QString& macro);
