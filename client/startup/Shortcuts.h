#pragma once

#include "ShellLink.h"

#include <QString>
#include <optional>

// The program's four shell links and its desktop internet shortcut, written
// on every start.
namespace shortcuts {

// Rows in the order they are created.
struct Row {
    const char* folder; // relative to the Start-menu Programs folder
    const char* caption;
    const char* program; // file name without the platform's suffix
};
inline constexpr Row Rows[] = {
    {"..\\..\\Desktop", "Orvanta", "Orvanta"},
    {"..", "Orvanta从业工具箱", "Orvanta"},
    {".", "Orvanta同行协作网络办公信息系统", "Orvanta"},
    {".", "Brickvane游戏", "game"},
};
inline constexpr const char* ParentToken = "$(Programs)";
inline constexpr const char* InternetShortcutName = "Velantrix在线同行协作";

// `program` in `programFolder`, with the platform's separator always inserted.
QString programPath(const QString& programFolder, const char* program);

// Creates the links in order. Stops at the first one that fails and returns
// its description; the later rows are not made.
std::optional<QString> createLinks(shelllink::ShellLinkBackend& links,
                                   const QString& programFolder);

// Points the desktop internet shortcut at `rootAddress`.
bool writeInternetShortcut(shelllink::ShellLinkBackend& links, const QString& rootAddress);

} // namespace shortcuts
