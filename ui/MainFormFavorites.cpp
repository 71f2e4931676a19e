// The two trees' favorites: the menus that send a tree to a favorite folder,
// and the add buttons (and Ctrl+D) that put the tree's folder into its list.

#include "engine/FileUtils.h"
#include "settings/Favorites.h"
#include "settings/RegistrySettings.h"
#include "settings/SettingNames.h"
#include "shell/ShellTreeView.h"
#include "texts/FavoritesTexts.h"
#include "texts/QtTextFormat.h"
#include "texts/Texts.h"
#include "ui/AddToFavoritesForm.h"
#include "ui/FavoritesMenu.h"
#include "ui/MainForm.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QToolButton>

namespace SN = SettingNames;

namespace {

// Ctrl+D in a tree presses that tree's add button, when the button is enabled.
class TAddKeyFilter : public QObject {
public:
    TAddKeyFilter(QToolButton* button, QObject* parent) : QObject(parent), m_button(button) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_D && key->modifiers() == Qt::ControlModifier) {
                if (m_button->isEnabled())
                    m_button->click();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QToolButton* m_button;
};

// One folder written two ways ("/a/b" and "/a/b/") is one favorite.
bool SameFavorite(const QString& line, const QString& description, const QString& path) {
    const TFavorite favorite = SplitFavoriteLine(line);
    return favorite.description.compare(description, Qt::CaseInsensitive) == 0 &&
           QDir::cleanPath(favorite.path) == QDir::cleanPath(path);
}

} // namespace

void TMainFormVarnSplit::CreateFavorites() {
    pmSourceFavorites = new TFavoritesMenu(shtSourceData, this);
    pmSourceFavorites->setObjectName("pmSourceFavorites");
    pmTargetFavorites = new TFavoritesMenu(shtTargetData, this);
    pmTargetFavorites->setObjectName("pmTargetFavorites");
    pmSourceFavorites->OnChoose = [this](const QString& path) { ChooseFavorite(true, path); };
    pmTargetFavorites->OnChoose = [this](const QString& path) { ChooseFavorite(false, path); };
    btnSourceFavorites->setObjectName("btnSourceFavorites");
    btnSourceAddToFavorites->setObjectName("btnSourceAddToFavorites");
    btnTargetFavorites->setObjectName("btnTargetFavorites");
    btnTargetAddToFavorites->setObjectName("btnTargetAddToFavorites");
    for (auto [button, menu] : {std::pair{btnSourceFavorites, pmSourceFavorites},
                                std::pair{btnTargetFavorites, pmTargetFavorites}}) {
        button->setMenu(menu);
        button->setPopupMode(QToolButton::InstantPopup);
    }
    connect(btnSourceAddToFavorites, &QToolButton::clicked, this,
            &TMainFormVarnSplit::btnSourceAddToFavoritesClick);
    connect(btnTargetAddToFavorites, &QToolButton::clicked, this,
            &TMainFormVarnSplit::btnTargetAddToFavoritesClick);
    shtSourceData->installEventFilter(new TAddKeyFilter(btnSourceAddToFavorites, this));
    shtTargetData->installEventFilter(new TAddKeyFilter(btnTargetAddToFavorites, this));
    BuildSourceFavoritesMenu();
    BuildTargetFavoritesMenu();
}

void TMainFormVarnSplit::BuildSourceFavoritesMenu() {
    pmSourceFavorites->Build(m_sourceFavorites);
    btnSourceFavorites->setEnabled(!m_sourceFavorites.isEmpty());
}

void TMainFormVarnSplit::BuildTargetFavoritesMenu() {
    pmTargetFavorites->Build(m_targetFavorites);
    btnTargetFavorites->setEnabled(!m_targetFavorites.isEmpty());
}

void TMainFormVarnSplit::btnSourceAddToFavoritesClick() {
    AddToFavorites(true);
}

void TMainFormVarnSplit::btnTargetAddToFavoritesClick() {
    AddToFavorites(false);
}

// A favorite whose folder has gone stays in the menu and leads nowhere.
void TMainFormVarnSplit::ChooseFavorite(bool source, const QString& path) {
    // The menu closes and the window repaints before the tree starts reading.
    QApplication::processEvents();
    if (Busy() || !QDir::isAbsolutePath(path) || !QFileInfo(path).isDir())
        return;
    if (source)
        shtSourceData->SetPath(QString::fromStdString(AddTrailingSeparator(path.toStdString())));
    else
        shtTargetData->SetPath(path);
}

void TMainFormVarnSplit::AddToFavorites(bool source) {
    TShellTreeView* tree = source ? shtSourceData : shtTargetData;
    QStringList& favorites = source ? m_sourceFavorites : m_targetFavorites;
    const QString path = tree->Path();
    if (Busy() || path.isEmpty() || !QFileInfo(path).isDir())
        return;
    if (!FavoritePathStorable(path)) {
        ShowMessage(QMessageBox::Critical, Texts::CaptionError,
                    FormatQText(Texts::FavoritePathRefused, {path}));
        return;
    }
    QString description;
    if (!ExecuteAddToFavorites(this, path, description))
        return;
    for (const QString& line : favorites) {
        if (SameFavorite(line, description, path)) {
            ShowMessage(QMessageBox::Critical, Texts::CaptionError, Texts::FavoriteExists);
            return;
        }
    }
    favorites.append(FavoriteLine({description, path}));
    // Sorted first, so the stored order is the menu's order.
    if (source)
        BuildSourceFavoritesMenu();
    else
        BuildTargetFavoritesMenu();
    try {
        m_settings->WriteString(source ? SN::SectionSourceData : SN::SectionTargetData,
                                SN::Favorites, FavoritesText(favorites));
    } catch (const std::exception& error) {
        // The list keeps the favorite; it is written again at exit.
        ShowMessage(QMessageBox::Critical, Texts::CaptionError, QString::fromUtf8(error.what()));
    }
}
