#include "platform/XdgShellOpener.h"

#include "support/ChildProcess.h"
#include "support/QtPrinters.h"
#include "support/ScopedProcessState.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace tevo {
namespace {

TEST(XdgShellOpener, PassesTheAddressAsOneArgumentWithoutAShell)
{
    QTemporaryDir root;
    const QString bin = root.filePath("bin");
    const QString record = root.filePath("opened.txt");
    ASSERT_TRUE(QDir().mkpath(bin));
    const QByteArray recorder = "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$1\" > '" +
                                QFile::encodeName(record) + ".part'\n/bin/mv '" +
                                QFile::encodeName(record) + ".part' '" + QFile::encodeName(record) +
                                "'\n";
    ASSERT_TRUE(test::writeFile(bin + "/xdg-open", recorder,
                                QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    test::ScopedEnvironment path("PATH", QFile::encodeName(bin));
    test::ScopedWorkingDirectory cwd(root.path());

    const char* addresses[] = {
        "http://service.tevo.invalid/standard/vw11/vw11_NEW.ASP?VW2A=RWIN7",
        "http://service.tevo.invalid/web/a b.asp?YHY=甲 乙&DC2A=123",
        "https://x.invalid/$(touch pwned);`touch pwned`|&<>'\"*\\ ~",
        "",
    };
    XdgShellOpener opener;
    for (const char* address : addresses) {
        QFile::remove(record);
        const Status status = opener.open(QString::fromUtf8(address));
        ASSERT_TRUE(status) << address << ": " << status.message();
        QElapsedTimer timer;
        timer.start();
        while (!QFile::exists(record) && timer.elapsed() < 5000)
            QThread::msleep(20);
        EXPECT_EQ(test::fileBytes(record), "1\n" + QByteArray(address) + "\n") << address;
    }
    EXPECT_FALSE(QFile::exists(root.filePath("pwned")));
    EXPECT_TRUE(test::childProcesses().empty());
}

TEST(XdgShellOpener, MissingOpenerIsReported)
{
    QTemporaryDir empty;
    test::ScopedEnvironment path("PATH", QFile::encodeName(empty.path()));
    const Status status = XdgShellOpener().open("http://service.tevo.invalid/");
    ASSERT_FALSE(status);
    EXPECT_TRUE(status.message().contains("xdg-open")) << status.message();
}

} // namespace
} // namespace tevo
