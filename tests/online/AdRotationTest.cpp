#include "online/AdRotation.h"

#include "support/Fakes.h"
#include "support/QtPrinters.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tevo {
namespace {

// One run of the rotation. Dates are "key=value" words, with past, today and future standing
// for dates around the fake clock's 2026/12/08. Pictures are files put in the working
// directory: a number n is GARVOn.JPG, a trailing "!" marks a file that does not load as a
// picture, any other word is a file name as written. Attempts are the pictures the banner is
// asked to load, in order, written the same way.
struct RotationRow
{
    const char* name;
    const char* eegx; // nullptr: not stored
    const char* eeyg;
    const char* fhee;
    const char* dates;
    const char* pictures;
    const char* attempts;
    const char* fheeAfter; // nullptr: still not stored
};

QStringList words(const char* text)
{
    return QString::fromUtf8(text).split(u' ', Qt::SkipEmptyParts);
}

QString fileName(QString word)
{
    word.remove(u'!');
    bool isNumber = false;
    word.toLongLong(&isNumber);
    return isNumber ? QStringLiteral("GARVO%1.JPG").arg(word) : word;
}

QString dateText(const QString& word)
{
    if (word == u"past")
        return QStringLiteral("2026/12/07");
    if (word == u"today")
        return QStringLiteral("2026/12/08");
    if (word == u"future")
        return QStringLiteral("2027/01/31");
    return word;
}

// A working directory with real files, a store and a view.
struct RotationSetup
{
    explicit RotationSetup(const RotationRow& row)
    {
        fake.workingDirectory.path = dir.path();
        auto store = [&](const QString& key, const char* value) {
            if (value)
                set(key, QString::fromUtf8(value));
        };
        store(QStringLiteral("EEGX"), row.eegx);
        store(QStringLiteral("EEYG"), row.eeyg);
        store(QStringLiteral("FHEE"), row.fhee);
        for (const QString& word : words(row.dates))
            set(word.section(u'=', 0, 0), dateText(word.section(u'=', 1)));
        for (const QString& word : words(row.pictures)) {
            QFile file(dir.filePath(fileName(word)));
            file.open(QIODevice::WriteOnly);
            if (!word.endsWith(u'!'))
                view.loadable.insert(file.fileName());
        }
        view.bannerVisible = false;
    }

    void set(const QString& key, const QString& value)
    {
        fake.store.set(QStringLiteral("EEYX"), dir.path(), key, value);
    }

    std::optional<QString> fhee() const
    {
        return fake.store.get(QStringLiteral("EEYX"), dir.path(), QStringLiteral("FHEE"));
    }

    QTemporaryDir dir;
    test::FakePlatform fake;
    test::FakeView view;
};

void checkRotationRow(const RotationRow& row)
{
    RotationSetup setup(row);
    QElapsedTimer timer;
    timer.start();
    AdRotation(setup.fake.platform, setup.view).run();
    EXPECT_LT(timer.elapsed(), 1000) << row.name;

    QStringList attempts;
    for (const QString& word : words(row.attempts))
        attempts.append(setup.dir.filePath(fileName(word)));
    EXPECT_EQ(setup.view.bannerAttempts, attempts) << row.name;
    EXPECT_EQ(setup.fhee(),
              row.fheeAfter ? std::optional(QString::fromUtf8(row.fheeAfter)) : std::nullopt)
        << row.name;
    const bool shown = !setup.view.banner.isEmpty();
    EXPECT_EQ(setup.fake.store.writes.size(), shown ? 1 : 0) << row.name;
    EXPECT_EQ(setup.view.bannerVisible, shown) << row.name;
    if (shown) {
        EXPECT_EQ(setup.view.banner, attempts.last()) << row.name;
    }
}

TEST(AdRotation, ShowsTheNextCurrentAdvertisement)
{
    const char* three = "1B=future 2B=future 3B=future";
    const RotationRow rows[] = {
        {"next in turn", "1", "3", "1", three, "1 2 3", "2", "2"},
        {"wraps round after the last", "1", "3", "3", three, "1 2 3", "1", "1"},
        {"first start", "1", "3", nullptr, three, "1 2 3", "1", "1"},
        {"expired skipped", "1", "3", "2", "1B=future 2B=future 3B=past", "1 2 3", "1", "1"},
        {"all expired", "1", "3", "2", "1B=past 2B=past 3B=past", "1 2 3", "", "2"},
        {"date equal to today", "1", "2", "1", "1B=future 2B=today", "1 2", "2", "2"},
        {"missing and empty dates", "1", "4", "0", "2B= 4B=future", "4", "4", "4"},
        {"key in lower case", "1", "2", "0", "2b=future", "2", "2", "2"},
        {"key with a leading zero", "1", "2", "0", "02B=future", "2", "", "0"},
        {"picture named in other case", "1", "2", "1", "2B=future", "garvo2.jpg", "garvo2.jpg",
         "2"},
        {"dates compared as text", "1", "3", "0", "1B=2026-12-31 2B=2026/12/8 3B=future", "1 2 3",
         "2", "2"},

        // A picture that does not load: the next is tried without a look at its date.
        {"missing picture", "1", "2", "1", "1B=past 2B=future", "1", "2 1", "1"},
        {"both pictures fail", "1", "2", "1", three, "1! 2!", "2 1", "1"},
        {"one ad, picture missing", "1", "1", "0", three, "", "1", "0"},
        {"damaged, missing, loaded", "1", "3", "0", "1B=future", "1! 3", "1 3", "3"},
        {"damaged tried once round", "1", "10", "6", "7B=future", "1!", "7 1", "6"},
        {"beyond the count never", "1", "3", "2", "3B=future", "3! 4", "3", "2"},

        // Nothing to do.
        {"switched off", "0", "3", "1", three, "1 2 3", "", "1"},
        {"switch not stored", nullptr, "3", "1", three, "1 2 3", "", "1"},
        {"switch not a number", "off", "3", "1", three, "1 2 3", "", "1"},
        {"count 0", "1", "0", "1", three, "1 2 3", "", "1"},
        {"count not stored", "1", nullptr, nullptr, three, "1 2 3", "", nullptr},

        // Damaged numbers: whole parts, no sign, never a hang.
        {"negative count", "1", "-5", "1", three, "1 2 3", "", "1"},
        {"fractional count", "1", "2.9", "2", three, "1 2 3", "1", "1"},
        {"fractional last shown", "1", "3", "1.5", three, "1 2 3", "2", "2"},
        {"negative last shown", "1", "3", "-5", three, "1 2 3", "1", "1"},
        {"huge count, in turn", "1", "2000000000", "1", three, "1 2 3", "2", "2"},
        {"huge count, wraps", "1", "2000000000", "3", three, "1 2 3", "1", "1"},
        {"huge last shown", "1", "1e30", "1e30", three, "1 2 3", "1", "1"},
        {"huge count, far picture", "1", "2000000000", "1", "2B=future", "7", "2 7", "7"},
        {"huge count, picture round", "1", "2000000000", "1999999998", "1999999999B=future", "5",
         "1999999999 5", "5"},
        {"huge count, no picture", "1", "2000000000", "1", three, "", "2", "1"},
        {"huge count, no dates", "1", "1e30", "0", "", "1 2 3", "", "0"},
    };

    for (const RotationRow& row : rows)
        checkRotationRow(row);
}

// Records what the rotation asks of the store.
class ReadRecordingStore : public test::MemorySettingsStore
{
public:
    Result<std::optional<QString>> read(const QString& app, const QString& section,
                                        const QString& key) override
    {
        reads.append(key);
        return MemorySettingsStore::read(app, section, key);
    }
    Result<std::vector<Entry>> list(const std::optional<QString>& app,
                                    const std::optional<QString>& section) override
    {
        reads.append(QStringLiteral("(list)"));
        return MemorySettingsStore::list(app, section);
    }
    QStringList reads;
};

TEST(AdRotation, SwitchedOffReadsOnlyTheThreeNumbers)
{
    const struct
    {
        const char* eegx;
        const char* eeyg;
    } rows[] = {{nullptr, "3"}, {"", "3"}, {"0", "3"}, {"1", "0"}, {"1", "-2"}};
    for (const auto& row : rows) {
        test::FakePlatform fake;
        ReadRecordingStore store;
        const QString section = fake.workingDirectory.path;
        const QString app = QStringLiteral("EEYX");
        if (row.eegx)
            store.set(app, section, QStringLiteral("EEGX"), QString::fromUtf8(row.eegx));
        store.set(app, section, QStringLiteral("EEYG"), QString::fromUtf8(row.eeyg));
        store.set(app, section, QStringLiteral("1B"), QStringLiteral("2027/01/31"));
        Platform platform{
            store,         fake.workingDirectory, fake.processes, fake.shell, fake.exit,
            fake.beeper,   fake.messages,         fake.cursor,    fake.clock, fake.http,
            fake.profiles, fake.volumeSerial};
        test::FakeView view;
        view.loadable.insert(section + QStringLiteral("/GARVO1.JPG"));

        AdRotation(platform, view).run();

        QStringList keys = store.reads;
        keys.sort();
        EXPECT_EQ(keys, QStringList({"EEGX", "EEYG", "FHEE"})) << row.eegx << row.eeyg;
        EXPECT_TRUE(view.bannerAttempts.isEmpty()) << row.eegx << row.eeyg;
        EXPECT_TRUE(store.writes.isEmpty()) << row.eegx << row.eeyg;
    }
}

TEST(AdRotation, OddDatesAndAFailedWrite)
{
    const struct
    {
        QString date;
        bool shown;
    } rows[] = {
        {QString(1 << 20, u'9'), true},
        {QStringLiteral("２０２７/01/01"), true}, // full-width digits sort after ASCII ones
        {QStringLiteral("08/12/2027"), false},
        {QString(QChar(0)), false},
    };
    for (const auto& row : rows) {
        RotationSetup setup({"", "1", "1", "1", "", "1", "", nullptr});
        setup.set(QStringLiteral("1B"), row.date);
        setup.fake.store.failWrites = true; // the picture is shown all the same
        AdRotation(setup.fake.platform, setup.view).run();
        EXPECT_EQ(!setup.view.banner.isEmpty(), row.shown) << row.date.left(20).toStdString();
        EXPECT_EQ(setup.view.bannerVisible, row.shown) << row.date.left(20).toStdString();
        EXPECT_EQ(setup.fhee(), QStringLiteral("1")) << row.date.left(20).toStdString();
    }
}

} // namespace
} // namespace tevo
