#include "platform/PosixProcessStarter.h"

#include "support/ChildProcess.h"
#include "support/QtPrinters.h"
#include "support/ScopedProcessState.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>

namespace tevo {
namespace {

using test::fileBytes;
using test::writeFile;

constexpr QFile::Permissions kExecutable =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
constexpr QFile::Permissions kNotExecutable = QFile::ReadOwner | QFile::WriteOwner;

// Waits up to five seconds for a file that a started program writes.
QByteArray waitForFile(const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    while (!QFile::exists(path) && timer.elapsed() < 5000)
        QThread::msleep(20);
    return fileBytes(path);
}

TEST(PosixProcessStarter, SearchesProgramFolderThenWorkingDirectoryThenPath)
{
    const struct
    {
        const char* programFolder;
        const char* path; // nullptr: PATH unset
        QList<QByteArray> expected;
    } cases[] = {
        {"/opt/tevo", "/usr/bin:/bin", {"/opt/tevo", "/srv/suite", "/usr/bin", "/bin"}},
        {"/opt/tevo",
         "/usr/bin::/bin",
         {"/opt/tevo", "/srv/suite", "/usr/bin", "/srv/suite", "/bin"}},
        {"/opt/tevo", "", {"/opt/tevo", "/srv/suite", "/srv/suite"}},
        {"/opt/tevo", nullptr, {"/opt/tevo", "/srv/suite", "/usr/bin", "/bin"}},
        {"", "/bin", {"/srv/suite", "/bin"}},
    };
    for (const auto& row : cases) {
        const QByteArray path = row.path ? QByteArray(row.path) : QByteArray();
        EXPECT_EQ(PosixProcessStarter::searchFolders(row.programFolder, "/srv/suite", path),
                  row.expected)
            << (row.path ? row.path : "(unset)");
    }
}

TEST(PosixProcessStarter, EachFolderTriesTheExactNameBeforeOtherCase)
{
    QTemporaryDir root;
    const QString first = root.filePath("first");
    const QString second = root.filePath("second");
    const QString third = root.filePath("third");
    for (const QString& folder : {first, second, third})
        ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QDir().mkpath(first + "/Dir.exe"));
    for (const QString& file : {first + "/E2.exe", second + "/e2.exe", second + "/Only.exe",
                                second + "/Dir.exe", third + "/only.exe", third + "/late.EXE"})
        ASSERT_TRUE(writeFile(file, "#!/bin/sh\n", kExecutable));

    const struct
    {
        const char* name;
        QString expected; // empty: not found
    } cases[] = {
        {"E2.exe", first + "/E2.exe"},      {"e2.exe", first + "/E2.exe"},
        {"only.exe", second + "/Only.exe"}, {"LATE.exe", third + "/late.EXE"},
        {"Dir.exe", second + "/Dir.exe"},   {"none.exe", QString()},
    };
    for (const auto& row : cases) {
        const std::optional<QByteArray> found = PosixProcessStarter::locate(
            row.name,
            {QFile::encodeName(first), QFile::encodeName(second), QFile::encodeName(third)});
        EXPECT_EQ(QFile::decodeName(found.value_or(QByteArray())), row.expected) << row.name;
    }
}

TEST(PosixProcessStarter, StartsDetachedInTheWorkingDirectoryWithoutArguments)
{
    QTemporaryDir root;
    const QString folder = root.filePath("保養廠 suite");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString record = root.filePath("record.txt");
    // Sleeps first, so that it still runs when start() has returned.
    const QByteArray script = "#!/bin/sh\n"
                              "sleep 0.3\n"
                              "read -r pid name state ppid group session rest < /proc/$$/stat\n"
                              "[ -e /proc/$$/fd/97 ] && fd=inherited || fd=closed\n"
                              "printf '%s\\n' \"$(pwd -P)\" \"$#\" \"$ppid\" \"$session\" $fd > '" +
                              QFile::encodeName(record) +
                              ".part'\n"
                              "mv '" +
                              QFile::encodeName(record) + ".part' '" + QFile::encodeName(record) +
                              "'\n";
    ASSERT_TRUE(writeFile(folder + "/Recorder.sh", script, kExecutable));

    test::ScopedWorkingDirectory cwd(folder);
    ASSERT_TRUE(cwd.changed());
    // A descriptor that the menu left inheritable by mistake.
    const int leaked = ::dup2(::open("/dev/null", O_RDONLY), 97);
    PosixProcessStarter starter;
    const Status status = starter.start("recorder.SH");
    ::close(leaked);
    ASSERT_TRUE(status) << status.message();
    EXPECT_TRUE(test::childProcesses().empty()) << "the started program is a child of ours";

    const QStringList lines = QString::fromUtf8(waitForFile(record)).split(u'\n');
    ASSERT_EQ(lines.size(), 6) << lines.join('|');
    EXPECT_EQ(lines[0], folder);
    EXPECT_EQ(lines[1], "0") << "arguments were passed";
    EXPECT_NE(lines[2].toInt(), ::getpid());
    EXPECT_NE(lines[3].toInt(), ::getsid(0)) << "the program shares our session";
    EXPECT_EQ(lines[4], "closed");
}

// Whatever the menu ignores or blocks, a program it starts begins with every signal at its
// default and none blocked, by either start; posix_spawn() on its own leaves two of the C
// library's real-time signals ignored.
TEST(PosixProcessStarter, StartedProgramsBeginWithEverySignalAtItsDefault)
{
    QTemporaryDir root;
    const QString record = root.filePath("signals.txt");
    // Builtins only, so that the shell reads its own state and not while it waits for a child.
    const QByteArray file = QFile::encodeName(record);
    const QByteArray script = "#!/bin/sh\n"
                              "while read -r name value; do\n"
                              "  case $name in SigIgn:|SigBlk:) echo $name $value;; esac\n"
                              "done < /proc/$$/status > '" +
                              file + ".part'\nmv '" + file + ".part' '" + file + "'\n";
    ASSERT_TRUE(writeFile(root.filePath("Signals.sh"), script, kExecutable));
    test::ScopedWorkingDirectory cwd(root.path());
    ASSERT_TRUE(cwd.changed());

    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction savedInt;
    struct sigaction savedPipe;
    ::sigaction(SIGINT, &ignore, &savedInt);
    ::sigaction(SIGPIPE, &ignore, &savedPipe);
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGUSR2);
    sigaddset(&blocked, SIGRTMIN + 1);
    sigset_t savedMask;
    ::pthread_sigmask(SIG_BLOCK, &blocked, &savedMask);

    PosixProcessStarter starter;
    const struct
    {
        const char* start;
        Status (PosixProcessStarter::*call)(const QString&);
    } cases[] = {
        {"start", &PosixProcessStarter::start},
        {"startBeforeEnding", &PosixProcessStarter::startBeforeEnding},
    };
    for (const auto& row : cases) {
        QFile::remove(record);
        const Status status = (starter.*row.call)("Signals.sh");
        ASSERT_TRUE(status) << row.start << ": " << status.message();
        EXPECT_EQ(waitForFile(record), "SigBlk: 0000000000000000\nSigIgn: 0000000000000000\n")
            << row.start;
        // The program of the hand-off is our child: collect it.
        for (const pid_t child : test::childProcesses())
            ::waitpid(child, nullptr, 0);
    }

    ::pthread_sigmask(SIG_SETMASK, &savedMask, nullptr);
    ::sigaction(SIGINT, &savedInt, nullptr);
    ::sigaction(SIGPIPE, &savedPipe, nullptr);
}

TEST(PosixProcessStarter, ReportsProgramsThatCannotBeStarted)
{
    QTemporaryDir root;
    ASSERT_TRUE(writeFile(root.filePath("Plain.exe"), "#!/bin/sh\nexit 0\n", kNotExecutable));
    ASSERT_TRUE(
        writeFile(root.filePath("Foreign.exe"), "MZ\x90 not for this machine\n", kExecutable));
    ASSERT_TRUE(
        writeFile(root.filePath("Orphan.exe"), "#!/nonexistent/interpreter\n", kExecutable));
    ASSERT_TRUE(QDir().mkpath(root.filePath("Folder.exe")));

    const struct
    {
        const char* program;
        const char* phrase;
    } cases[] = {
        {"Missing.exe", "找不到程式"}, {"Folder.exe", "找不到程式"}, {"Plain.exe", "沒有執行權限"},
        {"Foreign.exe", "程式格式"},   {"Orphan.exe", "直譯程式"},   {"", "找不到程式"},
    };
    test::ScopedWorkingDirectory cwd(root.path());
    ASSERT_TRUE(cwd.changed());
    PosixProcessStarter starter;
    for (const auto& row : cases) {
        const Status status = starter.start(row.program);
        ASSERT_FALSE(status) << row.program;
        EXPECT_TRUE(status.message().contains(QString::fromUtf8(row.program)) &&
                    status.message().contains(QString::fromUtf8(row.phrase)))
            << row.program << ": " << status.message();
    }
    // The message names the suite's folder; every folder searched is in the details only.
    const Status missing = starter.start("Missing.exe");
    EXPECT_TRUE(missing.message().contains(root.path()));
    const QString programFolder = QFile::decodeName(PosixProcessStarter::programFolder());
    EXPECT_FALSE(missing.message().contains(programFolder)) << missing.message().toStdString();
    EXPECT_TRUE(missing.details().contains(programFolder + u'\n' + root.path()))
        << missing.details().toStdString();
    EXPECT_TRUE(test::childProcesses().empty());
}

} // namespace
} // namespace tevo
