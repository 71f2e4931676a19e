#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <vector>

// One page of the compiled-in help, as its head describes it.
struct THelpTopic {
    QString id;
    QString title;
    QString group; // the contents heading it stands under; empty at the top
    QString fileName;
    std::vector<int> contexts;
    QStringList keywords;
    QString body; // the page's <body> content, shown as a popup

    QUrl Url() const;
};

// The help's topics, read once from the compiled-in pages. Context numbers
// and topic ids are looked up here, never in the pages' file names.
class THelpTopics {
public:
    static const THelpTopics& Instance();

    // In contents order; the first is the contents page.
    const std::vector<THelpTopic>& Topics() const { return m_topics; }
    const THelpTopic* ById(const QString& id) const;
    const THelpTopic* ByContext(int context) const;
    const THelpTopic* ByUrl(const QUrl& url) const;
    const THelpTopic& Contents() const { return m_topics.front(); }

    // The page's text read into a topic; an empty id when the head names none.
    static THelpTopic Parse(const QString& fileName, const QString& html);

private:
    THelpTopics();
    std::vector<THelpTopic> m_topics;
};
