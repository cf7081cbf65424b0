/* A preload library that stands between a program and the clock-setting calls: it records each
 * attempt to set the real-time clock in the file named by CORVANE_FAKECLOCK_LOG, reports
 * success, and never changes the clock. Each line is
 *     clock_settime <sec>.<nsec> wall <sec>.<nsec>
 *     settimeofday <sec>.<nsec> wall <sec>.<nsec>      (or "settimeofday none" without a time)
 * where "wall" is the real clock at the moment of the attempt. A time that the kernel would refuse
 * fails with EINVAL as it would there, and is not recorded. Other clocks go to the real call. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <time.h>
#include <unistd.h>

struct timezone;

/* The kernel keeps 30 years of uptime headroom below the largest time it can represent. */
static const long long kLastSettableSecond = 9223372036LL - 946080000LL;

static int Settable(const struct timespec* t) {
    return t->tv_sec >= 0 && t->tv_sec < kLastSettableSecond && t->tv_nsec >= 0 &&
           t->tv_nsec < 1000000000L;
}

static void Record(const char* call, const struct timespec* target) {
    struct timespec wall;
    clock_gettime(CLOCK_REALTIME, &wall);
    char line[160];
    int length;
    if (target != NULL) {
        length = snprintf(line, sizeof line, "%s %lld.%09ld wall %lld.%09ld\n", call,
                          (long long)target->tv_sec, (long)target->tv_nsec, (long long)wall.tv_sec,
                          (long)wall.tv_nsec);
    } else {
        length = snprintf(line, sizeof line, "%s none wall %lld.%09ld\n", call,
                          (long long)wall.tv_sec, (long)wall.tv_nsec);
    }

    const int savedErrno = errno;
    const char* path = getenv("CORVANE_FAKECLOCK_LOG");
    if (path == NULL || *path == '\0') {
        fprintf(stderr, "corvane_fakeclock: CORVANE_FAKECLOCK_LOG is not set, not recorded: %s",
                line);
    } else {
        /* One write per line: appends of this size are not interleaved between processes. */
        const int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0 || write(fd, line, (size_t)length) != length) {
            fprintf(stderr, "corvane_fakeclock: cannot append to %s: %s\n", path, strerror(errno));
        }
        if (fd >= 0) {
            close(fd);
        }
    }
    errno = savedErrno;
}

int clock_settime(clockid_t clockId, const struct timespec* tp) {
    if (clockId != CLOCK_REALTIME) {
        int (*real)(clockid_t, const struct timespec*) =
            (int (*)(clockid_t, const struct timespec*))dlsym(RTLD_NEXT, "clock_settime");
        if (real == NULL) {
            errno = ENOSYS;
            return -1;
        }
        return real(clockId, tp);
    }
    /* tp is declared non-null; look at it through a volatile copy so the check stays. */
    const struct timespec* volatile checked = tp;
    if (checked == NULL) {
        errno = EFAULT;
        return -1;
    }
    if (!Settable(checked)) {
        errno = EINVAL;
        return -1;
    }
    Record("clock_settime", checked);
    return 0;
}

int settimeofday(const struct timeval* tv, const struct timezone* tz) {
    (void)tz;
    if (tv == NULL) {
        Record("settimeofday", NULL);
        return 0;
    }
    if (tv->tv_usec < 0 || tv->tv_usec >= 1000000) {
        errno = EINVAL;
        return -1;
    }
    const struct timespec target = {tv->tv_sec, (long)tv->tv_usec * 1000L};
    if (!Settable(&target)) {
        errno = EINVAL;
        return -1;
    }
    Record("settimeofday", &target);
    return 0;
}
