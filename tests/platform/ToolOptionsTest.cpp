// The options both command-line tools share: --help, -h and --version answer on standard output
// with exit status 0, touch no settings store, and output that cannot be written is a failure.

#include "Version.h"

#include "support/QtPrinters.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace tevo {
namespace {

struct ToolRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs a tool with its store under `configHome`; with `stdoutFile` its output goes there.
ToolRun runTool(const QString& tool, const QStringList& arguments, const QString& configHome,
                const QString& stdoutFile = QString())
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    process.setProcessEnvironment(environment);
    if (!stdoutFile.isEmpty())
        process.setStandardOutputFile(stdoutFile);
    process.start(tool, arguments);
    const bool finished = process.waitForFinished(30000);
    EXPECT_TRUE(finished) << tool.toStdString() << " " << arguments.join(' ').toStdString();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

const struct
{
    const char* name;
    const char* path;
} kTools[] = {
    {"tevo-settings", TEVO_SETTINGS_TOOL},
    {"tevo-profile", TEVO_PROFILE_TOOL},
};

TEST(ToolOptions, HelpAndVersionAnswerWithoutTouchingTheStore)
{
    QTemporaryDir home;
    const QString configHome = home.filePath("cfg");
    const QString version = QStringLiteral("%1.%2.%3")
                                .arg(version::kMajor)
                                .arg(version::kMinor)
                                .arg(version::kRevision);
    for (const auto& tool : kTools) {
        const QString name = QString::fromLatin1(tool.name);
        const struct
        {
            QStringList arguments;
            QString out; // exact output; empty: the usage text
        } cases[] = {
            {{"--help"}, {}},
            {{"-h"}, {}},
            {{"--version"}, name + u' ' + version + u'\n'},
        };
        for (const auto& row : cases) {
            const ToolRun run = runTool(QString::fromUtf8(tool.path), row.arguments, configHome);
            const std::string context = tool.name + (" " + row.arguments.join(' ').toStdString());
            EXPECT_EQ(run.exitCode, 0) << context << "\n" << run.err.toStdString();
            EXPECT_EQ(run.err, QString()) << context;
            if (row.out.isEmpty()) {
                EXPECT_TRUE(run.out.startsWith(QStringLiteral("用法："))) << context << run.out;
                EXPECT_TRUE(run.out.contains(QStringLiteral("--version"))) << context;
                EXPECT_TRUE(run.out.contains(QStringLiteral("結束碼"))) << context;
            } else {
                EXPECT_EQ(run.out, row.out) << context;
            }
        }
    }
    EXPECT_FALSE(QDir(configHome).exists()) << "a store was created under " << configHome;
}

TEST(ToolOptions, OutputThatCannotBeWrittenIsAFailure)
{
    if (!QFile::exists(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "no /dev/full on this machine";
    QTemporaryDir home;
    for (const auto& tool : kTools) {
        for (const QStringList& arguments : {QStringList{"--help"}, QStringList{"--version"}}) {
            const ToolRun run = runTool(QString::fromUtf8(tool.path), arguments,
                                        home.filePath("cfg"), QStringLiteral("/dev/full"));
            const std::string context = tool.name + (" " + arguments.join(' ').toStdString());
            EXPECT_EQ(run.exitCode, 2) << context;
            EXPECT_TRUE(run.err.contains(QStringLiteral("標準輸出"))) << context << run.err;
            // and why: /dev/full refuses every write.
            EXPECT_TRUE(run.err.contains(QString::fromLocal8Bit(std::strerror(ENOSPC))))
                << context << run.err;
        }
    }
}

} // namespace
} // namespace tevo
