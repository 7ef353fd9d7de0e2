#pragma once

// A shell-link backend that only records what it is asked and fails on cue.

#include "ShellLink.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

struct LinkCall {
    QString folder;
    QString caption;
    QString target;
    QString arguments;
    bool perUser = false;
    QString token;
    bool operator==(const LinkCall&) const = default;
};

class RecordingLinks : public shelllink::ShellLinkBackend {
public:
    QList<LinkCall> links;
    QStringList internetShortcuts; // "name url"
    int failAt = -1;               // the link call that fails, counted from 0
    std::string failure;
    std::string tokenAfter;       // left in the parent token when not empty
    std::function<void()> onCall; // runs inside every call

    shelllink::Outcome createLink(const std::string& folder, const std::string& caption,
                                  const std::string& target, const std::string& arguments,
                                  bool perUser, std::string& parentToken) override {
        if (onCall)
            onCall();
        links.append({QString::fromStdString(folder), QString::fromStdString(caption),
                      QString::fromStdString(target), QString::fromStdString(arguments), perUser,
                      QString::fromStdString(parentToken)});
        if (!tokenAfter.empty())
            parentToken = tokenAfter;
        if (links.size() - 1 == failAt)
            return {false, failure};
        return {};
    }

    bool writeInternetShortcut(const std::string& name, const std::string& url) override {
        if (onCall)
            onCall();
        internetShortcuts.append(QString::fromStdString(name + " " + url));
        return true;
    }
};
