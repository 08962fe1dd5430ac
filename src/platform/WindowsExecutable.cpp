#include "platform/WindowsExecutable.h"

#include <QFile>

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tevo {

namespace {

constexpr off_t kDosHeaderSize = 64;
constexpr off_t kNewHeaderOffset = 0x3C;

bool readAt(int fd, unsigned char* buffer, size_t size, off_t offset)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, buffer + done, size - done, offset + off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

} // namespace

bool isWindowsExecutable(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool windows = false;
    struct stat info;
    unsigned char header[kDosHeaderSize];
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size >= kDosHeaderSize &&
        readAt(fd, header, sizeof header, 0) && header[0] == 'M' && header[1] == 'Z') {
        const unsigned char* field = header + kNewHeaderOffset;
        const uint32_t offset = uint32_t(field[0]) | uint32_t(field[1]) << 8 |
                                uint32_t(field[2]) << 16 | uint32_t(field[3]) << 24;
        unsigned char signature[4];
        windows = off_t(offset) + 4 <= info.st_size &&
                  readAt(fd, signature, sizeof signature, off_t(offset)) && signature[0] == 'P' &&
                  signature[1] == 'E' && signature[2] == 0 && signature[3] == 0;
    }
    ::close(fd);
    return windows;
}

} // namespace tevo
