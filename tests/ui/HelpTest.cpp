// Help on the real forms: every context number has a topic, what's-this finds
// topics through labels and parents, help and F1 open the right topics, and
// the about box shows the version and copies its contact lines.

#include "WindowTestSupport.h"
#include "texts/HelpTexts.h"
#include "ui/AboutForm.h"
#include "ui/HelpTopics.h"
#include "ui/HelpWindow.h"
#include "ui/SettingsForm.h"
#include "ui/WhatsThis.h"
#include "widgets/WidgetTestSupport.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QWhatsThis>

#include <algorithm>
#include <set>

namespace {

class HelpTest : public WindowTest {
protected:
    void SetUp() override {
        TWhatsThis::ShowPopup = [this](const QPoint&, const QString& html, QWidget*) {
            m_popups.push_back(html);
        };
        Open();
        m_whatsThis = m_window->findChild<TWhatsThis*>();
        ASSERT_NE(m_whatsThis, nullptr);
    }
    void TearDown() override {
        TWhatsThis::ShowPopup = m_realPopup;
        TAboutForm::OpenUrl = m_realOpenUrl;
    }

    static QString Body(int context) {
        const THelpTopic* topic = THelpTopics::Instance().ByContext(context);
        return topic != nullptr ? topic->body : QString();
    }
    THelpWindow* HelpWindow() const { return m_window->findChild<THelpWindow*>(); }

    static void Click(QWidget* control) { WidgetTest::Click(*control, control->rect().center()); }
    static void RightClick(QWidget* control) {
        const QPoint at = control->rect().center();
        QContextMenuEvent request(QContextMenuEvent::Mouse, at, control->mapToGlobal(at));
        QApplication::sendEvent(control, &request);
    }

    TWhatsThis* m_whatsThis = nullptr;
    std::vector<QString> m_popups;
    decltype(TWhatsThis::ShowPopup) m_realPopup = TWhatsThis::ShowPopup;
    decltype(TAboutForm::OpenUrl) m_realOpenUrl = TAboutForm::OpenUrl;
};

std::set<int> ContextsOf(const QWidget& form) {
    std::set<int> found;
    QList<const QWidget*> widgets = form.findChildren<const QWidget*>();
    for (const QWidget* widget : widgets << &form)
        if (const int context = widget->property(HelpContextProperty).toInt(); context != 0)
            found.insert(context < 0 ? -context : context);
    return found;
}

} // namespace

// Every context on the forms has a topic; every page has a unique id and
// contexts, a title and keywords, and its links lead to pages.
TEST_F(HelpTest, EveryContextHasATopicAndPagesAreWhole) {
    TSettingsForm settings(m_window.get(), {}, {});
    std::set<int> contexts = ContextsOf(*m_window);
    contexts.merge(ContextsOf(settings));
    // The numbers the layouts are known to set, so an empty walk cannot pass.
    for (int expected : {999, 1000, 1001, 1002, 1003, 1004, 1007})
        EXPECT_TRUE(contexts.count(expected)) << expected;
    for (int context : contexts)
        EXPECT_NE(THelpTopics::Instance().ByContext(context), nullptr) << context;
    const auto& topics = THelpTopics::Instance().Topics();
    EXPECT_EQ(topics.front().id, "CONTENTS");
    std::set<QString> ids;
    std::set<int> topicContexts;
    const QRegularExpression link("href=\"([^\"]*)\"");
    for (const THelpTopic& topic : topics) {
        EXPECT_TRUE(ids.insert(topic.id).second) << topic.id.toStdString();
        for (int context : topic.contexts)
            EXPECT_TRUE(topicContexts.insert(context).second) << context;
        EXPECT_FALSE(topic.title.isEmpty() || topic.keywords.isEmpty())
            << topic.fileName.toStdString();
        for (const auto& match : link.globalMatch(topic.body))
            EXPECT_NE(THelpTopics::Instance().ByUrl(topic.Url().resolved(match.captured(1))),
                      nullptr)
                << topic.fileName.toStdString() << " -> " << match.captured(1).toStdString();
    }
}

// The button switches what's-this mode on, a click on it ends it. In the mode
// a click shows the control's topic, the label's buddy's, or the nearest
// parent's, and ends the mode.
TEST_F(HelpTest, WhatsThisClickFindsTopicsThroughLabelsAndParents) {
    auto* button = Find<QToolButton>("btnHelpWhatsThis");
    button->click();
    EXPECT_EQ(std::tuple(m_whatsThis->Mode(), button->isChecked(),
                         QApplication::overrideCursor()->shape()),
              std::tuple(true, true, Qt::WhatsThisCursor));
    Click(button);
    EXPECT_EQ(std::tuple(m_whatsThis->Mode(), QApplication::overrideCursor(), m_popups.size()),
              std::tuple(false, nullptr, 0u));

    auto* blockSize = Find<QComboBox>("cbBytes");
    const struct {
        QWidget* control;
        int context;
    } cases[] = {
        {blockSize->lineEdit(), 1003}, // the edit part of the block size box
        {Find("laBlockSize"), 1003},   // a label with its focus control
        {Find("laFilter"), 1002},
        {Find("laMode"), 999},    // the focus control has none: the window's
        {Find("laNoFile"), 1004}, // no context of its own: the panel's
        {Find("ProgressBar1"), 999},
        {Find("shtTargetData"), 1001},
    };
    for (const auto& item : cases) {
        m_popups.clear();
        m_whatsThis->SetMode(true);
        Click(item.control);
        EXPECT_EQ(m_popups, std::vector{Body(item.context)})
            << item.control->objectName().toStdString();
        EXPECT_FALSE(m_whatsThis->Mode());
    }
    EXPECT_FALSE(button->isChecked());
    // A negative context opens the full topic and leaves the mode on.
    Find("ProgressBar1")->setProperty(HelpContextProperty, -1002);
    m_popups.clear();
    m_whatsThis->SetMode(true);
    Click(Find("ProgressBar1"));
    EXPECT_TRUE(m_popups.empty());
    ASSERT_NE(HelpWindow(), nullptr);
    EXPECT_EQ(HelpWindow()->CurrentTopic(), "FILE_FILTER");
    EXPECT_TRUE(m_whatsThis->Mode());
    m_whatsThis->SetMode(false);
    // Outside the mode a click is the control's own.
    m_popups.clear();
    Click(Find("laFilter"));
    EXPECT_TRUE(m_popups.empty());
    // A right click on a panel label offers what's-this.
    RightClick(Find("laNoFile"));
    QMenu* menu = m_whatsThis->PopupMenu();
    ASSERT_TRUE(menu->isVisible());
    menu->hide();
    m_whatsThis->PopupItem()->trigger();
    ASSERT_EQ(m_popups, std::vector{Body(1004)});
    // A link in the popup opens its topic in the help window.
    ASSERT_TRUE(m_popups[0].contains("href=\"05-block-size.html\""));
    QWhatsThisClickedEvent link("05-block-size.html");
    QApplication::sendEvent(m_window.get(), &link);
    EXPECT_EQ(HelpWindow()->CurrentTopic(), "BLOCK_SIZE");
    // The comment memo keeps its own menu.
    Find<QStackedWidget>("nbSplitParams")->setCurrentIndex(1);
    auto* comment = Find<QPlainTextEdit>("edComment");
    RightClick(comment->viewport());
    EXPECT_FALSE(menu->isVisible());
    const QList<QMenu*> own = comment->findChildren<QMenu*>();
    EXPECT_TRUE(std::any_of(own.begin(), own.end(), [](QMenu* menu) { return menu->isVisible(); }));
}

TEST_F(HelpTest, HelpButtonSettingsHelpF1AndTheAboutBox) {
    Find<QPushButton>("btnHelp")->click();
    ASSERT_NE(HelpWindow(), nullptr);
    EXPECT_EQ(HelpWindow()->CurrentTopic(), "CONTENTS");
    // Each page's selector shows the page with its description; its help
    // opens the page's topic.
    TSettingsForm settings(m_window.get(), {}, {});
    const struct {
        const char* selector;
        const char* description;
        const char* topic;
    } pages[] = {
        {"rbSplitting", "Встановлювані за замовчуванням", "CONTENTS"},
        {"rbSourceFavorites", "Використовуйте кнопки", "SETTINGS_SOURCE_DATA_FAVORITES"},
        {"rbTargetFavorites", "Використовуйте кнопки", "SETTINGS_TARGET_DATA_FAVORITES"},
        {"rbFilter", "Використовуйте Дизайнер", "SETTINGS_FILTER_DESIGNER"},
        {"rbGeneral", "Параметри відображення", "SETTINGS_GENERAL"},
    };
    for (const auto& page : pages) {
        SCOPED_TRACE(page.selector);
        FindIn<QRadioButton>(settings, page.selector)->click();
        EXPECT_TRUE(FindIn<QLabel>(settings, "laDescription")->text().startsWith(page.description));
        ASSERT_TRUE(TSettingsForm::ShowHelp);
        TSettingsForm::ShowHelp(&settings, settings.HelpMacro());
        EXPECT_EQ(HelpWindow()->CurrentTopic(), page.topic);
    }
    // A topic the help lacks is said to be missing, and the next one shows.
    EXPECT_FALSE(HelpWindow()->ShowTopic("NO_SUCH_TOPIC"));
    EXPECT_EQ(HelpWindow()->CurrentTopic(), "");
    RunHelpMacro(&settings, settings.HelpMacro());
    EXPECT_EQ(HelpWindow()->CurrentTopic(), "SETTINGS_GENERAL");

    SendKey(settings.findChild<QWidget*>("cbAskForEachDisk"), Qt::Key_F1);
    EXPECT_EQ(HelpWindow()->CurrentTopic(), "ASK_FOR_EACH_DISK");
    SendKey(Find("shtSourceData"), Qt::Key_F1);
    EXPECT_EQ(HelpWindow()->CurrentTopic(), "SOURCE_DATA");
    // Each contact line's menu opens its address and copies its text.
    TAboutForm about(m_window.get());
    EXPECT_EQ(about.findChild<QLabel*>("laVersion")->text(),
              QString("Версія ") + VARN_EXPECTED_VERSION);
    std::vector<QUrl> opened, expected;
    TAboutForm::OpenUrl = [&](const QUrl& url) { opened.push_back(url); };
    for (int line = 0; line < about.ContactCount(); ++line) {
        QMenu* menu = about.ContactMenu(line);
        ASSERT_EQ(menu->actions().size(), 2);
        menu->actions()[1]->trigger();
        EXPECT_EQ(QApplication::clipboard()->text(), Texts::AboutContacts[line].text);
        menu->actions()[0]->trigger();
        expected.emplace_back(Texts::AboutContacts[line].url);
    }
    EXPECT_EQ(opened, expected);
}
