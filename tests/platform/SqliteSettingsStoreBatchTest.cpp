// Several keys written as one change: the hand-off's keys reach the store all together or not
// at all.

#include "platform/SqliteSettingsStore.h"

#include "support/QtPrinters.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace tevo {
namespace {

using KeyValues = std::vector<std::pair<QString, QString>>;

std::unique_ptr<SqliteSettingsStore> openStore(const QString& path)
{
    auto opened = SqliteSettingsStore::open(path);
    EXPECT_TRUE(opened.isOk()) << opened.error().toStdString();
    return opened ? std::move(opened.value()) : nullptr;
}

// Makes the database refuse every write of one key, as a damaged or foreign change would.
void refuseKey(const QString& path, const char* foldedKey)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    const QByteArray sql = QByteArray("CREATE TRIGGER refuse_insert BEFORE INSERT ON settings WHEN "
                                      "NEW.key_folded = '") +
                           foldedKey +
                           "' BEGIN SELECT RAISE(ABORT, 'refused'); END;"
                           "CREATE TRIGGER refuse_update BEFORE UPDATE ON settings WHEN "
                           "NEW.key_folded = '" +
                           foldedKey + "' BEGIN SELECT RAISE(ABORT, 'refused'); END;";
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, &error), SQLITE_OK) << error;
    sqlite3_free(error);
    sqlite3_close(db);
}

std::optional<QString> valueOf(SettingsStore& store, const char* key)
{
    const auto read = store.read("kelpan", "/srv", key);
    EXPECT_TRUE(read.isOk()) << key;
    return read.isOk() ? read.value() : std::nullopt;
}

struct BatchRow
{
    const char* name;
    KeyValues keys;
    const char* refusedKey; // nullptr: nothing refused
    bool ok;
    std::optional<QString> at, yxq, atu;
};

void checkBatchRow(const BatchRow& row)
{
    QTemporaryDir home;
    const QString path = home.filePath("settings.db");
    {
        auto store = openStore(path);
        ASSERT_TRUE(store) << row.name;
        ASSERT_TRUE(store->write("kelpan", "/srv", "AT", "earlier AT"));
        ASSERT_TRUE(store->write("kelpan", "/srv", "YXQ", "B"));
        ASSERT_TRUE(store->write("kelpan", "/srv", "ATU", "earlier ATU"));
    }
    if (row.refusedKey)
        refuseKey(path, row.refusedKey);

    auto store = openStore(path);
    ASSERT_TRUE(store) << row.name;
    const Status written = store->writeAll("KELPAN", "/srv", row.keys);
    EXPECT_EQ(written.isOk(), row.ok) << row.name << ": " << written.message().toStdString();
    if (!row.ok) {
        EXPECT_TRUE(written.message().contains(path)) << row.name;
    }

    // What another program sees, and the same store's next write still works.
    auto other = openStore(path);
    ASSERT_TRUE(other) << row.name;
    EXPECT_EQ(valueOf(*other, "AT"), row.at) << row.name;
    EXPECT_EQ(valueOf(*other, "YXQ"), row.yxq) << row.name;
    EXPECT_EQ(valueOf(*other, "ATU"), row.atu) << row.name;
    EXPECT_TRUE(store->write("kelpan", "/srv", "GR", "next")) << row.name;
    EXPECT_EQ(valueOf(*other, "GR"), std::optional<QString>("next")) << row.name;
}

TEST(SqliteSettingsStoreBatch, EveryKeyIsWrittenOrNone)
{
    const BatchRow cases[] = {
        {"three keys",
         {{"ATU", ""}, {"AT", "工單作業"}, {"YXQ", "A"}},
         nullptr,
         true,
         "工單作業",
         "A",
         ""},
        {"one key", {{"at", "結帳登記"}}, nullptr, true, "結帳登記", "B", "earlier ATU"},
        {"no key", {}, nullptr, true, "earlier AT", "B", "earlier ATU"},
        {"a key written twice: the last value",
         {{"AT", "甲"}, {"at", "乙"}},
         nullptr,
         true,
         "乙",
         "B",
         "earlier ATU"},
        {"the last key refused",
         {{"ATU", ""}, {"AT", "工單作業"}, {"YXQ", "A"}},
         "yxq",
         false,
         "earlier AT",
         "B",
         "earlier ATU"},
        {"the first key refused",
         {{"AT", "工單作業"}, {"YXQ", "A"}},
         "at",
         false,
         "earlier AT",
         "B",
         "earlier ATU"},
    };
    for (const BatchRow& row : cases)
        checkBatchRow(row);
}

} // namespace
} // namespace tevo
