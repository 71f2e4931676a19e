#pragma once

#include <QMenu>
#include <QString>
#include <QStringList>

#include <functional>

class QPainter;
class TShellTreeView;

// The popup of one tree's favorites, drawn by the program: one entry per
// favorite with the tree's closed-folder picture and the description, the
// folder's path as the entry's hint.
class TFavoritesMenu : public QMenu {
    Q_OBJECT
public:
    TFavoritesMenu(TShellTreeView* tree, QWidget* parent);

    // Sorts the list in place (whole lines, without regard to case, so the
    // entries come in description order and are stored so) and makes one
    // entry per line.
    void Build(QStringList& favorites);

    // The folder an entry leads to.
    static QString EntryPath(const QAction* entry);
    // The description an entry shows.
    static QString EntryCaption(const QAction* entry);

    // Raised with the entry's folder when the user chooses an entry.
    std::function<void(const QString& path)> OnChoose;

    void MeasureItem(const QAction* item, int& width, int& height) const;
    // Fills the rectangle with the painter's brush and writes with its pen.
    void DrawItem(QPainter& canvas, const QAction* item, const QRect& rect) const;

private:
    int SmallIconSize() const;

    TShellTreeView* m_tree;
};
