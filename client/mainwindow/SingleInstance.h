#pragma once

#include <QString>
#include <memory>

class QLockFile;

// One running copy per user: a lock file in the user's runtime folder, held
// for the life of the process. A lock no running copy holds (left by a killed
// copy, emptied, garbled, written on another host) is taken over; only a
// running copy refuses the start.
class SingleInstance {
public:
    explicit SingleInstance(const QString& lockPath);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // "<runtime folder>/<name>.lock", or empty when there is no runtime folder.
    static QString lockPathFor(const QString& name);

    // True while another running copy holds the lock. Otherwise takes the
    // lock (if it is not already ours) and answers false. When the lock cannot
    // be used at all, nothing can be told and the answer is false: a failing
    // check never keeps the program from running.
    bool anotherCopyRunning();

private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
};
