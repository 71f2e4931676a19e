#include "widgets/VarnImageList.h"

TVarnImageList::TVarnImageList(int width, int height, QObject* parent)
    : QObject(parent), m_width(width < 0 ? 0 : width), m_height(height < 0 ? 0 : height) {}

int TVarnImageList::Add(const QPixmap& image) {
    if (image.size() == QSize(m_width, m_height) || image.isNull())
        m_images.append(image);
    else
        m_images.append(
            image.scaled(m_width, m_height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return Count() - 1;
}

QPixmap TVarnImageList::Image(int index) const {
    if (index < 0 || index >= Count())
        return {};
    return m_images.at(index);
}
