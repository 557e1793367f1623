#pragma once
// One running copy per user: a lock named after the application title.
//
// The lock is an flock() on a file in the user's runtime folder
// (XDG_RUNTIME_DIR/<title>.lock). The kernel releases it when the process ends
// in any way, so a crashed copy never leaves it stuck, and the file itself may
// stay behind harmlessly.

#include <QString>

namespace mirel::app {

class SingleInstance {
public:
    // Tries to take the lock; held for the life of this object.
    explicit SingleInstance(const QString& title);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another copy holds the lock. When the runtime folder cannot be
    // used at all the lock is taken as free: refusing to start would be worse
    // than a second copy.
    bool acquired() const { return m_acquired; }
    const QString& lockPath() const { return m_path; }

private:
    QString m_path;
    int m_fd = -1;
    bool m_acquired = false;
};

} // namespace mirel::app
