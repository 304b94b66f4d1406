#include "DataWindow.h"

#include "CliError.h"
#include "CliOptions.h"

#include <algorithm>
#include <climits>

DataWindow DataWindow::resolve(const CliOptions& opts, int total, int defaultCount)
{
    DataWindow w;
    const bool hasFirst = opts.has(QStringLiteral("first"));
    const bool hasCount = opts.has(QStringLiteral("count"));
    const int first = opts.intValue(QStringLiteral("first"), 0, 0, INT_MAX);
    const int count = opts.intValue(QStringLiteral("count"), 0, 1, INT_MAX);
    if (hasFirst && first >= total)
        throw CliError(QStringLiteral("--first %1 lies past the data (%2 records, last index %3)")
                           .arg(first)
                           .arg(total)
                           .arg(total - 1));
    if (hasFirst && hasCount && count > total - first)
        throw CliError(QStringLiteral("--first %1 --count %2 runs past the data (%3 records, last index %4)")
                           .arg(first)
                           .arg(count)
                           .arg(total)
                           .arg(total - 1));
    if (hasCount && count > total)
        throw CliError(QStringLiteral("--count %1 is more than the data holds (%2 records)").arg(count).arg(total));
    if (hasFirst) {
        w.first = first;
        w.count = hasCount ? count : total - first;
    } else {
        w.count = hasCount ? count : std::clamp(defaultCount, 1, total);
        w.first = total - w.count;
    }
    return w;
}
