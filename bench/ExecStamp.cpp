// tevo-bench-exec STAMP PROGRAM [ARGUMENT...]
//
// Writes the CLOCK_MONOTONIC time in nanoseconds to the file STAMP, then replaces itself with
// PROGRAM (same process id, no shell): the moment a measured program's process starts.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s STAMP PROGRAM [ARGUMENT...]\n", argv[0]);
        return 2;
    }
    std::FILE* stamp = std::fopen(argv[1], "w");
    if (!stamp) {
        std::fprintf(stderr, "%s: cannot write %s: %s\n", argv[0], argv[1], std::strerror(errno));
        return 2;
    }
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(stamp, "%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    if (std::fclose(stamp) != 0) {
        std::fprintf(stderr, "%s: cannot write %s: %s\n", argv[0], argv[1], std::strerror(errno));
        return 2;
    }
    ::execv(argv[2], argv + 2);
    std::fprintf(stderr, "%s: cannot start %s: %s\n", argv[0], argv[2], std::strerror(errno));
    return 127;
}
