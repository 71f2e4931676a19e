#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

// The text form of the settings store: "[section]" headers and "name=value"
// lines in UTF-8. Values are kept byte-exact by escaping backslashes, control
// characters (CR, LF, tab as \r \n \t, others as \xHH) and blanks at either
// end; names and sections are matched without regard to case, as registry
// names are.
class TIniDocument {
public:
    struct TSection {
        QString name;
        std::vector<std::pair<QString, QString>> values;
    };

    // nullopt when the text is not a store file this class wrote or could
    // have written: invalid UTF-8, a line that is neither a header, a value
    // nor a comment, a value before the first header, an unknown escape.
    static std::optional<TIniDocument> Parse(const QByteArray& text);
    QByteArray Serialize() const;

    const QString* Find(const QString& section, const QString& name) const;
    void Set(const QString& section, const QString& name, const QString& value);
    bool IsEmpty() const { return m_sections.empty(); }
    const std::vector<TSection>& Sections() const { return m_sections; }

private:
    TSection* FindSection(const QString& section);
    std::vector<TSection> m_sections;
};
