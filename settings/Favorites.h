#pragma once

#include <QString>
#include <QStringList>

// One favorites line split into its parts.
struct TFavorite {
    QString description;
    QString path;
    bool operator==(const TFavorite&) const = default;
};

// The stored "Favorites" value: each line followed by CR LF, the last one
// included. Reading accepts CR LF, LF or CR as line ends; a final line end
// adds no empty line.
QStringList ParseFavorites(const QString& stored);
QString FavoritesText(const QStringList& lines);
// The description is the text before the first "=", the path the text after
// it; a line without "=" is all description.
TFavorite SplitFavoriteLine(const QString& line);
QString FavoriteLine(const TFavorite& favorite);

// Whether a favorite made of these parts reads back as itself: a description
// holds no "=", and neither part holds a CR or LF, which would end the line.
bool FavoriteDescriptionStorable(const QString& description);
bool FavoritePathStorable(const QString& path);
