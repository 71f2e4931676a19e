#include "settings/IniDocument.h"

#include <QStringDecoder>
#include <QStringList>

#include <string>

namespace {

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool IsBlank(QChar ch) {
    return ch == u' ' || ch == u'\t';
}

QString Trimmed(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.mid(first, last - first);
}

void AppendHexEscape(QString& out, char16_t code) {
    static const char digits[] = "0123456789ABCDEF";
    out += u"\\x";
    out += QChar(digits[(code >> 4) & 0xF]);
    out += QChar(digits[code & 0xF]);
}

// `special` lists the characters that would end or change the meaning of the
// field (e.g. "=" in a name, "]" in a header); blanks at either end are
// escaped so that a hand-edited file may be read with its blanks trimmed.
QString Escape(const QString& text, const char16_t* special, bool escapeLeadingMarks) {
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = text[i].unicode();
        const bool atEdge = i == 0 || i == text.size() - 1;
        if (ch == u'\\')
            out += u"\\\\";
        else if (ch == u'\r')
            out += u"\\r";
        else if (ch == u'\n')
            out += u"\\n";
        else if (ch == u'\t')
            out += u"\\t";
        else if (ch < 0x20 || ch == 0x7F || (ch == u' ' && atEdge))
            AppendHexEscape(out, ch);
        else if (std::char_traits<char16_t>::find(
                     special, std::char_traits<char16_t>::length(special), ch) != nullptr ||
                 (escapeLeadingMarks && i == 0 && (ch == u'[' || ch == u';' || ch == u'#')))
            AppendHexEscape(out, ch);
        else
            out += QChar(ch);
    }
    return out;
}

int HexValue(QChar ch) {
    const char16_t c = ch.unicode();
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

std::optional<QString> Unescape(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\') {
            out += text[i];
            continue;
        }
        if (i + 1 >= text.size())
            return std::nullopt;
        const char16_t code = text[++i].unicode();
        switch (code) {
        case u'\\':
            out += u'\\';
            break;
        case u'r':
            out += u'\r';
            break;
        case u'n':
            out += u'\n';
            break;
        case u't':
            out += u'\t';
            break;
        case u'x': {
            if (i + 2 >= text.size())
                return std::nullopt;
            const int high = HexValue(text[i + 1]);
            const int low = HexValue(text[i + 2]);
            if (high < 0 || low < 0)
                return std::nullopt;
            out += QChar(char16_t(high * 16 + low));
            i += 2;
            break;
        }
        default:
            return std::nullopt;
        }
    }
    return out;
}

// The position of the first "=" not preceded by an escaping backslash.
qsizetype FindSeparator(const QString& line) {
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'\\')
            ++i;
        else if (line[i] == u'=')
            return i;
    }
    return -1;
}

} // namespace

std::optional<TIniDocument> TIniDocument::Parse(const QByteArray& text) {
    QByteArrayView bytes(text);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    if (bytes.contains('\0'))
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;

    TIniDocument document;
    TSection* current = nullptr;
    const auto lines = decoded.split(u'\n');
    for (QString line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        line = Trimmed(line);
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            // The header ends at the first unescaped "]", which must end the line.
            qsizetype close = -1;
            for (qsizetype i = 1; i < line.size(); ++i) {
                if (line[i] == u'\\')
                    ++i;
                else if (line[i] == u']') {
                    close = i;
                    break;
                }
            }
            if (close != line.size() - 1)
                return std::nullopt;
            const auto name = Unescape(Trimmed(line.mid(1, close - 1)));
            if (!name)
                return std::nullopt;
            current = document.FindSection(*name);
            if (!current) {
                document.m_sections.push_back({*name, {}});
                current = &document.m_sections.back();
            }
            continue;
        }
        const qsizetype separator = FindSeparator(line);
        if (separator <= 0 || !current)
            return std::nullopt;
        const auto name = Unescape(Trimmed(line.left(separator)));
        const auto value = Unescape(Trimmed(line.mid(separator + 1)));
        if (!name || !value || name->isEmpty())
            return std::nullopt;
        // A name given twice keeps its last value, as a second write would.
        bool replaced = false;
        for (auto& [existingName, existingValue] : current->values) {
            if (SameName(existingName, *name)) {
                existingValue = *value;
                replaced = true;
                break;
            }
        }
        if (!replaced)
            current->values.emplace_back(*name, *value);
    }
    return document;
}

QByteArray TIniDocument::Serialize() const {
    QString text;
    for (const auto& section : m_sections) {
        if (!text.isEmpty())
            text += u'\n';
        text += QStringLiteral("[") + Escape(section.name, u"]", false) + QStringLiteral("]\n");
        for (const auto& [name, value] : section.values)
            text += Escape(name, u"=", true) + QStringLiteral("=") + Escape(value, u"", false) +
                    QStringLiteral("\n");
    }
    return text.toUtf8();
}

const QString* TIniDocument::Find(const QString& section, const QString& name) const {
    for (const auto& candidate : m_sections) {
        if (!SameName(candidate.name, section))
            continue;
        for (const auto& [valueName, value] : candidate.values)
            if (SameName(valueName, name))
                return &value;
        return nullptr;
    }
    return nullptr;
}

void TIniDocument::Set(const QString& section, const QString& name, const QString& value) {
    TSection* target = FindSection(section);
    if (!target) {
        m_sections.push_back({section, {}});
        target = &m_sections.back();
    }
    for (auto& [valueName, stored] : target->values) {
        if (SameName(valueName, name)) {
            stored = value;
            return;
        }
    }
    target->values.emplace_back(name, value);
}

TIniDocument::TSection* TIniDocument::FindSection(const QString& section) {
    for (auto& candidate : m_sections)
        if (SameName(candidate.name, section))
            return &candidate;
    return nullptr;
}
