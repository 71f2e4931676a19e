#pragma once

#include <QDialog>
#include <QSize>
#include <QString>

class QLabel;

// The frame every modal dialog of the program shares: a fixed size, the
// caption "Varn split" without an icon, and a white band across the top with
// a 32 x 32 picture, a bold title and one line of description. Subclasses lay
// their controls out in Body().
class TModalFrame : public QDialog {
    Q_OBJECT
public:
    static constexpr int HeaderHeight = 48;

    TModalFrame(QWidget* parent, QSize clientSize, const QString& iconName, const QString& title,
                const QString& description);

    QWidget* Body() const { return m_body; }
    void SetTitle(const QString& title);
    void SetDescription(const QString& description);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_title = nullptr;
    QLabel* m_description = nullptr;
    QWidget* m_body = nullptr;
};
