#pragma once

#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

// Takes CAP_SYS_NICE from the calling thread (threads it starts inherit that) and the process's
// own real-time priority limit (the soft one; `hard` too when asked, for good): the thread then
// cannot make itself real-time, as for an ordinary user.
inline bool dropRealtimePermission(bool hard = true)
{
    rlimit limit{};
    ::getrlimit(RLIMIT_RTPRIO, &limit);
    limit.rlim_cur = 0;
    if (hard)
        limit.rlim_max = 0;
    if (::setrlimit(RLIMIT_RTPRIO, &limit) != 0)
        return false;
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    for (auto& d : data) {
        d.effective &= ~(1u << CAP_SYS_NICE);
        d.permitted &= ~(1u << CAP_SYS_NICE);
    }
    return ::syscall(SYS_capset, &header, data) == 0;
}
