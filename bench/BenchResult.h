#pragma once
// The figures a benchmark hands to scripts/bench, which gathers them into
// one summary table: one tab-separated line per figure,
//   RESULT <figure> <program ms> <baseline ms or -> <baseline name> <target>
// where the target reads "ratio<N" (program / baseline) or "ms<N".
#include <cstdio>

namespace zd::bench {

inline void result(const char *figure, double programMs, double baselineMs, const char *target,
                   const char *baseline = "direct SQLite")
{
    if (baselineMs >= 0)
        std::printf("RESULT\t%s\t%.2f\t%.2f\t%s\t%s\n", figure, programMs, baselineMs, baseline, target);
    else
        std::printf("RESULT\t%s\t%.2f\t-\t-\t%s\n", figure, programMs, target);
    std::fflush(stdout);
}

} // namespace zd::bench
