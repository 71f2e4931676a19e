#pragma once

// The real main window under a temporary home, offscreen, its message boxes
// and dialogs answered by the test; the file type registration is off, so
// that a start writes only settings.

#include "settings/RegistrySettings.h"
#include "settings/SettingNames.h"
#include "shell/ShellTreeView.h"
#include "support/EventLoopWait.h"
#include "support/TempFolder.h"
#include "ui/MainForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <tuple>
#include <vector>

namespace fs = std::filesystem;
namespace SN = SettingNames;

// Failures print texts as texts.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}

// Where the build put varnsplit and the stubs.
inline QString BinFolder() {
    const char* folder = std::getenv("VARN_BIN_DIR");
    return folder != nullptr ? QString::fromUtf8(folder) : QString();
}

template <typename T = QWidget> T* FindIn(const QObject& parent, const char* name) {
    T* found = parent.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

inline void SendKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                    const QString& text = QString(), QEvent::Type type = QEvent::KeyPress) {
    QKeyEvent event(type, key, modifiers, text);
    QApplication::sendEvent(widget, &event);
}

// A key pressed and let go, as typed.
inline void TapKey(QWidget* widget, int key, const QString& text = QString()) {
    SendKey(widget, key, Qt::NoModifier, text);
    SendKey(widget, key, Qt::NoModifier, text, QEvent::KeyRelease);
}

struct TShownMessage {
    int icon;
    QString caption;
    QString text;
};

// Exactly one message was shown, with this caption (and icon, unless -1) and
// a text holding `part`; none at all when the caption is null.
inline ::testing::AssertionResult ShownOnce(const std::vector<TShownMessage>& messages,
                                            const QString& caption, const QString& part,
                                            int icon = -1) {
    if (caption.isNull()
            ? messages.empty()
            : messages.size() == 1 && messages[0].caption == caption &&
                  messages[0].text.contains(part) && (icon == -1 || messages[0].icon == icon))
        return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure() << messages.size() << " shown";
    for (const TShownMessage& message : messages)
        failure << "; " << (message.caption + ": " + message.text).toStdString();
    return failure;
}

class WindowTest : public ::testing::Test {
protected:
    WindowTest() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        TRegistrySettings().WriteBool(SN::SectionSettings, SN::RestoreAssociations, false);
        for (const char* folder : {"in/sub", "out", "back"})
            fs::create_directories(m_folder.Path() / folder);
    }
    ~WindowTest() override {
        m_window.reset();
        QLocale::setDefault(QLocale::c());
    }

    void Open(bool show = true) {
        m_window = std::make_unique<TMainFormVarnSplit>(TMainFormContext{BinFolder(), ""});
        TMainFormDialogs& dialogs = m_window->Dialogs();
        dialogs.message = [this](QWidget*, int icon, const QString& caption, const QString& text) {
            m_messages.push_back({icon, caption, text});
        };
        dialogs.confirmSplit = [this](QWidget*, const QString&, int64_t, int64_t, int64_t,
                                      const QString& mode) {
            m_confirmedModes.push_back(mode);
            return m_confirmAnswer;
        };
        dialogs.askForNextDisk = [this](QWidget*, bool splitting, int64_t diskID, int64_t,
                                        const QString& path, QString& newPath, bool& dontAsk) {
            m_askedDisks.emplace_back(splitting, diskID, path);
            if (m_onDisk)
                return m_onDisk(diskID, path, newPath, dontAsk);
            newPath = path;
            return true;
        };
        dialogs.askForFileDisk = [](QWidget*, bool, const QString& folder, QString& newFolder) {
            newFolder = folder;
            return true;
        };
        dialogs.askForChecksumFileDisk = [](QWidget*, const QString& folder, QString& newFolder) {
            newFolder = folder;
            return true;
        };
        dialogs.freeSpaceOf = [this](const std::string& path) {
            ++m_freeSpaceCalls;
            return m_freeSpace ? m_freeSpace(path) : int64_t{1} << 40;
        };
        dialogs.inputBox = [this](QWidget*, const QString&, const QString&, QString& text) {
            m_asked.push_back("input");
            text = m_typed.value_or(QString());
            return m_typed.has_value();
        };
        dialogs.confirmDelete = [this](QWidget*, const QString& path) {
            m_asked.push_back(path);
            return m_confirmDelete;
        };
        if (show)
            m_window->show();
    }
    // Closes the window as the user does, so that it stores its settings.
    void Close() {
        m_window->close();
        m_window.reset();
    }

    QString At(const std::string& name) const { return QString::fromStdString(m_folder / name); }
    template <typename T = QWidget> T* Find(const char* name) const {
        return FindIn<T>(*m_window, name);
    }
    QString Text(const char* label) const { return Find<QLabel>(label)->text(); }
    bool Shown(const char* widget) const { return !Find(widget)->isHidden(); }
    TShellTreeView* Tree(bool source) const {
        return Find<TShellTreeView>(source ? "shtSourceData" : "shtTargetData");
    }
    void Select(bool source, const QString& path) {
        Tree(source)->SetPath(path);
        ASSERT_TRUE(WaitUntil([&] { return Tree(source)->Path() == path; }, 5000))
            << "the tree did not select " << path.toStdString();
    }
    QString LastCaption() const {
        return m_messages.empty() ? QString() : m_messages.back().caption;
    }

    TScopedXdgHome m_home;
    TTempFolder m_folder;
    std::unique_ptr<TMainFormVarnSplit> m_window;
    std::vector<TShownMessage> m_messages;
    // What the window's dialogs were asked and how they answer; a disk prompt
    // is (splitting, disk, path).
    using TAsked = std::tuple<bool, int64_t, QString>;
    std::vector<QString> m_confirmedModes;
    bool m_confirmAnswer = true;
    std::vector<TAsked> m_askedDisks;
    std::function<bool(int64_t, const QString&, QString&, bool&)> m_onDisk;
    std::function<int64_t(const std::string&)> m_freeSpace;
    int m_freeSpaceCalls = 0;
    std::vector<QString> m_asked; // the input box's asks and the paths confirmed for deletion
    std::optional<QString> m_typed;
    bool m_confirmDelete = false;
};
