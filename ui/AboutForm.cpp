#include "ui/AboutForm.h"

#include "resources/Icons.h"
#include "texts/HelpTexts.h"
#include "texts/QtTextFormat.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <iterator>

#ifndef VARN_VERSION
#error "VARN_VERSION comes from the build: the project's version"
#endif

std::function<void(const QUrl&)> TAboutForm::OpenUrl = [](const QUrl& url) {
    QDesktopServices::openUrl(url);
};
std::function<void(TAboutForm&)> TAboutForm::OnShownForTest;

namespace {

const Texts::TAboutContact& Contact(int line) {
    return Texts::AboutContacts[line];
}

} // namespace

TAboutForm::TAboutForm(QWidget* parent)
    : TModalFrame(parent, QSize(420, 250), "MAINICON", Texts::AboutTitle, Texts::AboutDescription) {
    setObjectName("TAboutForm");
    auto* layout = new QHBoxLayout(Body());
    layout->setContentsMargins(16, 12, 12, 10);
    layout->setSpacing(14);
    auto* picture = new QLabel(Body());
    picture->setObjectName("imgProgram");
    picture->setPixmap(VarnIcons::Icon("MAINICON").pixmap(48, 48));
    picture->setFixedSize(48, 48);
    layout->addWidget(picture, 0, Qt::AlignTop);

    auto* column = new QVBoxLayout;
    column->setSpacing(4);
    auto* name = new QLabel(Texts::AppTitle, Body());
    name->setObjectName("laProgram");
    QFont large = name->font();
    large.setBold(true);
    large.setPointSizeF(large.pointSizeF() * 1.4);
    name->setFont(large);
    column->addWidget(name);
    auto* version = new QLabel(FormatQText(Texts::AboutVersion, {Version()}), Body());
    version->setObjectName("laVersion");
    column->addWidget(version);
    column->addSpacing(10);

    auto* contacts = new QGridLayout;
    contacts->setHorizontalSpacing(8);
    for (int line = 0; line < ContactCount(); ++line) {
        const Texts::TAboutContact& contact = Contact(line);
        contacts->addWidget(new QLabel(contact.caption, Body()), line, 0);
        auto* address = new QLabel(Body());
        address->setObjectName(QStringLiteral("laContact%1").arg(line));
        address->setText(
            QStringLiteral("<a href=\"%1\">%2</a>")
                .arg(QString(contact.url).toHtmlEscaped(), QString(contact.text).toHtmlEscaped()));
        address->setTextInteractionFlags(Qt::LinksAccessibleByMouse |
                                         Qt::LinksAccessibleByKeyboard);
        address->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(address, &QLabel::linkActivated, this,
                [](const QString& url) { OpenUrl(QUrl(url)); });
        connect(address, &QWidget::customContextMenuRequested, this,
                [this, address, line](const QPoint& at) {
                    QMenu* menu = ContactMenu(line);
                    menu->setAttribute(Qt::WA_DeleteOnClose);
                    menu->popup(address->mapToGlobal(at));
                });
        contacts->addWidget(address, line, 1);
    }
    contacts->setColumnStretch(1, 1);
    column->addLayout(contacts);
    auto* hint = new QLabel(Texts::AboutHint, Body());
    hint->setObjectName("laHint");
    hint->setWordWrap(true);
    QPalette grey = hint->palette();
    grey.setColor(QPalette::WindowText, grey.color(QPalette::Disabled, QPalette::WindowText));
    hint->setPalette(grey);
    column->addWidget(hint);
    column->addStretch(1);

    auto* ok = new QPushButton(Texts::AboutOK, Body());
    ok->setObjectName("btnOK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    column->addWidget(ok, 0, Qt::AlignRight);
    layout->addLayout(column, 1);
    ok->setFocus();
}

QString TAboutForm::Version() {
    return QStringLiteral(VARN_VERSION);
}

int TAboutForm::ContactCount() const {
    return static_cast<int>(std::size(Texts::AboutContacts));
}

QMenu* TAboutForm::ContactMenu(int line) {
    auto* menu = new QMenu(this);
    menu->setObjectName("pmContact");
    const QUrl url(Contact(line).url);
    const QString text = Contact(line).text;
    menu->addAction(Texts::AboutOpen, this, [url] { OpenUrl(url); });
    menu->addAction(Texts::AboutCopy, this, [text] { QApplication::clipboard()->setText(text); });
    return menu;
}

void TAboutForm::showEvent(QShowEvent* event) {
    TModalFrame::showEvent(event);
    if (OnShownForTest)
        QTimer::singleShot(0, this, [this] { OnShownForTest(*this); });
}

void ExecuteAbout(QWidget* parent) {
    TAboutForm form(parent);
    form.exec();
}
