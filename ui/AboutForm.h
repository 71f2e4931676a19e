#pragma once

#include "ui/ModalFrame.h"

#include <QString>
#include <QUrl>

#include <functional>

class QLabel;
class QMenu;

// The about box: the program's icon, name, what it does, its version and the
// maker's contact lines, which open in the browser or the mail program, or
// are copied from their popup menu.
class TAboutForm : public TModalFrame {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent);

    // The version the program was built as.
    static QString Version();
    int ContactCount() const;
    // The popup menu of contact line `line`: open, copy; a child of the box.
    QMenu* ContactMenu(int line);

    // Opens an address; tests replace it to see what would be opened.
    static std::function<void(const QUrl& url)> OpenUrl;
    // Tests answer the dialog here instead of a user; it runs once it is shown.
    static std::function<void(TAboutForm&)> OnShownForTest;

protected:
    void showEvent(QShowEvent* event) override;
};

// Shows the about box modally.
void ExecuteAbout(QWidget* parent);
