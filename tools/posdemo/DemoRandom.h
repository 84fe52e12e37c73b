#pragma once
#include <QtGlobal>

namespace zd::posdemo {

// A small generator with a fixed algorithm (splitmix64), so that the same
// seed gives the same database with any standard library.
class DemoRandom {
public:
    explicit DemoRandom(quint64 seed) : m_state(seed) {}

    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [low, high] (both included).
    qint64 between(qint64 low, qint64 high)
    {
        const quint64 span = quint64(high - low) + 1;
        return low + qint64(next() % span);
    }
    // Uniform in [0, 1).
    double unit() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    // True with the given probability.
    bool chance(double probability) { return unit() < probability; }

private:
    quint64 m_state;
};

} // namespace zd::posdemo
