#include "core/CommandLineTool.h"

#include "platform/TextCodec.h"

#include <cerrno>
#include <cstring>

namespace tevo {

void writeUtf8(FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

int runCommandLineTool(int argc, char** argv, int (*run)(const QStringList& arguments),
                       const char* cannotWrite)
{
    // Arguments are UTF-8, as Qt takes every local 8-bit text on Linux, decoded exactly:
    // QString::fromLocal8Bit would drop a leading U+FEFF as a byte-order mark, and `set` would
    // store the value without it.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(TextCodec::decodeUtf8(argv[i]));
    const int code = run(arguments);
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        const int error = errno;
        std::fprintf(stderr, "%s%s%s\n", cannotWrite, error ? "：" : "",
                     error ? std::strerror(error) : "");
        return 2;
    }
    return code;
}

} // namespace tevo
