#pragma once

#include <QList>
#include <QObject>
#include <QPixmap>

// A row of same-sized pictures addressed by index, shared by the controls that
// show them; controls hold it weakly so that destroying the list clears their use of it.
class TVarnImageList : public QObject {
    Q_OBJECT
public:
    TVarnImageList(int width, int height, QObject* parent = nullptr);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Count() const { return static_cast<int>(m_images.size()); }

    // Pictures of another size are scaled to the list's size so that every
    // index draws into the same room.
    int Add(const QPixmap& image);
    // An index outside the list yields a null pixmap, which draws nothing.
    QPixmap Image(int index) const;

private:
    int m_width;
    int m_height;
    QList<QPixmap> m_images;
};
