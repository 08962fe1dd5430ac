// tevo-settings: the command-line face of the per-user settings store, for the suite's other
// programs, support staff and tests. Exit codes: 0 done, 1 value missing (get) or nothing to
// move (move), 2 usage or store error, or a refused import (message on standard error).

#include "Version.h"
#include "core/CommandLineTool.h"
#include "core/SectionMap.h"
#include "core/SettingsExport.h"
#include "core/SettingsImport.h"
#include "platform/SqliteSettingsStore.h"
#include "platform/SystemWorkingDirectory.h"
#include "tools/SettingsToolOutput.h"
#include "tools/SettingsToolVerbs.h"
#include "tools/SettingsToolWine.h"

#include <QFile>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace tevo {

namespace {

enum ExitCode
{
    kDone = 0,
    kMissing = 1,
    kFailed = 2
};

int usageError(const QString& problem)
{
    writeMessage(stderr, QStringLiteral("tevo-settings：%1").arg(problem));
    writeUtf8(stderr, usage());
    return kFailed;
}

int storeError(const QString& message)
{
    writeMessage(stderr, QStringLiteral("tevo-settings：%1").arg(message));
    return kFailed;
}

// The working directory read as the menu reads it (the section the menu uses), or why there
// is none.
Result<QString> workingDirectory()
{
    const SystemWorkingDirectory folder;
    if (!folder.nativePath().startsWith('/'))
        return Result<QString>::error(
            QStringLiteral("無法取得目前的工作目錄，請以 --section 指定區段"));
    const Result<QString> section = folder.readable();
    if (!section)
        return Result<QString>::error(section.error() +
                                      QStringLiteral("也可以用 --section 指定區段。"));
    return section;
}

struct Command
{
    QStringList words; // verb and its operands
    Invocation invocation;
    bool wine = false; // the Wine registry instead of the user's store
    bool help = false;
    bool version = false;
};

// The value of an option that takes one, given as "--name value" or "--name=value"; `i` is
// moved past a separate value. Nothing when `argument` is not this option.
std::optional<Result<QString>> optionValue(const QStringList& arguments, qsizetype& i,
                                           QLatin1String name)
{
    const QString& argument = arguments[i];
    if (argument == name) {
        if (++i == arguments.size())
            return Result<QString>::error(QStringLiteral("%1 後面缺少引數").arg(name));
        return Result<QString>(arguments[i]);
    }
    if (argument.startsWith(name + u'='))
        return Result<QString>(argument.mid(name.size() + 1));
    return std::nullopt;
}

// One option that takes a value; true when `arguments[i]` is one of them. `problem` is set
// when its value is missing.
bool parseValueOption(const QStringList& arguments, qsizetype& i, Command& command,
                      QString& problem)
{
    if (auto value = optionValue(arguments, i, QLatin1String("--section"))) {
        if (!*value)
            problem = QStringLiteral("--section 後面缺少區段名稱");
        else
            command.invocation.section = value->value();
        return true;
    }
    if (auto value = optionValue(arguments, i, QLatin1String("--output"))) {
        if (!*value)
            problem = value->error();
        else
            command.invocation.output = value->value();
        return true;
    }
    if (auto value = optionValue(arguments, i, QLatin1String("--map"))) {
        if (!*value)
            problem = value->error();
        else
            command.invocation.maps.append(value->value());
        return true;
    }
    return false;
}

// Splits options from operands, or says what is wrong with them.
Result<Command> parse(const QStringList& arguments)
{
    Command command;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        QString problem;
        if (i == 0 && argument == QLatin1String("-h")) {
            // Only as the first argument: later, "-h" is a value like any other.
            command.help = true;
        } else if (optionsEnded || !argument.startsWith(QLatin1String("--"))) {
            command.words.append(argument);
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("--help")) {
            command.help = true;
        } else if (argument == QLatin1String("--version")) {
            command.version = true;
        } else if (argument == QLatin1String("--dry-run")) {
            command.invocation.dryRun = true;
        } else if (argument == QLatin1String("--wine")) {
            command.wine = true;
        } else if (!parseValueOption(arguments, i, command, problem)) {
            problem = QStringLiteral("不認得的選項「%1」").arg(argument);
        }
        if (!problem.isEmpty())
            return Result<Command>::error(problem);
    }
    return command;
}

std::optional<QString> optionalOperand(const QStringList& operands, qsizetype i)
{
    return i < operands.size() ? std::optional<QString>(operands[i]) : std::nullopt;
}

// The user's store and the section a verb works on.
struct OpenStore
{
    std::unique_ptr<SqliteSettingsStore> store;
    QString section;
};

// Opens the user's store for `invocation`. The section is the one given, else the working
// directory; one that cannot be read only matters to the verbs that take a section.
Result<OpenStore> openStore(const Invocation& invocation, bool takesSection)
{
    OpenStore open;
    if (invocation.section) {
        open.section = *invocation.section;
    } else if (const Result<QString> cwd = workingDirectory()) {
        open.section = cwd.value();
    } else if (takesSection) {
        return Result<OpenStore>::error(cwd.status());
    }
    auto opened = SqliteSettingsStore::open(SqliteSettingsStore::defaultPath());
    if (!opened)
        return Result<OpenStore>::error(opened.status());
    open.store = std::move(opened.value());
    return open;
}

// Runs `work` on the open store, or reports why it cannot be opened.
template <typename Work> int withStore(const Invocation& invocation, bool takesSection, Work work)
{
    Result<OpenStore> open = openStore(invocation, takesSection);
    if (!open)
        return storeError(open.error());
    return work(*open.value().store, open.value().section);
}

int finished(const Status& status)
{
    return status ? kDone : storeError(status.message());
}

int importValues(const QString& name, const QStringList& maps, bool dryRun)
{
    SectionMap map;
    for (const QString& rule : maps) {
        if (const Status s = map.add(rule); !s)
            return usageError(s.message());
    }
    QFile file;
    constexpr auto mode = QIODevice::ReadOnly | QIODevice::Unbuffered;
    const bool opened = name == QLatin1String("-") ? file.open(stdin, mode)
                                                   : (file.setFileName(name), file.open(mode));
    // A piece at a time, and no further than any real export could go (/dev/zero has no end).
    QByteArray bytes;
    constexpr qsizetype kPiece = 1024 * 1024;
    for (qint64 got = 1; opened && got > 0 && bytes.size() <= SettingsImport::kLargestInput;) {
        const qsizetype had = bytes.size();
        bytes.resize(had + kPiece);
        got = file.read(bytes.data() + had, kPiece);
        bytes.resize(had + std::max<qint64>(got, 0));
    }
    if (!opened || file.error() != QFileDevice::NoError)
        return storeError(QStringLiteral("無法讀取「%1」：%2").arg(name, file.errorString()));
    if (bytes.size() > SettingsImport::kLargestInput) {
        return storeError(QStringLiteral("「%1」超過 %2 MiB，不是匯出檔；沒有匯入任何設定值。")
                              .arg(name)
                              .arg(SettingsImport::kLargestInput / (1024 * 1024)));
    }

    const auto prepared = SettingsImport::prepare(bytes, map);
    if (!prepared) {
        return storeError(
            QStringLiteral("「%1」%2；沒有匯入任何設定值。").arg(name, prepared.error()));
    }
    const std::vector<SettingsStore::Entry>& entries = prepared.value();
    const qsizetype values = SettingsImport::valueCount(entries);
    const qsizetype sections = SettingsImport::sectionCount(entries);
    if (dryRun) {
        for (const SettingsStore::Entry& entry : entries)
            writeUtf8(stdout, SettingsExport::line(entry) + u'\n');
        writeUtf8(stdout, QStringLiteral("會寫入 %1 個設定值，%2 個區段（--dry-run：沒有寫入）\n")
                              .arg(values)
                              .arg(sections));
        return kDone;
    }
    auto store = SqliteSettingsStore::open(SqliteSettingsStore::defaultPath());
    if (!store)
        return storeError(store.error());
    if (const Status s = store.value()->writeEntries(entries); !s)
        return storeError(s.message());
    writeUtf8(stdout, QStringLiteral("已寫入 %1 個設定值，%2 個區段\n").arg(values).arg(sections));
    return kDone;
}

int moveValues(SqliteSettingsStore& store, const QString& from, const QString& to)
{
    using Outcome = SqliteSettingsStore::MoveOutcome;
    if (from.isEmpty() || to.isEmpty())
        return usageError(QStringLiteral("move 的區段不可為空"));
    const auto moved = store.moveSection(from, to);
    if (!moved)
        return storeError(moved.error());
    switch (moved.value().outcome) {
    case Outcome::NothingToMove:
        writeMessage(stderr, QStringLiteral("tevo-settings：區段「%1」沒有設定值").arg(from));
        return kMissing;
    case Outcome::DestinationInUse:
        return storeError(QStringLiteral("區段「%1」已有設定值，沒有移動任何設定值").arg(to));
    case Outcome::Moved:
        break;
    }
    writeMessage(stdout, QStringLiteral("已將 %1 個設定值從「%2」移到「%3」")
                             .arg(moved.value().values)
                             .arg(from, to));
    return kDone;
}

// Checks the verb's operand count and options, or says what is wrong.
Status checkInvocation(const Verb& verb, const Command& command)
{
    const QString name = QString::fromLatin1(verb.name);
    const Invocation& invocation = command.invocation;
    if (invocation.operands.size() < verb.fewest || invocation.operands.size() > verb.most)
        return Status::error(QStringLiteral("「%1」的引數個數不對").arg(name));
    if (name == QLatin1String("list") && invocation.section)
        return Status::error(QStringLiteral("list 以第二個引數指定區段，不使用 --section"));
    const struct
    {
        unsigned option;
        bool given;
        const char* spelling;
    } options[] = {{kSection, invocation.section.has_value(), "--section"},
                   {kOutput, invocation.output.has_value(), "--output"},
                   {kMap, !invocation.maps.isEmpty(), "--map"},
                   {kDryRun, invocation.dryRun, "--dry-run"},
                   {kWine, command.wine, "--wine"}};
    for (const auto& option : options) {
        if (option.given && (verb.options & option.option) == 0)
            return Status::error(
                QStringLiteral("%1 不使用 %2").arg(name, QLatin1String(option.spelling)));
    }
    return Status::ok();
}

int run(const QStringList& arguments)
{
    Result<Command> parsed = parse(arguments);
    if (!parsed)
        return usageError(parsed.error());
    Command& command = parsed.value();
    const Verb* verb = command.words.isEmpty() ? nullptr : findVerb(command.words.first());
    if (command.help) {
        writeUtf8(stdout, verb ? verbHelp(*verb) : usage());
        return kDone;
    }
    if (command.version) {
        writeUtf8(stdout, QStringLiteral("tevo-settings %1.%2.%3\n")
                              .arg(version::kMajor)
                              .arg(version::kMinor)
                              .arg(version::kRevision));
        return kDone;
    }
    if (command.words.isEmpty())
        return usageError(QStringLiteral("缺少動作（get、set、delete 或 list）"));
    if (!verb)
        return usageError(QStringLiteral("不認得的動作「%1」").arg(command.words.first()));
    command.invocation.operands = command.words.mid(1);
    if (const Status checked = checkInvocation(*verb, command); !checked)
        return usageError(checked.message());
    return command.wine ? verb->runWine(command.invocation) : verb->run(command.invocation);
}

} // namespace

int runGet(const Invocation& invocation)
{
    return withStore(invocation, true, [&](SqliteSettingsStore& store, const QString& section) {
        const QStringList& operands = invocation.operands;
        const auto value = store.read(operands[0], section, operands[1]);
        if (!value)
            return storeError(value.error());
        if (!value.value())
            return int(kMissing);
        writeUtf8(stdout, *value.value() + u'\n');
        return int(kDone);
    });
}

int runSet(const Invocation& invocation)
{
    return withStore(invocation, true, [&](SqliteSettingsStore& store, const QString& section) {
        const QStringList& operands = invocation.operands;
        return finished(store.write(operands[0], section, operands[1], operands[2]));
    });
}

int runDelete(const Invocation& invocation)
{
    return withStore(invocation, true, [&](SqliteSettingsStore& store, const QString& section) {
        return finished(store.remove(invocation.operands[0], section, invocation.operands[1]));
    });
}

int runList(const Invocation& invocation)
{
    return withStore(invocation, false, [&](SqliteSettingsStore& store, const QString&) {
        const QStringList& operands = invocation.operands;
        const auto listed = store.list(optionalOperand(operands, 0), optionalOperand(operands, 1));
        if (!listed)
            return storeError(listed.error());
        printSettingsList(listed.value());
        return int(kDone);
    });
}

int runExport(const Invocation& invocation)
{
    return withStore(invocation, false, [&](SqliteSettingsStore& store, const QString&) {
        const QStringList& operands = invocation.operands;
        const auto listed = store.list(optionalOperand(operands, 0), optionalOperand(operands, 1));
        if (!listed)
            return storeError(listed.error());
        return finished(writeSettingsExport(listed.value(), invocation.output));
    });
}

int runImport(const Invocation& invocation)
{
    return importValues(invocation.operands[0], invocation.maps, invocation.dryRun);
}

int runMove(const Invocation& invocation)
{
    return withStore(invocation, false, [&](SqliteSettingsStore& store, const QString&) {
        return moveValues(store, invocation.operands[0], invocation.operands[1]);
    });
}

} // namespace tevo

int main(int argc, char** argv)
{
    return tevo::runCommandLineTool(argc, argv, tevo::run, "tevo-settings：無法寫出到標準輸出");
}
