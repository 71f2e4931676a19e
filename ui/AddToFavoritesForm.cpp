#include "ui/AddToFavoritesForm.h"

#include "settings/Favorites.h"
#include "settings/PlatformHelpers.h"
#include "shell/ShellFolder.h"
#include "shell/ShellNamespace.h"
#include "texts/FavoritesTexts.h"
#include "texts/Texts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

std::function<void(QWidget*, const QString&)> TAddToFavoritesForm::ShowError =
    [](QWidget* parent, const QString& text) {
        QMessageBox::critical(parent, Texts::CaptionError, text);
    };
std::function<void(TAddToFavoritesForm&)> TAddToFavoritesForm::OnShownForTest;

QString ProposedDescription(const QString& path) {
    QString folder = path;
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    if (const std::optional<TItemIdList> list = ParsePathToIdList(folder)) {
        const std::optional<TItemIdParts> last = SplitItemId(list->LastId());
        if (last && last->kind == ikVolume) {
            const std::optional<QString> caption =
                ShellDesktopFolder()->GetDisplayNameOf(*list, SHGDN_NORMAL);
            if (caption && !caption->isEmpty())
                return *caption;
        }
    }
    return folder.mid(folder.lastIndexOf(u'/') + 1);
}

TAddToFavoritesForm::TAddToFavoritesForm(QWidget* parent, const QString& path)
    : TModalFrame(parent, QSize(408, 193),
                  GetWindowsVersion() == 11 ? "MAINICONZFAVXP" : "MAINICONZFAV", Texts::AddFavTitle,
                  Texts::AddFavMessage) {
    setObjectName("TAddToFavoritesForm");
    findChild<QLabel*>("imgIcon")->setObjectName("imgFavIcon");
    findChild<QLabel*>("laDescription")->setObjectName("laMessage");
    auto* layout = new QVBoxLayout(Body());
    layout->setContentsMargins(12, 12, 12, 10);
    auto* grid = new QGridLayout;
    auto* titleLabel = new QLabel(Texts::AddFavDescription, Body());
    titleLabel->setObjectName("laFavTitle");
    m_title = new QLineEdit(Body());
    m_title->setObjectName("edTitle");
    titleLabel->setBuddy(m_title);
    auto* pathLabel = new QLabel(Texts::AddFavPath, Body());
    pathLabel->setObjectName("laFavPath");
    auto* pathEdit = new QLineEdit(path, Body());
    pathEdit->setObjectName("edPath");
    pathEdit->setReadOnly(true);
    QPalette palette = pathEdit->palette();
    palette.setColor(QPalette::Base, Body()->palette().color(QPalette::Window));
    pathEdit->setPalette(palette);
    pathLabel->setBuddy(pathEdit);
    grid->addWidget(titleLabel, 0, 0);
    grid->addWidget(m_title, 0, 1);
    grid->addWidget(pathLabel, 1, 0);
    grid->addWidget(pathEdit, 1, 1);
    layout->addLayout(grid);
    layout->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_ok = new QPushButton(Texts::AddFavOK, Body());
    m_ok->setObjectName("btnOK");
    m_ok->setAutoDefault(false);
    // Enter and Escape both cancel: a folder is added only by pressing OK.
    auto* cancel = new QPushButton(Texts::AddFavCancel, Body());
    cancel->setObjectName("btnCancel");
    cancel->setDefault(true);
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_title, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_ok->setEnabled(!text.isEmpty()); });

    m_title->setText(ProposedDescription(path));
    m_ok->setEnabled(!m_title->text().isEmpty());
    m_title->selectAll();
    m_title->setFocus();
}

QString TAddToFavoritesForm::Description() const {
    return m_title->text();
}

void TAddToFavoritesForm::done(int result) {
    if (result == QDialog::Accepted) {
        const QString text = m_title->text();
        // A one-character description keeps the dialog open without a word.
        if (text.toUcs4().size() < 2)
            return;
        if (!FavoriteDescriptionStorable(text)) {
            ShowError(this, Texts::FavoriteDescriptionRefused);
            m_title->setFocus();
            return;
        }
    }
    TModalFrame::done(result);
}

void TAddToFavoritesForm::showEvent(QShowEvent* event) {
    TModalFrame::showEvent(event);
    if (OnShownForTest)
        QTimer::singleShot(0, this, [this] { OnShownForTest(*this); });
}

bool ExecuteAddToFavorites(QWidget* parent, const QString& path, QString& description) {
    description.clear();
    TAddToFavoritesForm form(parent, path);
    if (form.exec() != QDialog::Accepted)
        return false;
    description = form.Description();
    return true;
}
