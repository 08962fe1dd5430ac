// The real tevo-settings binary, run with its own store under a temporary XDG_CONFIG_HOME.

#include "Version.h"
#include "platform/SqliteSettingsStore.h"
#include "platform/TextCodec.h"

#include "support/ChildProcess.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace tevo {
namespace {

using test::ChildRun;
using test::fileBytes;

class SettingsTool : public ::testing::Test
{
protected:
    ChildRun run(QStringList arguments, const QString& workingDirectory = QString(),
                 std::optional<uid_t> user = std::nullopt)
    {
        test::ChildOptions options;
        options.environment = {"XDG_CONFIG_HOME=" + configHome()};
        options.workingDirectory = workingDirectory;
        options.user = user;
        ChildRun result = test::runChild(TEVO_SETTINGS_TOOL, arguments, options);
        EXPECT_TRUE(result.finished) << arguments.join(' ');
        return result;
    }
    QString configHome() const { return m_home.filePath("cfg"); }
    // Every value of the store, read through the store itself: app, section, key, value.
    QList<QStringList> stored()
    {
        auto store = SqliteSettingsStore::open(storePath());
        EXPECT_TRUE(store.isOk()) << store.error();
        QList<QStringList> rows;
        for (const auto& e :
             store ? store.value()->list().value() : std::vector<SettingsStore::Entry>())
            rows.append({e.app, e.section, e.key, e.value});
        return rows;
    }
    void store(const QList<QStringList>& rows)
    {
        auto store = SqliteSettingsStore::open(storePath());
        ASSERT_TRUE(store.isOk()) << store.error();
        for (const QStringList& r : rows)
            ASSERT_TRUE(store.value()->write(r[0], r[1], r[2], r[3])) << r.join('|');
    }
    QString storePath() const { return configHome() + "/tevo/settings.db"; }

    QTemporaryDir m_home;
};

struct Step
{
    QStringList arguments; // "<cwd>" stands for the working directory
    int exitCode;
    QString out;
    bool complains = false; // something on standard error
};

TEST_F(SettingsTool, VerbsAndExitCodes)
{
    const QString cwd = m_home.filePath("保養廠 A");
    ASSERT_TRUE(QDir().mkpath(cwd));
    const QString version = QString("tevo-settings %1.%2.%3\n")
                                .arg(version::kMajor)
                                .arg(version::kMinor)
                                .arg(version::kRevision);
    const Step steps[] = {
        {{"get", "kelpan", "mx"}, 1, ""},
        {{"set", "kelpan", "mx", "甲 乙"}, 0, ""},
        {{"get", "KELPAN", "MX"}, 0, "甲 乙\n"},
        {{"get", "kelpan", "mx", "--section", "<cwd>"}, 0, "甲 乙\n"},
        {{"get", "kelpan", "mx", "--section=<cwd>"}, 0, "甲 乙\n"},
        {{"get", "kelpan", "mx", "--section", "<cwd>/"}, 1, ""},
        {{"set", "kelpan", "ATU", ""}, 0, ""},
        {{"get", "kelpan", "atu"}, 0, "\n"},
        {{"delete", "KELPAN", "atu"}, 0, ""},
        {{"get", "kelpan", "ATU"}, 1, ""},
        {{"delete", "kelpan", "never"}, 0, ""},
        {{"set", "EEYX", "GR", "--", "--section"}, 0, ""},
        {{"get", "EEYX", "GR"}, 0, "--section\n"},
        {{"set", "EEYX", "WE", "-1", "--section", "/srv"}, 0, ""},
        {{"get", "EEYX", "WE", "--section", "/srv"}, 0, "-1\n"},
        {{"set", "EEYX", "WE", "\uFEFF通告"}, 0, ""},
        {{"get", "EEYX", "WE"}, 0, "\uFEFF通告\n"},
        {{"--version"}, 0, version},
        {{}, 2, "", true},
        {{"frob", "a", "b"}, 2, "", true},
        {{"get", "kelpan"}, 2, "", true},
        {{"set", "kelpan", "mx"}, 2, "", true},
        {{"delete", "kelpan", "mx", "extra"}, 2, "", true},
        {{"get", "kelpan", "mx", "--section"}, 2, "", true},
        {{"get", "kelpan", "mx", "--frob"}, 2, "", true},
        {{"list", "a", "b", "c"}, 2, "", true},
        {{"list", "--section", "/srv"}, 2, "", true},
        {{"get", "kelpan", "mx"}, 0, "甲 乙\n"},
    };
    for (const Step& step : steps) {
        QStringList arguments = step.arguments;
        arguments.replaceInStrings("<cwd>", cwd);
        const ChildRun result = run(arguments, cwd);
        const std::string context = arguments.join(' ').toStdString();
        EXPECT_EQ(result.exitCode, step.exitCode) << context << "\n" << result.err.toStdString();
        EXPECT_EQ(result.out, step.out) << context;
        EXPECT_EQ(!result.err.isEmpty(), step.complains) << context << "\n"
                                                         << result.err.toStdString();
    }
}

TEST_F(SettingsTool, ListPrintsOneTabSeparatedLinePerValue)
{
    for (const QStringList& set :
         {QStringList{"kelpan", "mx", "p", "--section", "/b"},
          {"KELPAN", "VA", "王 小明", "--section", "/a"},
          {"EEYX", "GR", "2026.12.1", "--section", "/a"},
          {"kelpan", "AT", "工單作業", "--section", "/b"},
          {"EEYX", "WE", "C:\\n\r\n\tx\x1b]0;t\a\u009b\x7f", "--section", "/a"}})
        ASSERT_EQ(run(QStringList{"set"} + set).exitCode, 0) << set.join(' ');

    const struct
    {
        QStringList arguments;
        QString out;
    } cases[] = {
        // Backslash and every control character are escaped in the list (an escape sequence
        // would act on the terminal); get prints the value itself.
        {{"list"},
         "EEYX\t/a\tGR\t2026.12.1\n"
         "EEYX\t/a\tWE\tC:\\\\n\\r\\n\\tx\\u001b]0;t\\u0007\\u009b\\u007f\n"
         "KELPAN\t/a\tVA\t王 小明\n"
         "kelpan\t/b\tAT\t工單作業\nkelpan\t/b\tmx\tp\n"},
        {{"get", "eeyx", "we", "--section", "/a"}, "C:\\n\r\n\tx\x1b]0;t\a\u009b\x7f\n"},
        {{"list", "Kelpan"},
         "KELPAN\t/a\tVA\t王 小明\nkelpan\t/b\tAT\t工單作業\nkelpan\t/b\tmx\tp\n"},
        {{"list", "kelpan", "/b"}, "kelpan\t/b\tAT\t工單作業\nkelpan\t/b\tmx\tp\n"},
        {{"list", "kelpan", "/c"}, ""},
    };
    for (const auto& row : cases) {
        const ChildRun result = run(row.arguments);
        EXPECT_EQ(result.exitCode, 0) << row.arguments.join(' ').toStdString();
        EXPECT_EQ(result.out, row.out) << row.arguments.join(' ').toStdString();
    }
}

TEST_F(SettingsTool, DamagedStoreFailsEveryVerbAndStaysAsItWas)
{
    ASSERT_TRUE(QDir().mkpath(configHome() + "/tevo"));
    const QByteArray garbage = QByteArray("not a database, but something to keep\n").repeated(100);
    ASSERT_TRUE(test::writeFile(storePath(), garbage));
    for (const QStringList& arguments : {QStringList{"get", "kelpan", "mx"},
                                         {"set", "kelpan", "mx", "1"},
                                         {"list"},
                                         {"delete", "kelpan", "mx"}}) {
        const ChildRun result = run(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments.join(' ');
        EXPECT_TRUE(result.out.isEmpty()) << arguments.join(' ');
        EXPECT_TRUE(result.err.contains(storePath())) << result.err.toStdString();
        EXPECT_EQ(fileBytes(storePath()), garbage) << arguments.join(' ');
    }
}

// Permission checks need a user that they apply to: nobody when the tests run as root.
TEST_F(SettingsTool, StoreInAReadOnlyFolderStillReads)
{
    const std::optional<uid_t> user = test::unprivilegedUser();
    test::giveTo(m_home.path(), user);
    ASSERT_EQ(run({"set", "kelpan", "mx", "甲", "--section", "/srv"}, {}, user).exitCode, 0);
    const QString folder = configHome() + "/tevo";
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    const QByteArray before = fileBytes(storePath());

    const ChildRun read = run({"get", "kelpan", "mx", "--section", "/srv"}, {}, user);
    EXPECT_EQ(read.exitCode, 0) << read.err.toStdString();
    EXPECT_EQ(read.out, "甲\n");
    EXPECT_EQ(run({"list"}, {}, user).out, "kelpan\t/srv\tmx\t甲\n");

    const ChildRun write = run({"set", "kelpan", "mx", "乙", "--section", "/srv"}, {}, user);
    EXPECT_EQ(write.exitCode, 2);
    EXPECT_TRUE(write.err.contains(storePath()) && write.err.contains("唯讀"))
        << write.err.toStdString();
    EXPECT_EQ(fileBytes(storePath()), before);

    // Values that another program of the same user has written but not yet moved out of the
    // WAL are read too.
    ASSERT_TRUE(
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    if (user) {
        ASSERT_EQ(::seteuid(*user), 0);
    }
    auto writer = SqliteSettingsStore::open(storePath());
    const bool written = writer.isOk() && writer.value()->write("kelpan", "/srv", "mx", "丙");
    if (user) {
        ASSERT_EQ(::seteuid(0), 0);
    }
    ASSERT_TRUE(written) << (writer.isOk() ? "write failed" : writer.error().toStdString());
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    const ChildRun fresh = run({"get", "kelpan", "mx", "--section", "/srv"}, {}, user);
    EXPECT_EQ(fresh.exitCode, 0) << fresh.err.toStdString();
    EXPECT_EQ(fresh.out, "丙\n");
    ASSERT_TRUE(
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

TEST_F(SettingsTool, StoreWithoutReadPermissionIsReportedAndKept)
{
    const std::optional<uid_t> user = test::unprivilegedUser();
    test::giveTo(m_home.path(), user);
    ASSERT_EQ(run({"set", "kelpan", "mx", "甲"}, {}, user).exitCode, 0);
    const QByteArray before = fileBytes(storePath());
    ASSERT_TRUE(QFile::setPermissions(storePath(), QFile::Permissions()));

    for (const QStringList& arguments :
         {QStringList{"get", "kelpan", "mx"}, {"set", "kelpan", "mx", "乙"}}) {
        const ChildRun result = run(arguments, {}, user);
        EXPECT_EQ(result.exitCode, 2) << arguments.join(' ');
        EXPECT_TRUE(result.err.contains(storePath()) && result.err.contains("沒有權限"))
            << result.err.toStdString();
    }
    QFile::setPermissions(storePath(), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(fileBytes(storePath()), before);
}

TEST_F(SettingsTool, ExportAndImportGiveBackEveryValueExactly)
{
    // In the store's listing order: application, section, key, each folded.
    const QList<QStringList> values = {
        {"EEYX", "/srv/a", "GR", "tevo-settings export 1"},
        {"EEYX", "/srv/a", "WE", "x\tkelpan\t/srv/a\tAT\tforged\nkelpan\t/srv/a\tmx\tforged"},
        {"KelPan", "/srv/a", "AT", "工單作業"},
        {"KelPan", "/srv/a", "bom", "\uFEFF開頭"},
        {"KelPan", "/srv/a", "e", ""},
        {"KelPan", "/srv/a", "mX", "  甲 乙  "},
        {"KelPan", "/srv/a", "r", "\r\n\r"},
        {"KelPan", "/srv/a", "z", "甲\u3000"},
        {"KelPan", "/srv/t\tb\nc\\d \u2028", "\\t", "\\t\\u0020\u0001\u007f\u0085\u2029🚗 "},
    };
    store(values);
    const QString file = m_home.filePath("backup.txt");
    ASSERT_EQ(run({"export", "--output", file}).exitCode, 0);
    const QByteArray text = fileBytes(file);
    const QList<QByteArray> lines = text.split('\n');
    ASSERT_EQ(lines.size(), values.size() + 2) << text.toStdString(); // header, values, end
    EXPECT_EQ(lines[0], "tevo-settings export 1");
    for (const QByteArray& line : lines.mid(1, values.size())) {
        EXPECT_EQ(line.count('\t'), 3) << line.toStdString();
        EXPECT_FALSE(line.contains('\r') || line.endsWith(' ')) << line.toStdString();
    }
    EXPECT_EQ(run({"export"}).out.toUtf8(), text);

    ASSERT_TRUE(QFile::remove(storePath()));
    const ChildRun imported = run({"import", file});
    EXPECT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(imported.out, QString("已寫入 %1 個設定值，2 個區段\n").arg(values.size()));
    EXPECT_EQ(stored(), values);

    // A key given twice, in any letter case, is one value.
    ASSERT_TRUE(
        test::writeFile(file, "tevo-settings export 1\nkelpan\t/d\tk\t1\nKELPAN\t/d\tK\t2\n"));
    EXPECT_EQ(run({"import", file}).out, "已寫入 1 個設定值，1 個區段\n");
}

// What stands at `path`: its type, mode and owner, and what a file or link holds.
std::string describe(const QString& path)
{
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return "missing";
    const QString kind = QString("%1 uid %2 ").arg(info.st_mode, 0, 8).arg(info.st_uid);
    if (S_ISLNK(info.st_mode))
        return (kind + QFile::symLinkTarget(path)).toStdString();
    return (S_ISREG(info.st_mode) ? kind + fileBytes(path) : kind).toStdString();
}

// Starts "tevo-settings export" with the store in `configHome`: to `output` with --output, or to
// the file `standardOutput` as its standard output. With `disk`, that folder is a tmpfs of one
// page in a mount namespace of the tool's own: a full disk.
void startExport(QProcess& process, const QString& configHome, const QString& output,
                 const char* standardOutput, const QByteArray& disk)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", configHome);
    process.setProcessEnvironment(environment);
    if (standardOutput)
        process.setStandardOutputFile(standardOutput);
    process.setChildProcessModifier([disk] {
        if (!disk.isEmpty() && (::unshare(CLONE_NEWNS) != 0 ||
                                ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                                ::mount("tmpfs", disk.constData(), "tmpfs", 0, "size=4k") != 0))
            ::_exit(120);
    });
    process.start(TEVO_SETTINGS_TOOL, standardOutput ? QStringList{"export"}
                                                     : QStringList{"export", "--output", output});
}

// What a finished export to `output` left: the export in a regular file of mode 0600, or,
// when it `says` why not, that message and the place as it was `before`.
void expectExported(QProcess& process, const char* says, const QString& output,
                    const QByteArray& exported, const std::string& before)
{
    const QString err = QString::fromUtf8(process.readAllStandardError());
    const std::string name = output.toStdString();
    if (!says) {
        EXPECT_EQ(process.exitCode(), 0) << name << err;
        EXPECT_EQ(fileBytes(output), exported) << name;
        struct stat info;
        EXPECT_TRUE(::lstat(QFile::encodeName(output).constData(), &info) == 0 &&
                    S_ISREG(info.st_mode) && (info.st_mode & 07777) == 0600)
            << name << " mode " << std::oct << info.st_mode;
    } else {
        EXPECT_EQ(process.exitCode(), 2) << name << err;
        EXPECT_TRUE(err.contains(QString::fromUtf8(says))) << name << err;
        EXPECT_EQ(describe(output), before) << name;
    }
}

// --output makes a new file or replaces a regular file of the user's own, always with mode
// 0600; anything else there is refused and left as it was. A full disk says so.
TEST_F(SettingsTool, ExportOutputIsANewOrOwnRegularFileMadePrivate)
{
    QList<QStringList> values;
    for (int i = 0; i < 80; ++i)
        values.append({"kelpan", "/srv/a", QString("k%1").arg(i), QString(60, u'甲')});
    store(values);
    const QByteArray exported = run({"export"}).out.toUtf8();
    ASSERT_GT(exported.size(), 4096); // more than the full disk below holds
    const QString dir = m_home.filePath("out");
    const QByteArray d = QFile::encodeName(dir);
    ASSERT_TRUE(QDir().mkpath(dir + "/disk") && test::writeFile(dir + "/own", "own", {}));
    const bool root = ::geteuid() == 0;
    const struct
    {
        const char* output; // below `dir`; empty: standard output
        std::function<bool()> make;
        const char* says = nullptr; // nullptr: written
        bool needsRoot = false;
        const char* standardOutput = nullptr;
    } rows[] = {
        {"new", [] { return true; }},
        {"0666",
         [&] {
             return test::writeFile(dir + "/0666", "old") &&
                    ::chmod((d + "/0666").constData(), 0666) == 0;
         }},
        {"link",
         [&] { return ::symlink((d + "/own").constData(), (d + "/link").constData()) == 0; },
         "符號連結"},
        {"fifo", [&] { return ::mkfifo((d + "/fifo").constData(), 0600) == 0; }, "不是一般檔案"},
        {"disk", [] { return true; }, "一個資料夾"},
        {"null",
         [&] { return ::mknod((d + "/null").constData(), S_IFCHR | 0666, makedev(1, 3)) == 0; },
         "不是一般檔案", true},
        {"others",
         [&] {
             return test::writeFile(dir + "/others", "theirs") &&
                    ::chown((d + "/others").constData(), 65534, 65534) == 0;
         },
         "另一位使用者", true},
        {"disk/full", [] { return true; }, "磁碟已滿", true},
        {"", [] { return true; }, strerror(ENOSPC), false, "/dev/full"},
    };
    for (const auto& row : rows) {
        if (row.needsRoot && !root)
            continue;
        const QString output = dir + '/' + row.output;
        ASSERT_TRUE(row.make()) << row.output << ": " << strerror(errno);
        const std::string before = describe(output);
        const QByteArray disk = QByteArray(row.output).startsWith("disk/") ? d + "/disk" : "";
        QProcess process;
        startExport(process, configHome(), output, row.standardOutput, disk);
        ASSERT_TRUE(process.waitForFinished(30000)) << row.output;
        expectExported(process, row.says, output, exported, before);
    }
    // The link led nowhere, and no temporary file is left behind.
    EXPECT_EQ(fileBytes(dir + "/own"), "own");
    EXPECT_EQ(QDir(dir).entryList({".tevo*"}, QDir::AllEntries | QDir::Hidden), QStringList());
}

// With the byte-order mark, as the registry editor writes it.
QByteArray utf16le(const QString& text)
{
    QByteArray bytes("\xff\xfe");
    for (const QChar c : text)
        bytes += char(c.unicode() & 0xff) + QByteArray(1, char(c.unicode() >> 8));
    return bytes;
}

// Registry exports as the registry editor writes them: CR LF, every parent key listed.
TEST_F(SettingsTool, ImportsRegistryExportsInEachForm)
{
    const QString body =
        "\r\n"
        "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings]\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\kelpan]\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\kelpan\\C:]\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\kelpan\\C:\\GARVO]\r\n"
        "@=\"\"\r\n"
        "\"VA\"=\"許功蓋\"\r\n"
        "\"mx\"=\"權限\\\\\"\r\n"
        "\"WE\"=\"say \\\"hi\\\"\"\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
        "\"Size\"=dword:00000010\r\n\r\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\VB and VBA Program Settings\\EEYX\\c:\\garvo\\子]\r\n"
        "\"GR\"=\"\"\r\n\r\n";
    const QString header5 = "Windows Registry Editor Version 5.00\r\n";
    const struct
    {
        const char* form;
        QByteArray bytes;
    } files[] = {
        {"UTF-16LE", utf16le(header5 + body)},
        {"UTF-8", (header5 + body).toUtf8()},
        {"REGEDIT4", TextCodec::encodeCp950(QString("REGEDIT4\r\n") + body).value()},
    };
    const QList<QStringList> expected = {
        {"EEYX", "/srv/garage/suite/子", "GR", ""},
        {"kelpan", "/srv/garage/suite", "mx", "權限\\"},
        {"kelpan", "/srv/garage/suite", "VA", "許功蓋"},
        {"kelpan", "/srv/garage/suite", "WE", "say \"hi\""},
    };
    const QString file = m_home.filePath("vb.reg");
    for (const auto& row : files) {
        ASSERT_TRUE(QDir(configHome()).removeRecursively());
        ASSERT_TRUE(test::writeFile(file, row.bytes));
        const ChildRun dry =
            run({"import", file, "--dry-run", "--map", "C:\\GARVO=/srv/garage/suite"});
        EXPECT_EQ(dry.exitCode, 0) << row.form << dry.err;
        EXPECT_TRUE(dry.out.contains("kelpan\t/srv/garage/suite\tVA\t許功蓋\n"))
            << row.form << dry.out;
        EXPECT_TRUE(stored().isEmpty()) << row.form;
        const ChildRun result = run({"import", file, "--map=C:\\GARVO=/srv/garage/suite"});
        EXPECT_EQ(result.exitCode, 0) << row.form << result.err;
        EXPECT_EQ(stored(), expected) << row.form;
    }
}

TEST_F(SettingsTool, RefusedImportWritesNothing)
{
    const QList<QStringList> before = {{"kelpan", "/srv/a", "k", "old"}};
    store(before);
    const QByteArray reg =
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\kelpan\\C:\\GARVO]\r\n"
        "\"k\"=\"new\"\r\n";
    const QByteArray ours = "tevo-settings export 1\nkelpan\t/srv/a\tk\tnew\n";
    const struct
    {
        QByteArray bytes;
        const char* says;           // part of the message
        const char* path = nullptr; // imported instead of a file with `bytes`
    } cases[] = {
        {ours + "kelpan\t/srv/a\tk2\n", "第 3 行"},
        {ours + "kelpan\t/srv/a\tk2\ta\\qb\n", "第 3 行"},
        {ours + "kelpan\t/srv/a\tk2\t\xff\n", "第 3 行"},
        {"tevo-settings export 2\n", "第 1 行"},
        // Quoted file content is escaped: it must not act on the terminal.
        {"tevo-settings export 1\x1b]0;t\a\n", "「tevo-settings export 1\\u001b]0;t\\u0007」"},
        {reg + "\"\x1b[2J\"=hex:00\r\n", "「\\u001b[2J」"},
        {{}, "超過 256 MiB", "/dev/zero"},
        {"[settings]\nk=v\n", "第 1 行"},
        {reg + "\"n\"=dword:00000001\r\n", "第 5 行"},
        {reg + "\"n\"=\"open\r\n", "第 5 行"},
        {reg + "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\kelpan\\D:\\OLD]\r\n"
               "\"k\"=\"\"\r\n[HKEY_CURRENT_USER\\Software\\VB and VBA Program "
               "Settings\\E\\\\\\nas\\s]\r\n"
               "\"k\"=\"\"\r\n",
         "D:\\OLD、\\\\nas\\s"},
        {utf16le("Windows Registry Editor Version 5.00\r\n") + "\r", "第 2 行"},
    };
    const QString file = m_home.filePath("damaged");
    for (const auto& row : cases) {
        ASSERT_TRUE(test::writeFile(file, row.bytes));
        const QString path = row.path ? QString::fromUtf8(row.path) : file;
        const ChildRun result = run({"import", path, "--map", "c:\\garvo=/srv/a"});
        EXPECT_EQ(result.exitCode, 2) << row.bytes.toStdString();
        EXPECT_TRUE(result.err.contains(QString::fromUtf8(row.says))) << result.err;
        const auto control = [](QChar c) { return c < u' ' || (c >= u'\x7f' && c <= u'\x9f'); };
        EXPECT_TRUE(result.err.endsWith(u'\n') &&
                    std::none_of(result.err.begin(), result.err.end() - 1, control))
            << result.err;
        EXPECT_EQ(stored(), before) << row.bytes.toStdString();
    }
}

TEST_F(SettingsTool, MoveTakesTheFolderAndWhatIsBelowIt)
{
    store({{"kelpan", "/srv/old", "AT", "1"},
           {"EEYX", "/srv/old/sub", "GR", "2"},
           {"kelpan", "/srv/busy/x", "AT", "3"},
           {"kelpan", "/srv/older", "AT", "4"}});
    const Step steps[] = {
        {{"move", "/srv/old", "/srv/busy"}, 2, "", true},
        {{"move", "/srv/none", "/srv/new"}, 1, "", true},
        {{"move", "/srv/old", "/srv/new"}, 0, "已將 2 個設定值從「/srv/old」移到「/srv/new」\n"},
    };
    for (const Step& step : steps) {
        const ChildRun result = run(step.arguments);
        EXPECT_EQ(result.exitCode, step.exitCode) << step.arguments.join(' ') << result.err;
        EXPECT_EQ(result.out, step.out) << step.arguments.join(' ');
        EXPECT_EQ(!result.err.isEmpty(), step.complains) << step.arguments.join(' ');
    }
    const QList<QStringList> after = {{"EEYX", "/srv/new/sub", "GR", "2"},
                                      {"kelpan", "/srv/busy/x", "AT", "3"},
                                      {"kelpan", "/srv/new", "AT", "1"},
                                      {"kelpan", "/srv/older", "AT", "4"}};
    EXPECT_EQ(stored(), after);
}

} // namespace
} // namespace tevo
