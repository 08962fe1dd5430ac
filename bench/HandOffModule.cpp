// The module program of the hand-off benchmark. Started under a module's name ("E2.exe") it
// reads the hand-off keys "AT", "YXQ" and "ATU" of application "kelpan" from the settings store,
// in the section of its working directory, as a module of the suite does, and appends one line
// about its start to the file named by TEVO_STANDIN_RECORD:
//
//   name, AT, YXQ, ATU, working directory, argument count, start in ms since the epoch,
//   CLOCK_MONOTONIC ns at the start of main(), CLOCK_MONOTONIC ns once the keys were read
//
// separated by tabs, "(missing)" for a key that was never written: the line of the demo's
// stand-in with two more fields, so the end-to-end helpers read it too.

#include "platform/SqliteSettingsStore.h"
#include "platform/SystemWorkingDirectory.h"

#include <QByteArray>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

qint64 monotonicNs()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

QString field(tevo::SettingsStore& store, const QString& section, const QString& key)
{
    auto value = store.read(QStringLiteral("kelpan"), section, key);
    if (!value)
        return QStringLiteral("(error: %1)").arg(value.error());
    if (!value.value())
        return QStringLiteral("(missing)");
    QString text = *value.value();
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    text.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    text.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    const qint64 startedNs = monotonicNs();
    const qint64 startedMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::system_clock::now().time_since_epoch())
                                 .count();

    const char* recordFile = std::getenv("TEVO_STANDIN_RECORD");
    if (!recordFile || !*recordFile) {
        std::fprintf(stderr, "%s: TEVO_STANDIN_RECORD names no file\n", argv[0]);
        return 2;
    }

    const QString section = tevo::SystemWorkingDirectory().current();
    auto store = tevo::SqliteSettingsStore::open(tevo::SqliteSettingsStore::defaultPath());
    if (!store) {
        std::fprintf(stderr, "%s: %s\n", argv[0], qPrintable(store.error()));
        return 3;
    }
    const QString at = field(*store.value(), section, QStringLiteral("AT"));
    const QString yxq = field(*store.value(), section, QStringLiteral("YXQ"));
    const QString atu = field(*store.value(), section, QStringLiteral("ATU"));
    const qint64 keysReadNs = monotonicNs();

    const QStringList fields{QFileInfo(QFile::decodeName(argv[0])).fileName(),
                             at,
                             yxq,
                             atu,
                             section,
                             QString::number(argc),
                             QString::number(startedMs),
                             QString::number(startedNs),
                             QString::number(keysReadNs)};
    const QByteArray line = fields.join(QLatin1Char('\t')).toUtf8() + '\n';
    // One write per line: several modules may append to the same file.
    std::FILE* out = std::fopen(recordFile, "a");
    if (!out || std::fwrite(line.constData(), 1, size_t(line.size()), out) != size_t(line.size()) ||
        std::fclose(out) != 0) {
        std::fprintf(stderr, "%s: cannot write %s: %s\n", argv[0], recordFile,
                     std::strerror(errno));
        return 3;
    }
    return 0;
}
