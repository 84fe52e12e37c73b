#pragma once
#include <QString>

namespace zd::common {

// Held for the life of a program: a second process asking for the same name
// is refused. The hold is a lock on a file in the user's runtime folder, kept
// open for the process's life: the kernel drops it when the process ends in
// any way (killed included), so nothing stale is ever left to judge, even
// where process ids repeat.
class SingleInstance {
public:
    explicit SingleInstance(const QString &name);
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;
    bool isFirst() const { return m_first; }

private:
    int m_fd = -1;
    bool m_first = false;
};

} // namespace zd::common
