#pragma once

#include <QObject>
#include <QPoint>
#include <QString>

#include <functional>

class QAbstractButton;
class QAction;
class QMenu;
class QWidget;

// The dynamic property that holds a control's help context number.
inline constexpr const char* HelpContextProperty = "HelpContext";

// A control's own help context: its HelpContext property; for a label with a
// buddy the buddy's. 0 when it has none.
int OwnHelpContext(const QWidget* control);
// The help context of a control: its own, else its parent's the same way, up
// to its window; 0 when none of them has one.
int HelpContextOf(const QWidget* control);

// Shows a context number's topic: >= 0 as a popup at a screen point, < 0 as
// the full topic -context in the help window.
void ShowHelpContext(QWidget* requester, int context, const QPoint& at);

// What's-this help for one window, as an application event filter acting on
// the window's own controls: in what's-this mode a left click shows the
// clicked control's topic as a popup at the point, and a right click on a
// control without a menu of its own offers "Що це таке?". F1 opens the
// focused control's topic in the help window, in the window and its dialogs.
class TWhatsThis : public QObject {
    Q_OBJECT
public:
    // `toggle` is the checkable button that switches the mode; clicks on it
    // always reach it, so that it can switch the mode off.
    TWhatsThis(QWidget* window, QAbstractButton* toggle);
    ~TWhatsThis() override;

    bool Mode() const { return m_mode; }
    // On: the help cursor and the button held down. Off: the cursor that was
    // set before and the button up.
    void SetMode(bool on);

    // The help context of a control of the window: 0 at the top gives 1000.
    int ContextAt(const QWidget* control) const;
    QMenu* PopupMenu() const { return WhatsThisPopupMenu; }
    QAction* PopupItem() const { return WhatsThis1; }

    // Every topic popup: the screen point and the topic's HTML. Tests
    // replace it to see what would be shown.
    static std::function<void(const QPoint& at, const QString& html, QWidget* over)> ShowPopup;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Owns(const QWidget* widget) const;
    QWidget* ControlAt(QWidget* receiver, const QPoint& globalPoint) const;
    void help_WhatsThisExecute();

    QWidget* m_window;
    QAbstractButton* m_toggle;
    QMenu* WhatsThisPopupMenu;
    QAction* WhatsThis1;
    int m_menuContext = 0; // the menu's tag
    QPoint m_menuPoint;
    bool m_mode = false;
    bool m_swallowRelease = false;
};
