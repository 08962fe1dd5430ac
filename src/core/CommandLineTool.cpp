#include "core/CommandLineTool.h"

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
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
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
