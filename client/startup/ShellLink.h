#pragma once

// Creating the program's shell links and its desktop internet shortcut, one
// backend per platform. Plain C++ so that the Windows backend needs no Qt.
// Every string is UTF-8.

#include <memory>
#include <string>

namespace shelllink {

// The link folders are given relative to the user's Start-menu Programs
// folder; these are the places they stand for.
enum class Place { Desktop, StartMenu, Programs, BelowPrograms };

inline Place placeOf(const std::string& folder) {
    if (folder == "..\\..\\Desktop")
        return Place::Desktop;
    if (folder == "..")
        return Place::StartMenu;
    if (folder.empty() || folder == ".")
        return Place::Programs;
    return Place::BelowPrograms;
}

struct Outcome {
    bool ok = true;
    std::string description; // the failure's own words, for the user
};

class ShellLinkBackend {
public:
    virtual ~ShellLinkBackend() = default;

    // A link named `caption` in `folder` (relative to the folder that
    // `parentToken` names, "$(Programs)") that starts `target` with
    // `arguments`. The token receives whatever the platform leaves in it.
    virtual Outcome createLink(const std::string& folder, const std::string& caption,
                               const std::string& target, const std::string& arguments,
                               bool perUser, std::string& parentToken) = 0;

    // The desktop internet shortcut `name` pointing at `url`, overwritten on
    // every start. False, and nothing written, when it has no place to go.
    virtual bool writeInternetShortcut(const std::string& name, const std::string& url) = 0;
};

std::unique_ptr<ShellLinkBackend> makePlatformShellLinks();

} // namespace shelllink
