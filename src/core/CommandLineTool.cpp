#include "core/CommandLineTool.h"

#include "platform/EscapedText.h"
#include "platform/TextCodec.h"

#include <cerrno>
#include <cstring>

namespace tevo {

namespace {

// The errno of the first write to standard output that failed. Once a write has failed the
// stream keeps its error flag and the final flush may fail without a reason, or not fail at all
// (the buffered text was dropped), so the reason is kept when it happens.
int g_stdoutError = 0;

} // namespace

void writeBytes(FILE* stream, QByteArrayView bytes)
{
    const auto size = static_cast<size_t>(bytes.size());
    errno = 0;
    if (std::fwrite(bytes.data(), 1, size, stream) != size && stream == stdout &&
        g_stdoutError == 0)
        g_stdoutError = errno;
}

void writeUtf8(FILE* stream, const QString& text)
{
    writeBytes(stream, text.toUtf8());
}

void writeMessage(FILE* stream, const QString& message)
{
    writeUtf8(stream, EscapedText::escape(message) + u'\n');
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
        const int error = g_stdoutError ? g_stdoutError : errno;
        std::fprintf(stderr, "%s%s%s\n", cannotWrite, error ? "：" : "",
                     error ? std::strerror(error) : "");
        return 2;
    }
    return code;
}

} // namespace tevo
