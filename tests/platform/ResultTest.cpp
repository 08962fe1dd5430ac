#include "platform/Result.h"
#include "platform/DetachedProcess.h"
#include "platform/SharedLibrary.h"
#include "platform/SqliteDatabase.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cerrno>

namespace tevo {
namespace {

// Reading the value of an error stops the program in this (release) build too, rather than
// reading an empty value.
TEST(ResultDeathTest, ValueOfAnErrorStopsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(static_cast<void>(Result<int>::error("no value").value()),
                 "read from an error: no value");
    EXPECT_DEATH(static_cast<void>(Result<QString>::error(Status::ok()).value()),
                 "read from an error");
}

// An error keeps everything its Status carries; error() stays the message.
TEST(Result, ErrorsKeepTheWholeStatus)
{
    const struct
    {
        const char* name;
        Result<int> result;
        QString message;
        QString details;
        int code;
        int systemError;
    } rows[] = {
        {"message", Result<int>::error("m"), "m", "", 0, 0},
        {"details", Result<int>::error("m", "d"), "m", "d", 0, 0},
        {"numbers", Result<int>::error(Status::failure("m", 14, 5)), "m", "", 14, 5},
        {"passed on", Result<int>::error(Result<QString>::error("m", "d").status()), "m", "d", 0,
         0},
        // An ok status given as an error is still an error, never a value.
        {"ok given as error", Result<int>::error(Status::ok()), "", "", 0, 0},
    };
    for (const auto& row : rows) {
        EXPECT_FALSE(row.result.isOk()) << row.name;
        EXPECT_FALSE(row.result.status().isOk()) << row.name;
        EXPECT_EQ(row.result.error(), row.message) << row.name;
        EXPECT_EQ(row.result.status().message(), row.message) << row.name;
        EXPECT_EQ(row.result.status().details(), row.details) << row.name;
        EXPECT_EQ(row.result.status().code(), row.code) << row.name;
        EXPECT_EQ(row.result.status().systemError(), row.systemError) << row.name;
    }
    const Result<int> value = 7;
    EXPECT_TRUE(value.isOk() && value.status().isOk() && value.error().isEmpty());
    EXPECT_EQ(value.value(), 7);
}

// The system calls report their failures as errors with the number behind them.
TEST(Result, SystemFailuresCarryTheirNumbers)
{
    QTemporaryDir dir;
    const QByteArray missing = QFile::encodeName(dir.filePath("missing"));

    const Status started = DetachedProcess::start(missing, {"missing"});
    EXPECT_FALSE(started.isOk());
    EXPECT_EQ(started.code(), ENOENT);
    EXPECT_FALSE(started.message().isEmpty());
    const Status child = DetachedProcess::startAsChild(missing, {"missing"});
    EXPECT_EQ(child.code(), ENOENT);

    const auto opened = SqliteDatabase::open(missing, SQLITE_OPEN_READONLY, false);
    ASSERT_FALSE(opened.isOk());
    EXPECT_EQ(SqliteDatabase::primaryCode(opened.status()), SQLITE_CANTOPEN);
    EXPECT_FALSE(opened.error().isEmpty());

    const Result<void*> library = SharedLibrary::open("libtevo-none.so.9");
    ASSERT_FALSE(library.isOk());
    EXPECT_TRUE(library.error().contains("libtevo-none.so.9")) << library.error().toStdString();
}

} // namespace
} // namespace tevo
