#pragma once

// Recording fakes of the platform interfaces, shared by unit and widget tests.

#include "core/MainMenuView.h"
#include "core/Platform.h"
#include "platform/Clock.h"
#include "platform/ForegroundWait.h"
#include "platform/HttpFetcher.h"
#include "platform/ProcessStarter.h"
#include "platform/ProfileFiles.h"
#include "platform/SettingsStore.h"
#include "platform/UserInterface.h"
#include "platform/WorkingDirectory.h"

#include <QFile>
#include <QMap>
#include <QSet>
#include <QStringList>

#include <functional>
#include <map>
#include <tuple>

namespace tevo::test {

// In-memory store with the real store's name rules: app and key without regard to case,
// section exactly. `failReads`/`failWrites` simulate a damaged store.
class MemorySettingsStore : public SettingsStore
{
public:
    using Key = std::tuple<QString, QString, QString>;

    Result<std::optional<QString>> read(const QString& app, const QString& section,
                                        const QString& key) override
    {
        if (failReads || failReadsOf.contains(key))
            return Result<std::optional<QString>>::error(QStringLiteral("store damaged"));
        auto it = values.find(keyOf(app, section, key));
        if (it == values.end())
            return std::optional<QString>();
        return std::optional<QString>(it->second.value);
    }
    Status write(const QString& app, const QString& section, const QString& key,
                 const QString& value) override
    {
        if (failWrites)
            return Status::error(QStringLiteral("store read-only"));
        values[keyOf(app, section, key)] = Entry{app, section, key, value};
        writes.append(key + u'=' + value);
        if (onWrite)
            onWrite(app, section, key, value);
        return Status::ok();
    }
    Status remove(const QString& app, const QString& section, const QString& key) override
    {
        values.erase(keyOf(app, section, key));
        return Status::ok();
    }
    Result<std::vector<Entry>> list(const std::optional<QString>& app,
                                    const std::optional<QString>& section) override
    {
        std::vector<Entry> out;
        for (const auto& [k, e] : values) {
            if (app && e.app.compare(*app, Qt::CaseInsensitive) != 0)
                continue;
            if (section && e.section != *section)
                continue;
            out.push_back(e);
        }
        return out;
    }

    // Convenience for tests.
    void set(const QString& app, const QString& section, const QString& key, const QString& value)
    {
        values[keyOf(app, section, key)] = Entry{app, section, key, value};
    }
    std::optional<QString> get(const QString& app, const QString& section, const QString& key) const
    {
        auto it = values.find(keyOf(app, section, key));
        if (it == values.end())
            return std::nullopt;
        return it->second.value;
    }

    std::map<Key, Entry> values;
    QStringList writes; // "key=value" in order
    bool failReads = false;
    QSet<QString> failReadsOf; // keys whose reads fail
    bool failWrites = false;
    std::function<void(const QString&, const QString&, const QString&, const QString&)> onWrite;

private:
    static Key keyOf(const QString& app, const QString& section, const QString& key)
    {
        return {app.toLower(), section, key.toLower()};
    }
};

class FakeWorkingDirectory : public WorkingDirectory
{
public:
    QString current() const override { return path; }
    QByteArray nativePath() const override { return QFile::encodeName(path); }
    Result<QString> driveRoot() const override
    {
        if (root.isEmpty())
            return Result<QString>::error(QStringLiteral("no drive root"));
        return root;
    }
    QString path = QStringLiteral("/srv/garage/suite");
    QString root = QStringLiteral("/srv");
};

// Records every start; programs listed in `missing` fail.
class RecordingProcessStarter : public ProcessStarter
{
public:
    Status start(const QString& program) override
    {
        started.append(program);
        if (onStart)
            onStart(program);
        if (missing.contains(program) || missingAll)
            return Status::error(QStringLiteral("找不到程式「%1」").arg(program), searched);
        return Status::ok();
    }
    QString searched = QStringLiteral("/srv/garage/suite\n/usr/bin"); // details of a failure
    QStringList started;
    QSet<QString> missing;
    bool missingAll = false;
    std::function<void(const QString&)> onStart;
};

class RecordingShellOpener : public ShellOpener
{
public:
    Status open(const QString& address) override
    {
        opened.append(address);
        return Status::ok();
    }
    QStringList opened;
};

class RecordingExit : public ProgramExit
{
public:
    void endNow() override { ++count; }
    int count = 0;
};

class CountingBeeper : public Beeper
{
public:
    void beep() override
    {
        ++count;
        if (onBeep)
            onBeep();
    }
    int count = 0;
    std::function<void()> onBeep;
};

class RecordingMessageBox : public MessageBox
{
public:
    void show(const QString& text, const QString& detailText = QString()) override
    {
        shown.append(text);
        details.append(detailText);
        if (onShow)
            onShow(text);
    }
    QStringList shown;
    QStringList details; // one per message, empty when it had none
    std::function<void(const QString&)> onShow;
};

class RecordingCursor : public BusyCursor
{
public:
    void setBusy(bool value) override
    {
        busy = value;
        history.append(value);
    }
    void prepare() override { ++prepared; }
    bool busy = false;
    QList<bool> history;
    int prepared = 0;
};

class FixedClock : public Clock
{
public:
    QDateTime now() const override { return time; }
    QDateTime time = QDateTime(QDate(2026, 12, 8), QTime(9, 30));
};

// Answers each URL from `replies` (exact URL) or with `fallback`; records requests.
class ScriptedHttpFetcher : public HttpFetcher
{
public:
    FetchResult get(const QString& url) override
    {
        requests.append(url);
        auto it = replies.find(url);
        return it != replies.end() ? it.value() : fallback;
    }
    QMap<QString, FetchResult> replies;
    FetchResult fallback = FetchResult::failure(7, QStringLiteral("Couldn't connect to server"));
    QStringList requests;
};

// Runs `duringWait` (what the window might do while waiting), then the work.
class InlineForegroundWait : public ForegroundWait
{
public:
    void runWhileWaiting(const std::function<void()>& work) override
    {
        if (duringWait)
            duringWait();
        work();
    }
    std::function<void()> duringWait;
};

// file -> section -> key -> value, names compared without regard to case.
class MemoryProfileFiles : public ProfileFiles
{
public:
    QString readString(const QString& file, const QString& section, const QString& key,
                       const QString& defaultValue, int) override
    {
        ++reads;
        auto f = files.find(file);
        if (f == files.end())
            return defaultValue;
        auto s = f->find(section.toLower());
        if (s == f->end())
            return defaultValue;
        auto k = s->find(key.toLower());
        return k == s->end() ? defaultValue : k.value();
    }
    Status writeString(const QString& file, const QString& section, const QString& key,
                       const QString& value) override
    {
        if (failWrites)
            return Status::error(QStringLiteral("read-only folder"));
        files[file][section.toLower()][key.toLower()] = value;
        return Status::ok();
    }
    QMap<QString, QMap<QString, QMap<QString, QString>>> files;
    bool failWrites = false;
    int reads = 0;
};

class FakeVolumeSerial : public VolumeSerialSource
{
public:
    Result<qint32> serialOfCurrentDrive() const override
    {
        if (fail)
            return Result<qint32>::error(QStringLiteral("drive not ready"));
        return serial;
    }
    qint32 serial = 0x1234ABCD;
    bool fail = false;
};

// The window as the logic sees it.
class FakeView : public MainMenuView
{
public:
    void setStatusText(const QString& text) override { status = text; }
    QString statusText() const override { return status; }
    void setCountdownValue(double value) override { countdown = value; }
    double countdownValue() const override { return countdown; }
    void setIdleTimerEnabled(bool enabled) override { idleTimer = enabled; }
    bool isIdleTimerEnabled() const override { return idleTimer; }
    void processPendingEvents() override
    {
        if (onProcessEvents)
            onProcessEvents();
    }
    void setControlEnabled(const QString& name, bool enabled) override
    {
        if (enabled)
            disabled.remove(name);
        else
            disabled.insert(name);
        enableCalls.append(name);
    }
    bool isControlEnabled(const QString& name) const override { return !disabled.contains(name); }
    void setUpdateButtonVisible(bool visible) override { updateVisible = visible; }
    bool isUpdateButtonVisible() const override { return updateVisible; }
    bool loadBannerPicture(const QByteArray& path) override
    {
        const QString file = QFile::decodeName(path);
        bannerAttempts.append(file);
        if (!loadable.contains(file))
            return false;
        banner = file;
        return true;
    }
    void setBannerVisible(bool visible) override { bannerVisible = visible; }
    bool loadBackgroundPicture(const QByteArray& path) override
    {
        const QString file = QFile::decodeName(path);
        if (!loadable.contains(file))
            return false;
        background = file;
        return true;
    }
    void setNoticeText(const QString& text) override { notice = text; }
    QString noticeText() const override { return notice; }
    double noticeTextWidthTwips() const override { return notice.size() * charWidthTwips; }
    double clientWidthTwips() const override { return clientWidth; }
    void setNoticeTimerEnabled(bool enabled) override { noticeTimer = enabled; }
    void setNoticeName(const QString& name) override { noticeName = name; }

    QString status;
    double countdown = 0;
    bool idleTimer = true;
    QSet<QString> disabled;
    QStringList enableCalls;
    bool updateVisible = false;
    QSet<QString> loadable; // files that load as pictures
    QStringList bannerAttempts;
    QString banner;
    bool bannerVisible = true;
    QString background;
    QString notice = QStringLiteral("Korvel科技股份有限公司感謝您使用本系統");
    double charWidthTwips = 240;
    double clientWidth = 11880;
    bool noticeTimer = true;
    QString noticeName;
    std::function<void()> onProcessEvents;
};

// Every fake, wired into a Platform.
struct FakePlatform
{
    MemorySettingsStore store;
    FakeWorkingDirectory workingDirectory;
    RecordingProcessStarter processes;
    RecordingShellOpener shell;
    RecordingExit exit;
    CountingBeeper beeper;
    RecordingMessageBox messages;
    RecordingCursor cursor;
    FixedClock clock;
    ScriptedHttpFetcher http;
    MemoryProfileFiles profiles;
    FakeVolumeSerial volumeSerial;

    Platform platform{store,    workingDirectory, processes, shell, exit,     beeper,
                      messages, cursor,           clock,     http,  profiles, volumeSerial};
};

} // namespace tevo::test
