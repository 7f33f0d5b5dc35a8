/* Makes file writes fail on purpose, for tests: preloaded (LD_PRELOAD) into a program, it lets
 * write, fsync or rename fail as a full disk or a broken disk would.
 *
 *   PRX5M_FAULT       write:N   writes succeed until N bytes in all have been written to the
 *                               matching files; the write that crosses N is cut short there and
 *                               the next one fails
 *                     fsync     fsync and fdatasync of a matching file fail
 *                     rename    renaming a matching file fails
 *                     close     closing a matching file fails after it is closed (as a network
 *                               file system reports a write it could not make)
 *                     Anything after a '#' only marks a new setting (the byte count restarts).
 *   PRX5M_FAULT_PATH  only files whose path contains this text are hit (default: every file)
 *   PRX5M_FAULT_ERRNO ENOSPC (default) or EIO
 * The standard streams (fwrite, fclose) of a library that writes through them are hit the same way.
 * Without PRX5M_FAULT nothing changes.
 */
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

extern "C" {

static char g_setting[256];
static long long g_written;

enum kind { NONE, WRITE, FSYNC, RENAME, CLOSE };

static enum kind current(long long *limit)
{
    const char *s = getenv("PRX5M_FAULT");
    if (!s || !*s)
        return NONE;
    if (strncmp(s, g_setting, sizeof g_setting) != 0) {
        snprintf(g_setting, sizeof g_setting, "%s", s);
        g_written = 0;
    }
    if (strncmp(s, "write:", 6) == 0) {
        *limit = atoll(s + 6);
        return WRITE;
    }
    if (strncmp(s, "fsync", 5) == 0)
        return FSYNC;
    if (strncmp(s, "rename", 6) == 0)
        return RENAME;
    if (strncmp(s, "close", 5) == 0)
        return CLOSE;
    return NONE;
}

static int fault_errno(void)
{
    const char *e = getenv("PRX5M_FAULT_ERRNO");
    return e && strcmp(e, "EIO") == 0 ? EIO : ENOSPC;
}

static int path_matches(const char *path)
{
    const char *want = getenv("PRX5M_FAULT_PATH");
    return !want || !*want || (path && strstr(path, want));
}

static int fd_matches(int fd)
{
    char link[64];
    char path[PATH_MAX];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, path, sizeof path - 1);
    if (n <= 0)
        return 0;
    path[n] = 0;
    if (strncmp(path, "/dev/", 5) == 0 || strncmp(path, "pipe:", 5) == 0 || strncmp(path, "socket:", 7) == 0)
        return 0;
    return path_matches(path);
}

/* How many of `count` bytes may be written now: count, fewer, or -1 (fail). */
static ssize_t allowance(int fd, size_t count)
{
    long long limit = 0;
    if (current(&limit) != WRITE || !fd_matches(fd))
        return (ssize_t)count;
    if (g_written >= limit) {
        errno = fault_errno();
        return -1;
    }
    if (g_written + (long long)count > limit)
        return (ssize_t)(limit - g_written);
    return (ssize_t)count;
}

#define REAL(name) static const auto real_##name = reinterpret_cast<decltype(&name)>(dlsym(RTLD_NEXT, #name))

ssize_t write(int fd, const void *buf, size_t count)
{
    REAL(write);
    const ssize_t allowed = allowance(fd, count);
    if (allowed < 0)
        return -1;
    const ssize_t n = real_write(fd, buf, (size_t)allowed);
    if (n > 0)
        g_written += n;
    return n;
}

ssize_t pwrite64(int fd, const void *buf, size_t count, off64_t offset)
{
    REAL(pwrite64);
    const ssize_t allowed = allowance(fd, count);
    if (allowed < 0)
        return -1;
    const ssize_t n = real_pwrite64(fd, buf, (size_t)allowed, offset);
    if (n > 0)
        g_written += n;
    return n;
}

ssize_t pwrite(int fd, const void *buf, size_t count, off_t offset)
{
    return pwrite64(fd, buf, count, (off64_t)offset);
}

ssize_t writev(int fd, const struct iovec *iov, int iovcnt)
{
    REAL(writev);
    long long limit = 0;
    if (current(&limit) == WRITE && fd_matches(fd)) {
        /* Written piece by piece so that the limit cuts at the right byte. */
        ssize_t total = 0;
        for (int i = 0; i < iovcnt; ++i) {
            const ssize_t n = write(fd, iov[i].iov_base, iov[i].iov_len);
            if (n < 0)
                return total > 0 ? total : -1;
            total += n;
            if ((size_t)n < iov[i].iov_len)
                break;
        }
        return total;
    }
    return real_writev(fd, iov, iovcnt);
}

static int sync_fails(int fd)
{
    long long limit = 0;
    if (current(&limit) == FSYNC && fd_matches(fd)) {
        errno = fault_errno();
        return 1;
    }
    return 0;
}

int fsync(int fd)
{
    REAL(fsync);
    return sync_fails(fd) ? -1 : real_fsync(fd);
}

int fdatasync(int fd)
{
    REAL(fdatasync);
    return sync_fails(fd) ? -1 : real_fdatasync(fd);
}

static int rename_fails(const char *from, const char *to)
{
    long long limit = 0;
    if (current(&limit) == RENAME && (path_matches(from) || path_matches(to))) {
        errno = fault_errno();
        return 1;
    }
    return 0;
}

int rename(const char *from, const char *to)
{
    REAL(rename);
    return rename_fails(from, to) ? -1 : real_rename(from, to);
}

int renameat(int fromdir, const char *from, int todir, const char *to)
{
    REAL(renameat);
    return rename_fails(from, to) ? -1 : real_renameat(fromdir, from, todir, to);
}

int renameat2(int fromdir, const char *from, int todir, const char *to, unsigned int flags)
{
    REAL(renameat2);
    return rename_fails(from, to) ? -1 : real_renameat2(fromdir, from, todir, to, flags);
}

size_t fwrite(const void *buf, size_t size, size_t count, FILE *stream)
{
    REAL(fwrite);
    const size_t bytes = size * count;
    if (size == 0 || bytes == 0)
        return real_fwrite(buf, size, count, stream);
    const ssize_t allowed = allowance(fileno(stream), bytes);
    if (allowed < 0)
        return 0;
    const size_t n = real_fwrite(buf, 1, (size_t)allowed, stream);
    g_written += (long long)n;
    if ((size_t)allowed < bytes)
        errno = fault_errno();
    return n / size;
}

int fclose(FILE *stream)
{
    REAL(fclose);
    long long limit = 0;
    const int fails = current(&limit) == CLOSE && fd_matches(fileno(stream));
    const int r = real_fclose(stream);
    if (fails) {
        errno = fault_errno();
        return EOF;
    }
    return r;
}

int close(int fd)
{
    REAL(close);
    long long limit = 0;
    const int fails = current(&limit) == CLOSE && fd_matches(fd);
    const int r = real_close(fd);
    if (fails) {
        errno = fault_errno();
        return -1;
    }
    return r;
}

} // extern "C"
