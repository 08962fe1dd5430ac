#pragma once

// Helpers for tests that read and write real profile files.

#include "support/QtPrinters.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <iconv.h>
#include <linux/capability.h>
#include <ostream>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace tevo::test {

// Code page 950 bytes of UTF-8 text, converted here with iconv directly so that fixtures do not
// depend on the codec under test. Characters without a Big5 form make the test fail loudly.
inline QByteArray big5(const QByteArray& utf8)
{
    iconv_t cd = iconv_open("CP950", "UTF-8");
    QByteArray out(utf8.size() * 2 + 1, '\0');
    char* in = const_cast<char*>(utf8.constData());
    size_t inLeft = size_t(utf8.size());
    char* outPtr = out.data();
    size_t outLeft = size_t(out.size());
    const bool ok = iconv(cd, &in, &inLeft, &outPtr, &outLeft) != size_t(-1);
    iconv_close(cd);
    if (!ok)
        return QByteArray("<no Big5 form>");
    out.truncate(outPtr - out.data());
    return out;
}

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

// Runs `work` on a thread without the capabilities that let root ignore file permissions, so a
// read-only folder is read-only also when the tests run as root. Capabilities belong to one
// thread in Linux; the raw system call changes only the calling thread.
template <typename Work> void runWithoutPermissionOverride(Work work)
{
    std::thread thread([&work] {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2] = {};
        if (syscall(SYS_capget, &header, data) == 0) {
            for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
                data[cap / 32].effective &= ~(1u << (cap % 32));
            syscall(SYS_capset, &header, data);
        }
        work();
    });
    thread.join();
}

} // namespace tevo::test
