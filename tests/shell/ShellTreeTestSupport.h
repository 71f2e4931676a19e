#pragma once

// Helpers of the tree's and the monitors' tests.

#include "shell/ShellTreeView.h"

#include <QElapsedTimer>
#include <QStringList>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

inline QString Text(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

inline void WriteText(const std::filesystem::path& path, std::size_t bytes = 1) {
    std::ofstream(path) << std::string(bytes, 'x');
}

// A node's children and their captions, in the order shown.
inline std::vector<TShellNode*> Children(const TShellNode* node) {
    std::vector<TShellNode*> children;
    for (int i = 0; i < node->childCount(); ++i)
        children.push_back(node->Child(i));
    return children;
}

inline QStringList Captions(const TShellNode* node) {
    QStringList captions;
    for (TShellNode* child : Children(node))
        captions << child->text(0);
    return captions;
}

inline TShellNode* ChildNamed(const TShellNode* node, const QString& caption) {
    for (TShellNode* child : Children(node)) {
        if (child->text(0) == caption)
            return child;
    }
    return nullptr;
}

// A shown tree rooted at `root`; `before` runs before the root is read.
inline std::unique_ptr<TShellTreeView>
MakeShownTree(const std::filesystem::path& root, TVisOptions options,
              const std::function<void(TShellTreeView&)>& before = {}) {
    auto tree = std::make_unique<TShellTreeView>();
    tree->SetShowMessages(false);
    tree->SetOptions(options);
    tree->SetRootUsePIDL(false);
    tree->SetRootDir(Text(root));
    if (before)
        before(*tree);
    tree->show();
    return tree;
}

// Waits without the event loop, so a monitor's hand-over stays undelivered.
inline bool SpinUntil(const std::function<bool()>& done, int limitMs = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limitMs)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
