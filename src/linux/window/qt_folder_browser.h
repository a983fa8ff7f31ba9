#pragma once

#include <QWidget>

#include "platform/window.h"

namespace tav {

// The folder browser: a modal Qt directory dialog over the main window. Only existing
// folders can be confirmed; the answer carries no trailing separator (the root stays "/").
// With no initial folder it starts in the user's music folder, else at home.
class QtFolderBrowser : public FolderBrowser {
public:
    explicit QtFolderBrowser(QWidget& owner) : owner_(owner) {}
    std::optional<std::string> Browse(const std::string& title,
                                      const std::optional<std::string>& initial) override;

private:
    QWidget& owner_;
};

}  // namespace tav
