#pragma once
#include <QString>
#include <memory>

class QLockFile;

namespace zd::common {

// Held for the life of a program: a second process asking for the same name
// is refused. Uses a lock file in the user's runtime folder, so a crashed
// run does not block the next one (stale locks are taken over).
class SingleInstance {
public:
    explicit SingleInstance(const QString &name);
    ~SingleInstance();
    bool isFirst() const { return m_first; }
private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_first = false;
};

} // namespace zd::common
