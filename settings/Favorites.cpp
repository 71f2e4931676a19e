#include "settings/Favorites.h"

QStringList ParseFavorites(const QString& stored) {
    QStringList lines;
    QString line;
    for (qsizetype i = 0; i < stored.size(); ++i) {
        const QChar ch = stored[i];
        if (ch == u'\r' || ch == u'\n') {
            lines << line;
            line.clear();
            if (ch == u'\r' && i + 1 < stored.size() && stored[i + 1] == u'\n')
                ++i;
        } else {
            line += ch;
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

QString FavoritesText(const QStringList& lines) {
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

TFavorite SplitFavoriteLine(const QString& line) {
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return {line, QString()};
    return {line.left(equals), line.mid(equals + 1)};
}

QString FavoriteLine(const TFavorite& favorite) {
    return favorite.description + u'=' + favorite.path;
}

bool FavoriteDescriptionStorable(const QString& description) {
    return !description.contains(u'=') && FavoritePathStorable(description);
}

bool FavoritePathStorable(const QString& path) {
    return !path.contains(u'\r') && !path.contains(u'\n');
}
