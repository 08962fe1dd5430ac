// The real tevo-settings binary, run with its own store under a temporary XDG_CONFIG_HOME.

#include "Version.h"
#include "platform/SqliteSettingsStore.h"

#include "support/ChildProcess.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
    for (const QStringList& set : {QStringList{"kelpan", "mx", "p", "--section", "/b"},
                                   {"KELPAN", "VA", "王 小明", "--section", "/a"},
                                   {"EEYX", "GR", "2026.12.1", "--section", "/a"},
                                   {"kelpan", "AT", "工單作業", "--section", "/b"},
                                   {"EEYX", "WE", "C:\\n\r\n\tx", "--section", "/a"}})
        ASSERT_EQ(run(QStringList{"set"} + set).exitCode, 0) << set.join(' ');

    const struct
    {
        QStringList arguments;
        QString out;
    } cases[] = {
        // Backslash, CR, LF and tab are escaped in the list; get prints the value itself.
        {{"list"},
         "EEYX\t/a\tGR\t2026.12.1\nEEYX\t/a\tWE\tC:\\\\n\\r\\n\\tx\nKELPAN\t/a\tVA\t王 小明\n"
         "kelpan\t/b\tAT\t工單作業\nkelpan\t/b\tmx\tp\n"},
        {{"get", "eeyx", "we", "--section", "/a"}, "C:\\n\r\n\tx\n"},
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
    if (user)
        ASSERT_EQ(::seteuid(*user), 0);
    auto writer = SqliteSettingsStore::open(storePath());
    const bool written = writer.isOk() && writer.value()->write("kelpan", "/srv", "mx", "丙");
    if (user)
        ASSERT_EQ(::seteuid(0), 0);
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

} // namespace
} // namespace tevo
