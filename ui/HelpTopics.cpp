#include "ui/HelpTopics.h"

#include "resources/HelpFiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <stdexcept>

namespace {

QString MetaContent(const QString& html, const QString& name) {
    const QRegularExpression meta(
        QStringLiteral("<meta\\s+name=\"%1\"\\s+content=\"([^\"]*)\"\\s*/?>").arg(name),
        QRegularExpression::CaseInsensitiveOption);
    return meta.match(html).captured(1).trimmed();
}

QString Between(const QString& html, const QString& open, const QString& close) {
    const QRegularExpression part(open + QStringLiteral("(.*)") + close,
                                  QRegularExpression::CaseInsensitiveOption |
                                      QRegularExpression::DotMatchesEverythingOption |
                                      QRegularExpression::InvertedGreedinessOption);
    return part.match(html).captured(1).trimmed();
}

} // namespace

QUrl THelpTopic::Url() const {
    return QUrl(QStringLiteral("qrc") + VarnHelpFiles::Folder() + QStringLiteral("/") + fileName);
}

THelpTopic THelpTopics::Parse(const QString& fileName, const QString& html) {
    THelpTopic topic;
    topic.fileName = fileName;
    topic.id = MetaContent(html, QStringLiteral("topic-id"));
    topic.group = MetaContent(html, QStringLiteral("group"));
    topic.title = Between(html, QStringLiteral("<title>"), QStringLiteral("</title>"));
    for (const QString& number :
         MetaContent(html, QStringLiteral("context")).split(u' ', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int context = number.toInt(&ok);
        if (ok)
            topic.contexts.push_back(context);
    }
    for (const QString& keyword :
         MetaContent(html, QStringLiteral("keywords")).split(u';', Qt::SkipEmptyParts))
        if (!keyword.trimmed().isEmpty())
            topic.keywords << keyword.trimmed();
    topic.body = Between(html, QStringLiteral("<body>"), QStringLiteral("</body>"));
    return topic;
}

THelpTopics::THelpTopics() {
    const QDir folder(VarnHelpFiles::Folder());
    for (const QString& name :
         folder.entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name)) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        THelpTopic topic = Parse(name, QString::fromUtf8(file.readAll()));
        if (!topic.id.isEmpty())
            m_topics.push_back(std::move(topic));
    }
    // The contents page comes first by its name; without pages the program
    // was built wrongly, and every help command would fail.
    if (m_topics.empty())
        throw std::logic_error("the help pages are not compiled in");
}

const THelpTopics& THelpTopics::Instance() {
    static const THelpTopics topics;
    return topics;
}

const THelpTopic* THelpTopics::ById(const QString& id) const {
    for (const THelpTopic& topic : m_topics)
        if (topic.id.compare(id, Qt::CaseInsensitive) == 0)
            return &topic;
    return nullptr;
}

const THelpTopic* THelpTopics::ByContext(int context) const {
    for (const THelpTopic& topic : m_topics)
        for (int number : topic.contexts)
            if (number == context)
                return &topic;
    return nullptr;
}

const THelpTopic* THelpTopics::ByUrl(const QUrl& url) const {
    const QString name = url.fileName();
    for (const THelpTopic& topic : m_topics)
        if (topic.fileName == name)
            return &topic;
    return nullptr;
}
