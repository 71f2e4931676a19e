#include "ui/HelpWindow.h"

#include "resources/Icons.h"
#include "texts/HelpTexts.h"
#include "texts/QtTextFormat.h"
#include "ui/HelpTopics.h"

#include <QApplication>
#include <QCollator>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int TopicIndexRole = Qt::UserRole;

// The help window belongs to the program's outermost window, not to the
// dialog that asked for it, so closing that dialog leaves the help open.
QWidget* OwnerOf(QWidget* requester) {
    QWidget* owner = requester->window();
    while (owner->parentWidget() != nullptr)
        owner = owner->parentWidget()->window();
    return owner;
}

int TopicIndex(const THelpTopic* topic) {
    const auto& topics = THelpTopics::Instance().Topics();
    return static_cast<int>(topic - topics.data());
}

} // namespace

THelpWindow::THelpWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName("THelpWindow");
    setWindowTitle(Texts::HelpWindowTitle);
    setWindowIcon(VarnIcons::Icon("MAINICON"));
    resize(800, 540);

    auto* layout = new QVBoxLayout(this);
    auto* toolbar = new QHBoxLayout;
    auto toolButton = [&](const char* name, const char* text) {
        auto* button = new QToolButton(this);
        button->setObjectName(name);
        button->setText(text);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        toolbar->addWidget(button);
        return button;
    };
    btnHome = toolButton("btnHome", Texts::HelpHome);
    btnBack = toolButton("btnBack", Texts::HelpBack);
    btnForward = toolButton("btnForward", Texts::HelpForward);
    toolbar->addStretch(1);
    layout->addLayout(toolbar);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    tabs = new QTabWidget(splitter);
    tabs->setObjectName("tabs");
    tvContents = new QTreeWidget(tabs);
    tvContents->setObjectName("tvContents");
    tvContents->setHeaderHidden(true);
    tabs->addTab(tvContents, Texts::HelpContents);

    auto* index = new QWidget(tabs);
    auto* indexLayout = new QVBoxLayout(index);
    auto* findLabel = new QLabel(Texts::HelpIndexFind, index);
    edKeyword = new QLineEdit(index);
    edKeyword->setObjectName("edKeyword");
    findLabel->setBuddy(edKeyword);
    lbKeywords = new QListWidget(index);
    lbKeywords->setObjectName("lbKeywords");
    auto* show = new QPushButton(Texts::HelpShow, index);
    indexLayout->addWidget(findLabel);
    indexLayout->addWidget(edKeyword);
    indexLayout->addWidget(lbKeywords, 1);
    indexLayout->addWidget(show, 0, Qt::AlignRight);
    tabs->addTab(index, Texts::HelpIndex);

    tbTopic = new QTextBrowser(splitter);
    tbTopic->setObjectName("tbTopic");
    tbTopic->setOpenExternalLinks(true);
    splitter->addWidget(tabs);
    splitter->addWidget(tbTopic);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({280, 480});
    layout->addWidget(splitter, 1);

    FillContents();
    FillIndex();
    connect(btnHome, &QToolButton::clicked, this, &THelpWindow::ShowContents);
    connect(btnBack, &QToolButton::clicked, tbTopic, &QTextBrowser::backward);
    connect(btnForward, &QToolButton::clicked, tbTopic, &QTextBrowser::forward);
    connect(tbTopic, &QTextBrowser::backwardAvailable, btnBack, &QWidget::setEnabled);
    connect(tbTopic, &QTextBrowser::forwardAvailable, btnForward, &QWidget::setEnabled);
    connect(tbTopic, &QTextBrowser::sourceChanged, this, &THelpWindow::SourceChanged);
    connect(tvContents, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item != nullptr && item->data(0, TopicIndexRole).isValid())
            ShowPage(THelpTopics::Instance().Topics()[item->data(0, TopicIndexRole).toUInt()]);
    });
    connect(edKeyword, &QLineEdit::textChanged, this, &THelpWindow::FilterIndex);
    connect(edKeyword, &QLineEdit::returnPressed, this, &THelpWindow::ShowIndexEntry);
    connect(lbKeywords, &QListWidget::itemActivated, this, &THelpWindow::ShowIndexEntry);
    connect(show, &QPushButton::clicked, this, &THelpWindow::ShowIndexEntry);
    // Esc closes the help as it closes the program's dialogs.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
    btnBack->setEnabled(false);
    btnForward->setEnabled(false);
    ShowContents();
}

THelpWindow* THelpWindow::Open(QWidget* requester) {
    QWidget* owner = OwnerOf(requester);
    auto* window = owner->findChild<THelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (window == nullptr)
        window = new THelpWindow(owner);
    const Qt::WindowModality modality =
        QApplication::activeModalWidget() != nullptr ? Qt::ApplicationModal : Qt::NonModal;
    if (window->windowModality() != modality) {
        // Qt takes a new modality only from a hidden window.
        window->hide();
        window->setWindowModality(modality);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void THelpWindow::FillContents() {
    QTreeWidgetItem* heading = nullptr;
    for (const THelpTopic& topic : THelpTopics::Instance().Topics()) {
        if (topic.group.isEmpty()) {
            heading = nullptr;
        } else if (heading == nullptr || heading->text(0) != topic.group) {
            heading = new QTreeWidgetItem(tvContents, {topic.group});
            heading->setFlags(Qt::ItemIsEnabled);
            QFont bold = heading->font(0);
            bold.setBold(true);
            heading->setFont(0, bold);
        }
        auto* item = heading != nullptr ? new QTreeWidgetItem(heading, {topic.title})
                                        : new QTreeWidgetItem(tvContents, {topic.title});
        item->setData(0, TopicIndexRole, TopicIndex(&topic));
        m_contentsItems.push_back(item);
    }
    tvContents->expandAll();
}

void THelpWindow::FillIndex() {
    struct TEntry {
        QString keyword;
        int topic;
    };
    std::vector<TEntry> entries;
    for (const THelpTopic& topic : THelpTopics::Instance().Topics())
        for (const QString& keyword : topic.keywords)
            entries.push_back({keyword, TopicIndex(&topic)});
    QCollator collator(QLocale(QLocale::Ukrainian, QLocale::Ukraine));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(entries.begin(), entries.end(), [&](const TEntry& a, const TEntry& b) {
        return collator.compare(a.keyword, b.keyword) < 0;
    });
    const auto& topics = THelpTopics::Instance().Topics();
    for (std::size_t at = 0; at < entries.size(); ++at) {
        const TEntry& entry = entries[at];
        // A keyword of several topics names each entry's topic.
        const bool shared =
            (at > 0 && collator.compare(entries[at - 1].keyword, entry.keyword) == 0) ||
            (at + 1 < entries.size() &&
             collator.compare(entries[at + 1].keyword, entry.keyword) == 0);
        const QString text = shared ? entry.keyword + QStringLiteral(" — ") +
                                          topics[static_cast<std::size_t>(entry.topic)].title
                                    : entry.keyword;
        auto* item = new QListWidgetItem(text, lbKeywords);
        item->setData(TopicIndexRole, entry.topic);
    }
}

void THelpWindow::FilterIndex(const QString& text) {
    const QString wanted = text.trimmed();
    for (int row = 0; row < lbKeywords->count(); ++row) {
        QListWidgetItem* item = lbKeywords->item(row);
        if (!wanted.isEmpty() && item->text().startsWith(wanted, Qt::CaseInsensitive)) {
            lbKeywords->setCurrentItem(item);
            lbKeywords->scrollToItem(item, QAbstractItemView::PositionAtTop);
            return;
        }
    }
}

void THelpWindow::ShowIndexEntry() {
    if (QListWidgetItem* item = lbKeywords->currentItem())
        ShowPage(THelpTopics::Instance().Topics()[item->data(TopicIndexRole).toUInt()]);
}

void THelpWindow::ShowPage(const THelpTopic& topic) {
    if (tbTopic->source() != topic.Url())
        tbTopic->setSource(topic.Url());
    else if (m_missing)
        tbTopic->reload();
    m_missing = false;
}

void THelpWindow::SourceChanged() {
    const THelpTopic* topic = THelpTopics::Instance().ByUrl(tbTopic->source());
    if (topic == nullptr)
        return;
    QTreeWidgetItem* item = m_contentsItems[static_cast<std::size_t>(TopicIndex(topic))];
    if (item != nullptr && tvContents->currentItem() != item) {
        const QSignalBlocker blocker(tvContents);
        tvContents->setCurrentItem(item);
    }
}

void THelpWindow::ShowContents() {
    ShowPage(THelpTopics::Instance().Contents());
}

bool THelpWindow::ShowTopic(const QString& id) {
    if (const THelpTopic* topic = THelpTopics::Instance().ById(id)) {
        ShowPage(*topic);
        return true;
    }
    tbTopic->setHtml(FormatQText(Texts::HelpTopicMissing, {id.toHtmlEscaped()}));
    m_missing = true;
    return false;
}

bool THelpWindow::ShowContext(int context) {
    if (const THelpTopic* topic = THelpTopics::Instance().ByContext(context)) {
        ShowPage(*topic);
        return true;
    }
    tbTopic->setHtml(FormatQText(Texts::HelpTopicMissing, {QString::number(context)}));
    m_missing = true;
    return false;
}

QString THelpWindow::CurrentTopic() const {
    const THelpTopic* topic = THelpTopics::Instance().ByUrl(tbTopic->source());
    return topic != nullptr && !m_missing ? topic->id : QString();
}

void RunHelpMacro(QWidget* requester, const QString& macro) {
    static const QRegularExpression jumpId(
        QStringLiteral("^\\s*JumpId\\(\\s*\"[^\"]*\"\\s*,\\s*\"([^\"]*)\"\\s*\\)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = jumpId.match(macro);
    THelpWindow* window = THelpWindow::Open(requester);
    const QString topic = match.hasMatch() ? match.captured(1) : QString();
    if (topic.isEmpty())
        window->ShowContents();
    else
        window->ShowTopic(topic);
}
