#include "shell/ItemMenu.h"

#include "shell/ShellNamespace.h"
#include "texts/QtTextFormat.h"
#include "texts/Texts.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QVBoxLayout>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

QString& HintText() {
    static QString hint;
    return hint;
}

std::function<void(const QString&)>& HintHandler() {
    static std::function<void(const QString&)> handler;
    return handler;
}

// Restores the cursor however the menu code leaves.
class TBusyCursor {
public:
    TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { Release(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
    void Release() {
        if (m_active)
            QApplication::restoreOverrideCursor();
        m_active = false;
    }

private:
    bool m_active = true;
};

QString Text(const char* text) {
    return QString::fromUtf8(text);
}

QString PermissionText(mode_t mode) {
    QString text;
    const char letters[] = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit)
        text += (mode & (0400 >> bit)) ? QChar::fromLatin1(letters[bit]) : QChar(u'-');
    return text + QStringLiteral(" (%1)").arg(mode & 07777, 4, 8, QChar(u'0'));
}

QString TimeText(const struct timespec& time) {
    const QDateTime moment = QDateTime::fromMSecsSinceEpoch(
        static_cast<qint64>(time.tv_sec) * 1000 + time.tv_nsec / 1000000);
    return QLocale().toString(moment, QLocale::ShortFormat);
}

} // namespace

void SetApplicationHint(const QString& hint) {
    HintText() = hint;
    if (HintHandler())
        HintHandler()(hint);
}

QString ApplicationHint() {
    return HintText();
}

void SetOnApplicationHint(std::function<void(const QString& hint)> handler) {
    HintHandler() = std::move(handler);
}

TItemMenu::TItemMenu(TShellFolderPtr folder, TItemIdList relative, QWidget* owner)
    : m_folder(std::move(folder)), m_relative(std::move(relative)), m_owner(owner) {
    OnOpenUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    // The hooks hold the owner window by value, so a copied menu stays sound.
    OnConfirmDelete = [owner](const QString& path) {
        return QMessageBox::question(owner, Text(Texts::CaptionAttention),
                                     FormatQText(Texts::MenuDeleteConfirm, {path}),
                                     QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    };
    OnShowProperties = [owner](const TItemMenu& menu) {
        TPropertiesDialog dialog(menu.ItemPath(), menu.ItemName(), owner);
        dialog.exec();
    };
    if (!m_folder)
        return;
    const std::optional<QString> parsing = m_folder->GetDisplayNameOf(m_relative, SHGDN_FORPARSING);
    if (parsing && parsing->startsWith(u'/'))
        m_path = *parsing;
    m_name = m_folder->GetDisplayNameOf(m_relative, SHGDN_NORMAL).value_or(QString());
    // Has-subfolders costs a directory read and no command depends on it.
    m_attributes = m_folder->GetAttributesOf(m_relative, ~SFGAO_HASSUBFOLDER).value_or(0);
    const bool exists = m_folder->GetAttributesOf(m_relative, SFGAO_FOLDER).has_value();
    if (!exists)
        return;

    auto add = [this](const char* verb, const char* caption, const char* help) {
        m_commands.push_back({QString::fromLatin1(verb), Text(caption), Text(help)});
    };
    add(ItemVerbs::Open, Texts::MenuOpen, Texts::MenuOpenHelp);
    if (!m_path.isEmpty() && m_path != QStringLiteral("/"))
        add(ItemVerbs::OpenFolder, Texts::MenuOpenFolder, Texts::MenuOpenFolderHelp);
    if (!m_path.isEmpty())
        add(ItemVerbs::CopyPath, Texts::MenuCopyPath, Texts::MenuCopyPathHelp);
    if (m_attributes & SFGAO_CANRENAME) {
        add(ItemVerbs::Delete, Texts::MenuDelete, Texts::MenuDeleteHelp);
        add(ItemVerbs::Rename, Texts::MenuRename, Texts::MenuRenameHelp);
    }
    if (m_attributes & SFGAO_HASPROPSHEET)
        add(ItemVerbs::Properties, Texts::MenuProperties, Texts::MenuPropertiesHelp);
}

int TItemMenu::IndexOfVerb(const QString& verb) const {
    for (std::size_t i = 0; i < m_commands.size(); ++i) {
        if (m_commands[i].verb == verb)
            return static_cast<int>(i);
    }
    return -1;
}

QString TItemMenu::GetCommandString(int index, int kind) const {
    if (index < 0 || index >= static_cast<int>(m_commands.size()))
        return QString();
    return kind == GCS_HELPTEXT ? m_commands[index].helpText : m_commands[index].verb;
}

QString TItemMenu::HintOf(int index) const {
    if (index < 0 || index >= static_cast<int>(m_commands.size()))
        return QString();
    return m_commands[index].verb + u'|' + m_commands[index].helpText;
}

bool TItemMenu::Fail(const QString& reason) {
    m_lastError = reason;
    return false;
}

bool TItemMenu::InvokeCommand(const QString& verb, Qt::KeyboardModifiers modifiers) {
    m_lastError.clear();
    if (IndexOfVerb(verb) < 0)
        return false;
    if (verb == QLatin1String(ItemVerbs::Open)) {
        QUrl url;
        if (!m_path.isEmpty()) {
            url = QUrl::fromLocalFile(m_path);
        } else {
            const std::optional<TItemIdParts> parts = SplitItemId(m_relative.LastId());
            const TItemKind kind = parts ? parts->kind : ikEntry;
            url = QUrl(kind == ikTrash     ? QStringLiteral("trash:///")
                       : kind == ikNetwork ? QStringLiteral("network:///")
                                           : QStringLiteral("computer:///"));
        }
        if (!OnOpenUrl || !OnOpenUrl(url))
            return Fail(FormatQText(Texts::MenuOpenFailed, {m_name}));
        return true;
    }
    if (verb == QLatin1String(ItemVerbs::OpenFolder)) {
        const QString folder = QFileInfo(m_path).absolutePath();
        if (!OnOpenUrl || !OnOpenUrl(QUrl::fromLocalFile(folder)))
            return Fail(FormatQText(Texts::MenuOpenFailed, {folder}));
        return true;
    }
    if (verb == QLatin1String(ItemVerbs::CopyPath)) {
        QApplication::clipboard()->setText(m_path);
        return true;
    }
    if (verb == QLatin1String(ItemVerbs::Rename))
        return true; // the caller edits the name in place
    if (verb == QLatin1String(ItemVerbs::Properties)) {
        if (OnShowProperties)
            OnShowProperties(*this);
        return true;
    }
    if (verb == QLatin1String(ItemVerbs::Delete)) {
        if (!(modifiers & Qt::ShiftModifier)) {
            if (!QFile::moveToTrash(m_path))
                return Fail(FormatQText(Texts::MenuTrashFailed, {m_path}));
            return true;
        }
        if (!OnConfirmDelete || !OnConfirmDelete(m_path))
            return false; // the user kept the item
        struct stat info {};
        const QByteArray bytes = QFile::encodeName(m_path);
        if (::lstat(bytes.constData(), &info) != 0)
            return Fail(FormatQText(Texts::MenuDeleteFailed,
                                    {m_path, QString::fromLocal8Bit(std::strerror(errno))}));
        // A link goes, never what it points to.
        if (S_ISDIR(info.st_mode)) {
            if (!QDir(m_path).removeRecursively())
                return Fail(FormatQText(Texts::MenuDeleteFailed,
                                        {m_path, QString::fromLocal8Bit(std::strerror(EACCES))}));
        } else if (::unlink(bytes.constData()) != 0) {
            return Fail(FormatQText(Texts::MenuDeleteFailed,
                                    {m_path, QString::fromLocal8Bit(std::strerror(errno))}));
        }
        return true;
    }
    return false;
}

void TItemMenu::FillMenu(QMenu& menu) const {
    for (std::size_t i = 0; i < m_commands.size(); ++i) {
        QAction* action = menu.addAction(m_commands[i].caption);
        action->setData(static_cast<int>(i));
        action->setStatusTip(m_commands[i].helpText);
        action->setProperty("varnHint", HintOf(static_cast<int>(i)));
        if (i == 0)
            menu.setDefaultAction(action);
    }
    QObject::connect(&menu, &QMenu::hovered, &menu, [](QAction* action) {
        SetApplicationHint(action->property("varnHint").toString());
    });
    QObject::connect(&menu, &QMenu::aboutToHide, &menu, [] { SetApplicationHint(QString()); });
}

TItemMenuResult ShowItemMenu(const TShellFolderPtr& folder, const std::vector<TItemIdList>& items,
                             QPoint screenPoint, QWidget* owner, TItemMenuAction action,
                             std::uint32_t attributes) {
    TItemMenuResult result;
    if (!folder || items.empty())
        return result;
    TBusyCursor busy;
    TItemMenu itemMenu(folder, items.front(), owner);
    if (itemMenu.Commands().empty())
        return result;
    QString verb;
    switch (action) {
    case ima_Properties:
        if (!(attributes & SFGAO_HASPROPSHEET))
            return result;
        verb = QString::fromLatin1(ItemVerbs::Properties);
        break;
    case ima_Default:
        verb = itemMenu.Commands().front().verb;
        break;
    case ima_Menu: {
        QMenu menu(owner);
        itemMenu.FillMenu(menu);
        busy.Release();
        const QAction* chosen = menu.exec(screenPoint);
        SetApplicationHint(QString());
        if (chosen == nullptr)
            return result;
        verb = itemMenu.GetCommandString(chosen->data().toInt(), GCS_VERB);
        if (verb == QLatin1String(ItemVerbs::Rename)) {
            result.success = true;
            result.renameRequested = true;
            return result;
        }
        break;
    }
    }
    busy.Release();
    result.success = itemMenu.InvokeCommand(verb, QApplication::keyboardModifiers());
    // The menu is its own handler here, so it reports its own failures.
    if (!result.success && !itemMenu.LastError().isEmpty())
        QMessageBox::warning(owner, Text(Texts::CaptionError), itemMenu.LastError());
    return result;
}

TPropertiesDialog::TPropertiesDialog(const QString& path, const QString& name, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(FormatQText(Texts::PropertiesCaption, {name}));
    m_facts.append({Text(Texts::PropertiesName), name});
    if (path.isEmpty()) {
        m_facts.append({Text(Texts::PropertiesKind), Text(Texts::PropertiesVirtual)});
    } else {
        m_facts.append({Text(Texts::PropertiesPath), QFileInfo(path).absolutePath()});
        struct stat linkInfo {};
        const QByteArray bytes = QFile::encodeName(path);
        if (::lstat(bytes.constData(), &linkInfo) != 0) {
            m_facts.append({Text(Texts::PropertiesKind), Text(Texts::PropertiesMissing)});
        } else {
            struct stat info = linkInfo;
            if (S_ISLNK(linkInfo.st_mode) && ::stat(bytes.constData(), &info) != 0)
                info = linkInfo;
            static const QMimeDatabase mimeDatabase;
            const QString kind =
                S_ISDIR(info.st_mode)
                    ? Text(Texts::ShellFolderType)
                    : mimeDatabase.mimeTypeForFile(path, QMimeDatabase::MatchExtension).comment();
            m_facts.append({Text(Texts::PropertiesKind), kind});
            if (!S_ISDIR(info.st_mode))
                m_facts.append(
                    {Text(Texts::PropertiesSize),
                     FormatQText(Texts::PropertiesSizeBytes,
                                 {QLocale().toString(static_cast<qlonglong>(info.st_size))})});
            m_facts.append({Text(Texts::PropertiesModified), TimeText(info.st_mtim)});
            m_facts.append({Text(Texts::PropertiesAccessed), TimeText(info.st_atim)});
            m_facts.append({Text(Texts::PropertiesPermissions), PermissionText(info.st_mode)});
            if (S_ISLNK(linkInfo.st_mode))
                m_facts.append({Text(Texts::PropertiesLinkTarget), QFile::symLinkTarget(path)});
        }
    }
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout();
    for (const auto& [label, value] : m_facts) {
        auto* valueLabel = new QLabel(value, this);
        valueLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(label + u':', valueLabel);
    }
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}
