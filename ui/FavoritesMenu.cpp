#include "ui/FavoritesMenu.h"

#include "settings/Favorites.h"
#include "shell/ShellTreeView.h"
#include "shell/SystemImageList.h"

#include <QDir>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

namespace {

constexpr const char* CaptionProperty = "favoriteCaption";

// Hands the measuring and drawing of the menu's ordinary entries to the
// menu; the menu itself keeps its frame, scrolling and keyboard handling.
class TFavoritesMenuStyle : public QProxyStyle {
public:
    explicit TFavoritesMenuStyle(TFavoritesMenu* menu) : m_menu(menu) {}

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        if (const QAction* entry = Entry(type == CT_MenuItem, option, widget, true)) {
            int width = 0;
            int height = 0;
            m_menu->MeasureItem(entry, width, height);
            return QSize(width, height);
        }
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        if (const QAction* entry = Entry(element == CE_MenuItem, option, widget, false)) {
            const bool selected = option->state & State_Selected;
            const QPalette& palette = option->palette;
            painter->save();
            painter->setBrush(palette.brush(selected ? QPalette::Highlight : QPalette::Window));
            painter->setPen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
            m_menu->DrawItem(*painter, entry, option->rect);
            painter->restore();
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }

private:
    // The entry an option describes. While measuring, the menu has no entry
    // rectangles yet, so the entry is found by its text; entries of the same
    // text measure the same.
    const QAction* Entry(bool menuItem, const QStyleOption* option, const QWidget* widget,
                         bool byText) const {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (!menuItem || widget != m_menu || item == nullptr ||
            item->menuItemType != QStyleOptionMenuItem::Normal)
            return nullptr;
        if (!byText)
            return m_menu->actionAt(option->rect.center());
        for (const QAction* entry : m_menu->actions())
            if (entry->text() == item->text)
                return entry;
        return nullptr;
    }

    TFavoritesMenu* m_menu;
};

} // namespace

TFavoritesMenu::TFavoritesMenu(TShellTreeView* tree, QWidget* parent)
    : QMenu(parent), m_tree(tree) {
    auto* style = new TFavoritesMenuStyle(this);
    style->setParent(this);
    setStyle(style);
    setToolTipsVisible(true);
    connect(this, &QMenu::triggered, this, [this](QAction* entry) {
        if (OnChoose)
            OnChoose(EntryPath(entry));
    });
}

void TFavoritesMenu::Build(QStringList& favorites) {
    for (QAction* entry : actions()) {
        removeAction(entry);
        entry->deleteLater();
    }
    favorites.sort(Qt::CaseInsensitive);
    for (const QString& line : favorites) {
        const TFavorite favorite = SplitFavoriteLine(line);
        // "&" in a description is a character, not a keyboard accelerator.
        QAction* entry = addAction(
            QString(favorite.description).replace(QStringLiteral("&"), QStringLiteral("&&")));
        entry->setProperty(CaptionProperty, favorite.description);
        entry->setData(favorite.path);
        entry->setToolTip(favorite.path);
    }
}

QString TFavoritesMenu::EntryPath(const QAction* entry) {
    return entry->data().toString();
}

QString TFavoritesMenu::EntryCaption(const QAction* entry) {
    return entry->property(CaptionProperty).toString();
}

int TFavoritesMenu::SmallIconSize() const {
    const QSize size = m_tree->iconSize();
    return size.isValid() ? size.height() : m_tree->style()->pixelMetric(QStyle::PM_SmallIconSize);
}

void TFavoritesMenu::MeasureItem(const QAction* item, int& width, int& height) const {
    // 20 pixels past the caption, and the 12 of the check-mark column that a
    // Windows menu adds to what an owner-drawn entry asks for; without them
    // the caption, drawn 23 pixels in, would lose its end.
    width = fontMetrics().horizontalAdvance(EntryCaption(item)) + 20 + 12;
    // A desktop font taller than the picture would otherwise be cut off.
    height = std::max(SmallIconSize(), fontMetrics().height()) + 2;
}

void TFavoritesMenu::DrawItem(QPainter& canvas, const QAction* item, const QRect& rect) const {
    canvas.fillRect(rect, canvas.brush());
    const int iconSize = SmallIconSize();
    // The root always exists and is a folder, so it gives the closed-folder picture.
    TSystemImageList& images = TSystemImageList::Instance();
    images.Icon(images.IconIndexOfPath(QDir::rootPath()))
        .paint(&canvas, QRect(rect.left() + 4, rect.top() + 1, iconSize, iconSize));
    canvas.drawText(rect.adjusted(23, 0, 0, 0),
                    Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, EntryCaption(item));
}
