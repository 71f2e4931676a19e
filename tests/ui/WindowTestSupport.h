#pragma once

// The real main window under a temporary home, offscreen, for the tests of
// what its commands, dialogs and panels do. Its message boxes are caught and
// the file type registration is off, so that a start writes only settings.

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
#include <memory>
#include <ostream>
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

class WindowTest : public ::testing::Test {
protected:
    WindowTest() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        TRegistrySettings().WriteBool(SN::SectionSettings, SN::RestoreAssociations, false);
    }
    ~WindowTest() override {
        m_window.reset();
        QLocale::setDefault(QLocale::c());
    }

    void Open(bool show = true) {
        m_window = std::make_unique<TMainFormVarnSplit>(TMainFormContext{BinFolder(), ""});
        m_window->Dialogs().message = [this](QWidget*, int icon, const QString& caption,
                                             const QString& text) {
            m_messages.push_back({icon, caption, text});
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
};
