#include "server/DescriptorLimit.h"

#include <sys/resource.h>

#include <algorithm>
#include <limits>

namespace DescriptorLimit {

qint64 raiseSoftLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return -1;
    if (limit.rlim_cur < limit.rlim_max) {
        rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max;
        if (setrlimit(RLIMIT_NOFILE, &raised) == 0)
            limit = raised;
    }
    if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur > rlim_t(std::numeric_limits<qint64>::max()))
        return std::numeric_limits<qint64>::max();
    return qint64(limit.rlim_cur);
}

qint64 maxClients(qint64 limit)
{
    return std::max<qint64>(0, limit - kReserved);
}

} // namespace DescriptorLimit
