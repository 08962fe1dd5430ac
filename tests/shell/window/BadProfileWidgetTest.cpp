// The real window reading real permission profiles that are damaged or absurd: it opens at
// once, and exactly the controls that the readable lines of a profile forbid are greyed, every
// other control of the menu stays available.

#include "core/MenuTree.h"
#include "permissions/PermissionTable.h"
#include "platform/IniProfileFiles.h"
#include "shell/window/MainWindow.h"
#include "shell/window/UiFonts.h"
#include "support/Fakes.h"
#include "support/ProfileTestFiles.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace tevo;
using namespace tevo::test;

namespace {

const QString kApp = QStringLiteral("kelpan");

// Every control a profile could grey: the menu entries and headers, and the buttons.
QStringList allControls()
{
    QStringList names;
    for (const MenuItem& item : menuTree()) {
        if (!isSeparator(item))
            names.append(QString::fromLatin1(item.name));
    }
    for (int i = 1; i <= 8; ++i)
        names.append(QStringLiteral("Command%1").arg(i));
    return names;
}

// The controls the given areas grey, by the permission table.
QStringList greyedBy(const QStringList& areas)
{
    QStringList names;
    for (const QString& area : areas) {
        const PermissionRow* row = findPermissionRow(area);
        if (!row)
            return {QStringLiteral("no such area: ") + area};
        names.append(QString::fromLatin1(row->menuEntry));
        if (row->button)
            names.append(QString::fromLatin1(row->button));
    }
    names.sort();
    return names;
}

QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(7);
    for (char& c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

// A profile that forbids "工單作業" at level 2, padded with comment lines to `size` bytes.
QByteArray paddedProfile(qsizetype size)
{
    QByteArray bytes = big5("[第二級]\r\n工單作業=NO\r\n");
    const QByteArray line = big5("; 權限設定檔的說明文字，一再重複。\r\n");
    bytes.reserve(size);
    while (bytes.size() + line.size() <= size)
        bytes += line;
    bytes += QByteArray(size - bytes.size(), ';');
    return bytes;
}

struct ProfileRow
{
    const char* name;
    std::function<bool(const QString& file)> make;
    QStringList forbiddenAreas;
};

// Opens the window with the row's file as the permission profile: it opens quickly, without
// a message, and greys exactly what the readable part of the file forbids.
void checkProfileRow(const ProfileRow& row)
{
    QTemporaryDir host;
    QVERIFY(host.isValid());
    QVERIFY(QDir(host.path()).mkdir(QStringLiteral("權限")));
    QVERIFY2(row.make(host.filePath(QStringLiteral("權限/權限.INI"))), row.name);

    // The fakes behind the window, but the real profile reader.
    FakePlatform f;
    IniProfileFiles profiles;
    Platform platform{f.store,  f.workingDirectory, f.processes, f.shell, f.exit,
                      f.beeper, f.messages,         f.cursor,    f.clock, f.http,
                      profiles, f.volumeSerial};
    const QString section = f.workingDirectory.path;
    f.store.set(kApp, section, QStringLiteral("AAA"), QStringLiteral("2"));
    f.store.set(kApp, section, QStringLiteral("mx"), QStringLiteral("/權限/"));
    f.store.set(kApp, section, QStringLiteral("r5"), host.path());
    MainWindow window(platform);

    QElapsedTimer opening;
    opening.start();
    QVERIFY2(window.load(), row.name);
    window.show();
    QVERIFY2(QTest::qWaitForWindowActive(&window), row.name);
    QCoreApplication::processEvents();
    const qint64 elapsed = opening.elapsed();
    QVERIFY2(elapsed < 2000,
             qPrintable(QStringLiteral("%1: opening took %2 ms").arg(row.name).arg(elapsed)));

    QStringList greyed;
    for (const QString& name : allControls()) {
        if (!window.isControlEnabled(name))
            greyed.append(name);
    }
    greyed.sort();
    const QStringList expected = greyedBy(row.forbiddenAreas);
    QVERIFY2(greyed == expected, qPrintable(QStringLiteral("%1: greyed %2, expected %3")
                                                .arg(QString::fromUtf8(row.name), greyed.join(u' '),
                                                     expected.join(u' '))));
    QVERIFY2(f.messages.shown.isEmpty(), row.name);
    qInfo("%s: opened in %lld ms", row.name, elapsed);
}

} // namespace

class BadProfileWidgetTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { UiFonts::applyToApplication(); }

    void onlyWhatAReadableProfileForbidsIsGreyed()
    {
        const auto write = [](QByteArray bytes) {
            return [bytes](const QString& file) {
                writeBytes(file, bytes);
                return QFileInfo(file).size() == bytes.size();
            };
        };
        QByteArray binary = randomBytes(32768);
        binary.insert(16384, big5("\r\n[第二級]\r\n工單作業=NO\r\n"));
        // Damaged bytes among readable lines: 0xFF, a lead byte without a trail byte before the
        // line end, a pair that is no character. A damaged name or value matches nothing; a
        // damaged byte does not take the line end after it.
        const QByteArray notCp950 = big5("[第二級]\r\n工單作業=NO\r\n") +
                                    "\xff\xfe\x80\x80=NO\r\n" +
                                    "; a lead byte at the end of a line \xa4\r\n" +
                                    big5("結帳登記=NO\r\n") + big5("營業查詢=") + "\xffNO\r\n" +
                                    big5("估價作業=N") + "\xa4\r\n" + "\xa4\x7f\xc6\xa1=NO\r\n";
        const ProfileRow rows[] = {
            {"a readable profile", write(big5("[第二級]\r\n工單作業=NO\r\n")), {"工單作業"}},
            {"a folder",
             [](const QString& file) {
                 return QDir().mkpath(file) &&
                        QFile(file + "/第二級.txt").open(QIODevice::WriteOnly);
             },
             {}},
            {"a named pipe",
             [](const QString& file) {
                 return ::mkfifo(QFile::encodeName(file).constData(), 0600) == 0;
             },
             {}},
            {"a binary file", write(binary), {}},
            {"an empty file", write(QByteArray()), {}},
            {"50 MB long", write(paddedProfile(50 * 1024 * 1024)), {}},
            {"one byte over the size that is read",
             write(paddedProfile(IniProfileFiles::kMaxFileBytes + 1)),
             {}},
            {"the largest size that is read",
             write(paddedProfile(IniProfileFiles::kMaxFileBytes)),
             {"工單作業"}},
            {"not valid code page 950", write(notCp950), {"工單作業", "結帳登記"}},
        };
        for (const ProfileRow& row : rows)
            checkProfileRow(row);
    }
};

QTEST_MAIN(BadProfileWidgetTest)
#include "BadProfileWidgetTest.moc"
