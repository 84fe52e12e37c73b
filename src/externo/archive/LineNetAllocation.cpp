#include "LineNetAllocation.h"

#include <algorithm>
#include <numeric>

namespace zd::archive {

QVector<qint64> AllocateLineNets(qint64 baseCents, const QVector<qint64> &lineAmountCents)
{
    const int n = int(lineAmountCents.size());
    QVector<qint64> shares(n, 0);
    if (n == 0)
        return shares;
    __int128 total = 0;
    for (qint64 amount : lineAmountCents)
        total += amount;
    if (total == 0) {
        shares[0] = baseCents;
        return shares;
    }
    // Exact integer arithmetic: quotient rounded towards minus infinity and a
    // remainder in [0, |total|), so the leftover cents are 0 .. n-1.
    const __int128 divisor = total < 0 ? -total : total;
    QVector<__int128> remainders(n);
    qint64 given = 0;
    for (int i = 0; i < n; ++i) {
        __int128 numerator = __int128(baseCents) * lineAmountCents.at(i);
        if (total < 0)
            numerator = -numerator;
        __int128 quotient = numerator / divisor;
        __int128 remainder = numerator % divisor;
        if (remainder < 0) {
            remainder += divisor;
            --quotient;
        }
        shares[i] = qint64(quotient);
        remainders[i] = remainder;
        given += shares[i];
    }
    qint64 leftover = baseCents - given;
    QVector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&remainders](int a, int b) { return remainders[a] > remainders[b]; });
    for (int k = 0; k < n && leftover > 0; ++k, --leftover)
        ++shares[order[k]];
    return shares;
}

} // namespace zd::archive
