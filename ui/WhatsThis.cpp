#include "ui/WhatsThis.h"

#include "shell/ShellTreeView.h"
#include "texts/HelpTexts.h"
#include "texts/WindowTexts.h"
#include "ui/HelpTopics.h"
#include "ui/HelpWindow.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>
#include <QWhatsThis>

namespace {

// The topic of a window whose controls name none.
constexpr int TopContext = 1000;

// Edits and combo boxes keep their own context menu, and so do the trees
// (their item menu) and controls that show a menu of their own making.
bool HasOwnMenu(const QWidget* control) {
    for (const QWidget* widget = control; widget != nullptr; widget = widget->parentWidget()) {
        if (qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QComboBox*>(widget) ||
            qobject_cast<const QAbstractSpinBox*>(widget) ||
            qobject_cast<const QPlainTextEdit*>(widget) || qobject_cast<const QTextEdit*>(widget) ||
            qobject_cast<const TShellTreeView*>(widget))
            return true;
        if (widget->contextMenuPolicy() == Qt::CustomContextMenu ||
            widget->contextMenuPolicy() == Qt::ActionsContextMenu)
            return true;
        if (widget->isWindow())
            break;
    }
    return false;
}

} // namespace

int OwnHelpContext(const QWidget* control) {
    if (const auto* label = qobject_cast<const QLabel*>(control); label && label->buddy())
        return label->buddy()->property(HelpContextProperty).toInt();
    return control->property(HelpContextProperty).toInt();
}

int HelpContextOf(const QWidget* control) {
    for (const QWidget* widget = control; widget != nullptr; widget = widget->parentWidget()) {
        if (const int context = OwnHelpContext(widget); context != 0)
            return context;
        if (widget->isWindow())
            break;
    }
    return 0;
}

std::function<void(const QPoint&, const QString&, QWidget*)> TWhatsThis::ShowPopup =
    [](const QPoint& at, const QString& html, QWidget* over) {
        QWhatsThis::showText(at, html, over);
    };

void ShowHelpContext(QWidget* requester, int context, const QPoint& at) {
    if (context < 0) {
        THelpWindow::Open(requester)->ShowContext(-context);
        return;
    }
    const THelpTopic* topic = THelpTopics::Instance().ByContext(context);
    TWhatsThis::ShowPopup(at, topic != nullptr ? topic->body : QString(Texts::HelpNoPopup),
                          requester);
}

TWhatsThis::TWhatsThis(QWidget* window, QAbstractButton* toggle)
    : QObject(window), m_window(window), m_toggle(toggle) {
    WhatsThisPopupMenu = new QMenu(window);
    WhatsThisPopupMenu->setObjectName("WhatsThisPopupMenu");
    WhatsThis1 = WhatsThisPopupMenu->addAction(Texts::HintWhatsThis);
    WhatsThis1->setObjectName("WhatsThis1");
    connect(WhatsThis1, &QAction::triggered, this, &TWhatsThis::help_WhatsThisExecute);
    m_toggle->setCheckable(true);
    connect(m_toggle, &QAbstractButton::toggled, this, &TWhatsThis::SetMode);
    qApp->installEventFilter(this);
}

TWhatsThis::~TWhatsThis() {
    qApp->removeEventFilter(this);
    if (m_mode)
        QApplication::restoreOverrideCursor();
}

void TWhatsThis::SetMode(bool on) {
    if (on == m_mode)
        return;
    m_mode = on;
    // The override cursor stack keeps the cursor that was set before.
    if (on)
        QApplication::setOverrideCursor(Qt::WhatsThisCursor);
    else
        QApplication::restoreOverrideCursor();
    const QSignalBlocker blocker(m_toggle);
    m_toggle->setChecked(on);
}

int TWhatsThis::ContextAt(const QWidget* control) const {
    const int context = HelpContextOf(control);
    return context != 0 ? context : TopContext;
}

bool TWhatsThis::Owns(const QWidget* widget) const {
    return widget != nullptr && widget->window() == m_window;
}

QWidget* TWhatsThis::ControlAt(QWidget* receiver, const QPoint& globalPoint) const {
    // The deepest control under the point, disabled ones included; Qt hands
    // a disabled control's clicks to its parent.
    QWidget* control = m_window->childAt(m_window->mapFromGlobal(globalPoint));
    return control != nullptr ? control : receiver;
}

bool TWhatsThis::eventFilter(QObject* watched, QEvent* event) {
    auto* receiver = qobject_cast<QWidget*>(watched);
    if (receiver == nullptr)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton)
            m_swallowRelease = false;
        if (!m_mode || mouse->button() != Qt::LeftButton || !Owns(receiver))
            return false;
        const QPoint at = mouse->globalPosition().toPoint();
        QWidget* control = ControlAt(receiver, at);
        if (control == m_toggle || m_toggle->isAncestorOf(control))
            return false;
        const int context = ContextAt(control);
        // The release belongs to this click: the control never saw its press.
        m_swallowRelease = true;
        if (context >= 0)
            SetMode(false);
        ShowHelpContext(m_window, context, at);
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (m_swallowRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            m_swallowRelease = false;
            return true;
        }
        return false;
    case QEvent::ContextMenu: {
        if (!Owns(receiver))
            return false;
        auto* request = static_cast<QContextMenuEvent*>(event);
        QWidget* control = request->reason() == QContextMenuEvent::Mouse
                               ? ControlAt(receiver, request->globalPos())
                               : receiver;
        if (HasOwnMenu(control))
            return false;
        m_menuContext = ContextAt(control);
        m_menuPoint = request->globalPos();
        WhatsThisPopupMenu->popup(m_menuPoint);
        return true;
    }
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && m_mode && Owns(receiver)) {
            SetMode(false);
            return true;
        }
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
            return false;
        // F1 in the window or in one of its dialogs.
        const QWidget* top = receiver->window();
        while (top != nullptr && top != m_window)
            top = top->parentWidget() != nullptr ? top->parentWidget()->window() : nullptr;
        if (top == nullptr)
            return false;
        const int context =
            receiver->window() == m_window ? ContextAt(receiver) : HelpContextOf(receiver);
        THelpWindow* help = THelpWindow::Open(receiver);
        if (context == 0)
            help->ShowContents();
        else
            help->ShowContext(context < 0 ? -context : context);
        return true;
    }
    case QEvent::WhatsThisClicked: {
        // A link in a popup opens its topic in the help window.
        if (receiver != m_window)
            return false;
        const QString href = static_cast<QWhatsThisClickedEvent*>(event)->href();
        const THelpTopics& topics = THelpTopics::Instance();
        const THelpTopic* topic = topics.ByUrl(topics.Contents().Url().resolved(QUrl(href)));
        THelpWindow* help = THelpWindow::Open(m_window);
        if (topic != nullptr)
            help->ShowTopic(topic->id);
        else
            help->ShowTopic(href);
        return true;
    }
    default:
        return false;
    }
}

void TWhatsThis::help_WhatsThisExecute() {
    ShowHelpContext(m_window, m_menuContext, m_menuPoint);
}
