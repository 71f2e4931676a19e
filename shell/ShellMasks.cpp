#include "shell/ShellMasks.h"

#include <QFile>

#include <sys/stat.h>

#include <string>
#include <vector>

namespace {

// Trims characters below 33 at both ends, as the mask text rules ask (QString's
// own trimming knows Unicode blanks, which are ordinary characters here).
QString TrimControl(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() < 33)
        ++first;
    while (last > first && text.at(last - 1).unicode() < 33)
        --last;
    return text.mid(first, last - first);
}

struct TMaskToken {
    enum { Star, Question, Literal } kind;
    std::u32string text;
};

std::vector<TMaskToken> Tokenize(const std::u32string& mask) {
    std::vector<TMaskToken> tokens;
    std::u32string literal;
    auto flush = [&] {
        if (!literal.empty()) {
            tokens.push_back({TMaskToken::Literal, literal});
            literal.clear();
        }
    };
    for (char32_t c : mask) {
        if (c == U'*' || c == U'?') {
            flush();
            tokens.push_back({c == U'*' ? TMaskToken::Star : TMaskToken::Question, {}});
        } else {
            literal += c;
        }
    }
    flush();
    return tokens;
}

std::u32string ToUcs4(const QString& text) {
    const QList<uint> codes = text.toUcs4();
    return std::u32string(codes.begin(), codes.end());
}

bool IsFile(std::uint32_t attributes) {
    return (attributes & SFGAO_FILESYSTEM) != 0 && (attributes & SFGAO_FOLDER) == 0;
}

} // namespace

bool DirectoryExists(const QString& path) {
    if (path.isEmpty())
        return false;
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

QString NormalizePath(const QString& path) {
    // Only absolute paths have a root; a relative text would depend on the
    // process's current directory, which the trees never follow.
    const QString root = path.startsWith(u'/') ? QStringLiteral("/") : QString();
    if (path.isEmpty() || root.isEmpty())
        return QString();
    QString text = path;
    if (!DirectoryExists(text)) {
        while (text.contains(u'/')) {
            if (text.endsWith(u'/'))
                text.chop(1);
            const qsizetype slash = text.lastIndexOf(u'/');
            if (slash < 0)
                break;
            text.truncate(slash + 1);
            if (text.size() <= root.size() || DirectoryExists(text))
                break;
        }
    }
    return DirectoryExists(text) ? text : QString();
}

TMaskList MaskListFromText(const QString& text) {
    QString trimmed = TrimControl(text);
    if (trimmed.isEmpty())
        trimmed = QStringLiteral("*.*");
    TMaskList masks;
    for (const QString& piece : trimmed.split(u';')) {
        const QString mask = TrimControl(piece);
        if (!mask.isEmpty())
            masks.append(mask);
    }
    return masks;
}

QString MaskListToText(const TMaskList& masks) {
    return masks.join(u';');
}

bool MatchesMask(const QString& name, const QString& mask) {
    const QString lowerName = name.toLower();
    const QString lowerMask = mask.toLower();
    if (lowerMask == QStringLiteral("*"))
        return true;
    if (lowerMask == QStringLiteral("*.*"))
        return lowerName.contains(u'.');
    if (!lowerMask.contains(u'*') && !lowerMask.contains(u'?') && lowerMask == lowerName)
        return true;
    if (lowerMask.isEmpty())
        return false;

    const std::u32string text = ToUcs4(lowerName);
    std::size_t position = 0;
    bool star = false;
    for (const TMaskToken& token : Tokenize(ToUcs4(lowerMask))) {
        switch (token.kind) {
        case TMaskToken::Question:
            if (position >= text.size())
                return false;
            ++position;
            break;
        case TMaskToken::Star:
            star = true;
            break;
        case TMaskToken::Literal:
            if (star) {
                // First occurrence only: the walk never comes back to try a later one.
                const std::size_t found = text.find(token.text, position);
                if (found == std::u32string::npos)
                    return false;
                position = found + token.text.size();
                star = false;
            } else {
                if (text.compare(position, token.text.size(), token.text) != 0)
                    return false;
                position += token.text.size();
            }
            break;
        }
    }
    return star || position == text.size();
}

bool MatchesAnyMask(const QString& name, const TMaskList& masks) {
    if (masks.isEmpty())
        return true;
    for (const QString& mask : masks) {
        if (MatchesMask(name, mask))
            return true;
    }
    return false;
}

int CompareLevelItems(const TShellFolder& parentFolder, const TLevelItem& a, const TLevelItem& b,
                      TFileSortOrder sortOrder, TFileSortType sortType) {
    int column = SHCOL_NAME;
    int orderByte = 1;
    if (IsFile(a.attributes) && IsFile(b.attributes)) {
        column = static_cast<int>(sortType);
        orderByte = sortOrder == so_Ascending ? 0 : 1;
    }
    static const TItemIdList NoList;
    const int answer =
        parentFolder.CompareIDs(column, a.relativeIdList ? *a.relativeIdList : NoList,
                                b.relativeIdList ? *b.relativeIdList : NoList);
    int result = answer == 0 ? 0 : (answer > 0 ? 1 : -1);
    // so_Ascending (order byte 0) is the one that reverses the folder's
    // ascending order; stored settings and the sort button count on this.
    if (orderByte == 0)
        result = -result;
    return result;
}

int CompareLevelKeys(const TLevelKeys& a, const TLevelKeys& b, TFileSortOrder sortOrder,
                     TFileSortType sortType) {
    const bool files = IsFile(a.attributes) && IsFile(b.attributes);
    const bool byColumn = files && sortType != so_Name;
    const int answer = byColumn ? CompareSortKeys(a.columnKey, b.columnKey)
                                : CompareSortKeys(a.nameKey, b.nameKey);
    int result = answer == 0 ? 0 : (answer > 0 ? 1 : -1);
    // The same reversal as CompareLevelItems: so_Ascending turns the files round.
    if (files && sortOrder == so_Ascending)
        result = -result;
    return result;
}
