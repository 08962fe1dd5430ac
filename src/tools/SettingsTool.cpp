// tevo-settings: the command-line face of the per-user settings store, for the suite's other
// programs, support staff and tests. Exit codes: 0 done, 1 value missing (get), 2 usage or
// store error (message on standard error).

#include "Version.h"
#include "core/CommandLineTool.h"
#include "platform/SqliteSettingsStore.h"

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

QString usage()
{
    return QStringLiteral("用法：\n"
                          "  tevo-settings get APP KEY [--section S]        "
                          "印出設定值；沒有這個值時結束碼為 1\n"
                          "  tevo-settings set APP KEY VALUE [--section S]  寫入設定值\n"
                          "  tevo-settings delete APP KEY [--section S]     刪除設定值\n"
                          "  tevo-settings list [APP [SECTION]]             每個設定值一行："
                          "APP<TAB>SECTION<TAB>KEY<TAB>VALUE\n"
                          "  tevo-settings --help | -h | --version\n"
                          "APP 與 KEY 不分大小寫；SECTION 須完全相同，預設為目前的工作目錄。\n"
                          "以「--」結束選項，之後的引數（例如以 - 開頭的值）照原樣使用。\n"
                          "結束碼：0 完成，1 沒有這個值，2 用法或設定檔錯誤。\n"
                          "設定檔：%1\n")
        .arg(SqliteSettingsStore::defaultPath());
}

int usageError(const QString& problem)
{
    writeUtf8(stderr, QStringLiteral("tevo-settings：%1\n").arg(problem));
    writeUtf8(stderr, usage());
    return kFailed;
}

int storeError(const QString& message)
{
    writeUtf8(stderr, QStringLiteral("tevo-settings：%1\n").arg(message));
    return kFailed;
}

// The working directory exactly as getcwd() reports it: the section the menu uses.
std::optional<QString> workingDirectory()
{
    QByteArray buffer(4096, '\0');
    while (::getcwd(buffer.data(), static_cast<size_t>(buffer.size())) == nullptr) {
        if (errno != ERANGE)
            return std::nullopt;
        buffer.resize(buffer.size() * 2);
    }
    return QFile::decodeName(buffer.constData());
}

struct Command
{
    QStringList words; // verb and its operands
    std::optional<QString> section;
    bool help = false;
    bool version = false;
};

// Splits options from operands; nullopt with `problem` set on a usage error.
std::optional<Command> parse(const QStringList& arguments, QString& problem)
{
    Command command;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
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
        } else if (argument == QLatin1String("--section")) {
            if (++i == arguments.size()) {
                problem = QStringLiteral("--section 後面缺少區段名稱");
                return std::nullopt;
            }
            command.section = arguments[i];
        } else if (argument.startsWith(QLatin1String("--section="))) {
            command.section = argument.mid(10);
        } else {
            problem = QStringLiteral("不認得的選項「%1」").arg(argument);
            return std::nullopt;
        }
    }
    return command;
}

int run(const QStringList& arguments)
{
    QString problem;
    const std::optional<Command> command = parse(arguments, problem);
    if (!command)
        return usageError(problem);
    if (command->help) {
        writeUtf8(stdout, usage());
        return kDone;
    }
    if (command->version) {
        writeUtf8(stdout, QStringLiteral("tevo-settings %1.%2.%3\n")
                              .arg(version::kMajor)
                              .arg(version::kMinor)
                              .arg(version::kRevision));
        return kDone;
    }
    if (command->words.isEmpty())
        return usageError(QStringLiteral("缺少動作（get、set、delete 或 list）"));

    const QString verb = command->words.first();
    const QStringList operands = command->words.mid(1);
    const struct
    {
        const char* verb;
        qsizetype fewest;
        qsizetype most;
    } shapes[] = {{"get", 2, 2}, {"set", 3, 3}, {"delete", 2, 2}, {"list", 0, 2}};
    const auto* shape = std::find_if(std::begin(shapes), std::end(shapes),
                                     [&](const auto& s) { return verb == QLatin1String(s.verb); });
    if (shape == std::end(shapes))
        return usageError(QStringLiteral("不認得的動作「%1」").arg(verb));
    if (operands.size() < shape->fewest || operands.size() > shape->most)
        return usageError(QStringLiteral("「%1」的引數個數不對").arg(verb));
    if (verb == QLatin1String("list") && command->section)
        return usageError(QStringLiteral("list 以第二個引數指定區段，不使用 --section"));

    QString section;
    if (command->section) {
        section = *command->section;
    } else if (const std::optional<QString> cwd = workingDirectory()) {
        section = *cwd;
    } else {
        return storeError(QStringLiteral("無法取得目前的工作目錄，請以 --section 指定區段"));
    }

    auto opened = SqliteSettingsStore::open(SqliteSettingsStore::defaultPath());
    if (!opened)
        return storeError(opened.error());
    SqliteSettingsStore& store = *opened.value();

    if (verb == QLatin1String("get")) {
        const auto value = store.read(operands[0], section, operands[1]);
        if (!value)
            return storeError(value.error());
        if (!value.value())
            return kMissing;
        writeUtf8(stdout, *value.value() + u'\n');
        return kDone;
    }
    if (verb == QLatin1String("set") || verb == QLatin1String("delete")) {
        const Status status = verb == QLatin1String("set")
                                  ? store.write(operands[0], section, operands[1], operands[2])
                                  : store.remove(operands[0], section, operands[1]);
        return status ? kDone : storeError(status.message());
    }
    const auto app = operands.size() > 0 ? std::optional<QString>(operands[0]) : std::nullopt;
    const auto listed =
        store.list(app, operands.size() > 1 ? std::optional<QString>(operands[1]) : std::nullopt);
    if (!listed)
        return storeError(listed.error());
    for (const SettingsStore::Entry& entry : listed.value()) {
        writeUtf8(stdout, entry.app + u'\t' + entry.section + u'\t' + entry.key + u'\t' +
                              entry.value + u'\n');
    }
    return kDone;
}

} // namespace

} // namespace tevo

int main(int argc, char** argv)
{
    return tevo::runCommandLineTool(argc, argv, tevo::run, "tevo-settings：無法寫出到標準輸出");
}
