#pragma once

// A shell-link backend that only records what it is asked and fails on cue.

#include "ShellLink.h"

#include <QStringList>

class RecordingLinks : public shelllink::ShellLinkBackend {
public:
    QStringList calls; // "folder|caption|target|arguments|perUser|token", or "url name url"
    int failAt = -1;   // the link call that fails, counted from 0
    std::string failure;

    shelllink::Outcome createLink(const std::string& folder, const std::string& caption,
                                  const std::string& target, const std::string& arguments,
                                  bool perUser, std::string& parentToken) override {
        calls << QString::fromStdString(folder + '|' + caption + '|' + target + '|' + arguments +
                                        (perUser ? "|1|" : "|0|") + parentToken);
        const bool fails = links_++ == failAt;
        return {!fails, fails ? failure : ""};
    }
    bool writeInternetShortcut(const std::string& name, const std::string& url) override {
        calls << QString::fromStdString("url " + name + ' ' + url);
        return true;
    }

private:
    int links_ = 0;
};
