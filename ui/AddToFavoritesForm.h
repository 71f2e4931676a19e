#pragma once

#include "ui/ModalFrame.h"

#include <QString>

#include <functional>

class QLineEdit;
class QPushButton;

// Asks for the description under which a tree's current folder goes into
// its favorites list; the path is shown but cannot be changed.
class TAddToFavoritesForm : public TModalFrame {
    Q_OBJECT
public:
    TAddToFavoritesForm(QWidget* parent, const QString& path);

    QString Description() const;

    // Replaceable so that tests never open a real message box.
    static std::function<void(QWidget* parent, const QString& text)> ShowError;
    // Tests answer the dialog here; it runs once the dialog is shown.
    static std::function<void(TAddToFavoritesForm&)> OnShownForTest;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* m_title = nullptr;
    QPushButton* m_ok = nullptr;
};

// The description offered for a folder: the caption of the volume when the
// path is a volume's mount point (the root "/" has no name of its own), else
// the path's last component.
QString ProposedDescription(const QString& path);

// Shows the dialog for `path`; true with the typed description on OK.
bool ExecuteAddToFavorites(QWidget* parent, const QString& path, QString& description);
