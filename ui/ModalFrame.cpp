#include "ui/ModalFrame.h"

#include "resources/Icons.h"
#include "texts/WindowTexts.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

TModalFrame::TModalFrame(QWidget* parent, QSize clientSize, const QString& iconName,
                         const QString& title, const QString& description)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowMinimizeButtonHint) {
    setWindowTitle(Texts::AppTitle);
    setWindowIcon(QIcon());
    setFixedSize(clientSize);
    setModal(true);

    auto* header = new QWidget(this);
    header->setObjectName("TopPanel");
    header->setGeometry(0, 0, clientSize.width(), HeaderHeight);
    header->setAutoFillBackground(true);
    QPalette white = header->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    header->setPalette(white);
    auto* picture = new QLabel(header);
    picture->setObjectName("imgIcon");
    picture->setGeometry(8, 8, 32, 32);
    picture->setPixmap(VarnIcons::Icon(iconName).pixmap(32, 32));
    m_title = new QLabel(title, header);
    m_title->setObjectName("laTitle");
    QFont bold("Arial");
    bold.setPixelSize(16);
    bold.setBold(true);
    m_title->setFont(bold);
    m_title->setGeometry(48, 6, clientSize.width() - 56, 20);
    m_description = new QLabel(description, header);
    m_description->setObjectName("laDescription");
    m_description->setGeometry(48, 27, clientSize.width() - 56, 16);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(0, HeaderHeight, clientSize.width(), 2);

    m_body = new QWidget(this);
    m_body->setObjectName("Body");
    m_body->setGeometry(0, HeaderHeight + 2, clientSize.width(),
                        clientSize.height() - HeaderHeight - 2);
}

void TModalFrame::SetTitle(const QString& title) {
    m_title->setText(title);
}

void TModalFrame::SetDescription(const QString& description) {
    m_description->setText(description);
}

void TModalFrame::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Centred on the screen the dialog opens on.
    QScreen* screen =
        parentWidget() != nullptr ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr)
        move(screen->availableGeometry().center() - rect().center());
}
