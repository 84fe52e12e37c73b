// Preloaded into a process (LD_PRELOAD) to kill it with SIGKILL just before
// its Nth call that changes a file or a folder (ZD_KILL_AT=N): a write, a
// flush to disk, a truncation, a rename, a link or a removal. Counting from
// 1 upwards kills the process in every state its files pass through.
// Writes to the standard streams are not counted.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {

std::atomic<long> calls{0};

void step()
{
    static const long killAt = [] {
        const char *value = std::getenv("ZD_KILL_AT");
        return value ? std::atol(value) : 0L;
    }();
    if (killAt > 0 && ++calls == killAt)
        ::kill(::getpid(), SIGKILL);
}

template <typename F>
F real(F, const char *name)
{
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

} // namespace

#define FORWARD(name, ...) \
    static const auto next = real(&::name, #name); \
    return next(__VA_ARGS__)

extern "C" {

ssize_t write(int fd, const void *buffer, size_t size)
{
    if (fd > 2)
        step();
    FORWARD(write, fd, buffer, size);
}

ssize_t writev(int fd, const struct iovec *vector, int count)
{
    if (fd > 2)
        step();
    FORWARD(writev, fd, vector, count);
}

ssize_t pwrite(int fd, const void *buffer, size_t size, off_t offset)
{
    step();
    FORWARD(pwrite, fd, buffer, size, offset);
}

ssize_t pwrite64(int fd, const void *buffer, size_t size, off64_t offset)
{
    step();
    FORWARD(pwrite64, fd, buffer, size, offset);
}

int fsync(int fd)
{
    step();
    FORWARD(fsync, fd);
}

int fdatasync(int fd)
{
    step();
    FORWARD(fdatasync, fd);
}

int ftruncate(int fd, off_t length)
{
    step();
    FORWARD(ftruncate, fd, length);
}

int ftruncate64(int fd, off64_t length)
{
    step();
    FORWARD(ftruncate64, fd, length);
}

ssize_t sendfile(int out, int in, off_t *offset, size_t count)
{
    step();
    FORWARD(sendfile, out, in, offset, count);
}

ssize_t sendfile64(int out, int in, off64_t *offset, size_t count)
{
    step();
    FORWARD(sendfile64, out, in, offset, count);
}

ssize_t copy_file_range(int in, off64_t *inOffset, int out, off64_t *outOffset, size_t length, unsigned int flags)
{
    step();
    FORWARD(copy_file_range, in, inOffset, out, outOffset, length, flags);
}

int rename(const char *from, const char *to)
{
    step();
    FORWARD(rename, from, to);
}

int renameat(int fromDir, const char *from, int toDir, const char *to)
{
    step();
    FORWARD(renameat, fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char *from, int toDir, const char *to, unsigned int flags)
{
    step();
    FORWARD(renameat2, fromDir, from, toDir, to, flags);
}

int link(const char *from, const char *to)
{
    step();
    FORWARD(link, from, to);
}

int linkat(int fromDir, const char *from, int toDir, const char *to, int flags)
{
    step();
    FORWARD(linkat, fromDir, from, toDir, to, flags);
}

int unlink(const char *path)
{
    step();
    FORWARD(unlink, path);
}

int unlinkat(int dir, const char *path, int flags)
{
    step();
    FORWARD(unlinkat, dir, path, flags);
}

} // extern "C"
