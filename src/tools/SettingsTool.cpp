// tevo-settings: the command-line face of the per-user settings store, for the suite's other
// programs, support staff and tests. Exit codes: 0 done, 1 value missing (get) or nothing to
// move (move), 2 usage or store error, or a refused import (message on standard error).

#include "Version.h"
#include "core/CommandLineTool.h"
#include "core/SectionMap.h"
#include "core/SettingsImport.h"
#include "platform/SettingsExport.h"
#include "platform/SqliteSettingsStore.h"

#include <QFile>
#include <QSaveFile>
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

enum Option : unsigned
{
    kSection = 1,
    kOutput = 2,
    kMap = 4,
    kDryRun = 8
};

// The verbs: operand counts, the options each takes, the line of the general usage and the
// verb's own --help.
const struct Verb
{
    const char* name;
    qsizetype fewest;
    qsizetype most;
    unsigned options;
    const char* synopsis;
    const char* summary;
    const char* help;
} kVerbs[] = {
    {"get", 2, 2, kSection, "get APP KEY [--section S]", "印出設定值；沒有這個值時結束碼為 1",
     "印出應用程式 APP 在區段 S 的設定值 KEY 與一個換行。\n"
     "結束碼：0 印出，1 沒有這個值（不印任何東西），2 用法或設定檔錯誤。\n"},
    {"set", 3, 3, kSection, "set APP KEY VALUE [--section S]", "寫入設定值",
     "寫入設定值；已有的值被取代。\n"},
    {"delete", 2, 2, kSection, "delete APP KEY [--section S]", "刪除設定值",
     "刪除設定值；沒有這個值也算完成。\n"},
    {"list", 0, 2, 0, "list [APP [SECTION]]",
     "每個設定值一行：APP<TAB>SECTION<TAB>KEY<TAB>VALUE（\\、Tab、CR、LF 寫成 "
     "\\\\、\\t、\\r、\\n）",
     "每個設定值一行：APP<TAB>SECTION<TAB>KEY<TAB>VALUE；可只列一個應用程式，或其中一個區段。\n"
     "欄位中的 \\ 寫成 \\\\，Tab、CR、LF 寫成 \\t、\\r、\\n，所以每個設定值恰好一行；\n"
     "get 印出原本的值。\n"},
    {"export", 0, 2, kOutput, "export [APP [SECTION]] [--output FILE]",
     "匯出設定值（全部、一個應用程式或其中一個區段）",
     "把設定值寫到標準輸出，或以 --output 寫入 FILE（只有使用者本人能讀）。\n"
     "格式為 UTF-8 文字，第一行是「tevo-settings export 1」，之後每個設定值一行：\n"
     "APP<TAB>SECTION<TAB>KEY<TAB>VALUE。欄位中的 \\ 寫成 \\\\，Tab、CR、LF 寫成 \\t、\\r、\\n，\n"
     "其他控制字元、U+2028、U+2029 與行尾的空白寫成 \\uXXXX；其餘照原樣。\n"
     "匯出檔以 tevo-settings import 讀回，每個值與名稱都和原來一模一樣。\n"},
    {"import", 1, 1, kMap | kDryRun, "import FILE|- [--map OLD=NEW]... [--dry-run]",
     "匯入匯出檔或 Windows 登錄檔匯出檔",
     "讀入 FILE（- 為標準輸入）：tevo-settings export 的匯出檔，或 Windows 登錄編輯程式\n"
     "匯出的 .reg 檔（「Windows Registry Editor Version 5.00」，UTF-16 或 UTF-8；\n"
     "「REGEDIT4」，Big5）。登錄檔只讀\n"
     "HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\ 之下的文字值：下一層是應用程式，\n"
     "其餘的機碼路徑是區段。\n"
     "  --map OLD=NEW  區段等於 OLD 或在 OLD 之下（OLD 後接 \\ 或 /）時改為 NEW 加上其餘路徑，\n"
     "                 \\ 改為 /。Windows 路徑（磁碟代號或 \\\\伺服器）的 OLD 不分大小寫，\n"
     "                 其他的 OLD 須完全相同（之下只認 /）。可給多個，最長的 OLD 優先。\n"
     "  --dry-run      只印出會寫入的設定值（APP、SECTION、KEY、VALUE），不寫入。\n"
     "登錄檔中有 Windows 資料夾沒有 --map 時不匯入，並列出這些資料夾。\n"
     "全部的值在一個交易中寫入：全部寫入或全部不寫；同一應用程式、區段、名稱的值被取代，\n"
     "其他的值不變。檔案有一行無法解讀時（訊息有行號）結束碼為 2，什麼也不寫。\n"},
    {"move", 2, 2, 0, "move OLD NEW", "把區段 OLD（及其下的資料夾）的設定值移到 NEW",
     "把每個應用程式在區段 OLD 與 OLD/ 之下各區段的設定值移到 NEW（與 NEW/ 之下的同名區段），\n"
     "在一個交易中完成。NEW 或其下已有設定值時不移動（結束碼 2）；\n"
     "OLD 沒有設定值時結束碼為 1。\n"},
};

QString usage()
{
    QString text = QStringLiteral("用法：\n");
    for (const Verb& verb : kVerbs) {
        const QString synopsis =
            QStringLiteral("  tevo-settings ") + QString::fromUtf8(verb.synopsis);
        text += synopsis.size() <= 47
                    ? synopsis.leftJustified(49) + QString::fromUtf8(verb.summary)
                    : synopsis + u'\n' + QString(49, u' ') + QString::fromUtf8(verb.summary);
        text += u'\n';
    }
    return text +
           QStringLiteral("  tevo-settings [VERB] --help | -h | --version\n"
                          "APP 與 KEY 不分大小寫；SECTION 須完全相同，預設為目前的工作目錄。\n"
                          "以「--」結束選項，之後的引數（例如以 - 開頭的值）照原樣使用。\n"
                          "結束碼：0 完成，1 沒有這個值，2 用法或設定檔錯誤。\n"
                          "設定檔：%1\n")
               .arg(SqliteSettingsStore::defaultPath());
}

QString verbHelp(const Verb& verb)
{
    const bool takesSection = (verb.options & kSection) != 0;
    return QStringLiteral("用法：tevo-settings %1\n").arg(QString::fromUtf8(verb.synopsis)) +
           QString::fromUtf8(verb.help) +
           (takesSection ? QStringLiteral("SECTION 預設為目前的工作目錄。\n") : QString()) +
           QStringLiteral("設定檔：%1\n").arg(SqliteSettingsStore::defaultPath());
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
    std::optional<QString> output;
    QStringList maps;
    bool dryRun = false;
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
        } else if (argument == QLatin1String("--dry-run")) {
            command.dryRun = true;
        } else if (argument == QLatin1String("--output") || argument == QLatin1String("--map")) {
            if (++i == arguments.size()) {
                problem = QStringLiteral("%1 後面缺少引數").arg(argument);
                return std::nullopt;
            }
            if (argument == QLatin1String("--output"))
                command.output = arguments[i];
            else
                command.maps.append(arguments[i]);
        } else if (argument.startsWith(QLatin1String("--output="))) {
            command.output = argument.mid(9);
        } else if (argument.startsWith(QLatin1String("--map="))) {
            command.maps.append(argument.mid(6));
        } else {
            problem = QStringLiteral("不認得的選項「%1」").arg(argument);
            return std::nullopt;
        }
    }
    return command;
}

const Verb* findVerb(const QString& name)
{
    const auto* verb = std::find_if(std::begin(kVerbs), std::end(kVerbs),
                                    [&](const Verb& v) { return name == QLatin1String(v.name); });
    return verb == std::end(kVerbs) ? nullptr : verb;
}

std::optional<QString> optionalOperand(const QStringList& operands, qsizetype i)
{
    return i < operands.size() ? std::optional<QString>(operands[i]) : std::nullopt;
}

int exportValues(SqliteSettingsStore& store, const QStringList& operands,
                 const std::optional<QString>& output)
{
    const auto listed = store.list(optionalOperand(operands, 0), optionalOperand(operands, 1));
    if (!listed)
        return storeError(listed.error());
    const QByteArray text = SettingsExport::write(listed.value());
    if (!output) {
        std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
        return kDone;
    }
    // Written whole or not at all, and private to the user, as the store itself is.
    QSaveFile file(*output);
    const bool existed = QFile::exists(*output);
    if (!file.open(QIODevice::WriteOnly) ||
        (!existed && !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner)) ||
        file.write(text) != text.size() || !file.commit()) {
        return storeError(QStringLiteral("無法寫入「%1」：%2").arg(*output, file.errorString()));
    }
    return kDone;
}

int importValues(const QString& name, const QStringList& maps, bool dryRun)
{
    SectionMap map;
    for (const QString& rule : maps) {
        if (const Status s = map.add(rule); !s)
            return usageError(s.message());
    }
    QFile file;
    const bool opened = name == QLatin1String("-")
                            ? file.open(stdin, QIODevice::ReadOnly)
                            : (file.setFileName(name), file.open(QIODevice::ReadOnly));
    const QByteArray bytes = opened ? file.readAll() : QByteArray();
    if (!opened || file.error() != QFileDevice::NoError)
        return storeError(QStringLiteral("無法讀取「%1」：%2").arg(name, file.errorString()));

    const auto prepared = SettingsImport::prepare(bytes, map);
    if (!prepared) {
        return storeError(
            QStringLiteral("「%1」%2；沒有匯入任何設定值。").arg(name, prepared.error()));
    }
    const std::vector<SettingsStore::Entry>& entries = prepared.value();
    const qsizetype sections = SettingsImport::sectionCount(entries);
    if (dryRun) {
        for (const SettingsStore::Entry& entry : entries)
            writeUtf8(stdout, SettingsExport::line(entry) + u'\n');
        writeUtf8(stdout, QStringLiteral("會寫入 %1 個設定值，%2 個區段（--dry-run：沒有寫入）\n")
                              .arg(entries.size())
                              .arg(sections));
        return kDone;
    }
    auto store = SqliteSettingsStore::open(SqliteSettingsStore::defaultPath());
    if (!store)
        return storeError(store.error());
    if (const Status s = store.value()->writeEntries(entries); !s)
        return storeError(s.message());
    writeUtf8(stdout,
              QStringLiteral("已寫入 %1 個設定值，%2 個區段\n").arg(entries.size()).arg(sections));
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
        writeUtf8(stderr, QStringLiteral("tevo-settings：區段「%1」沒有設定值\n").arg(from));
        return kMissing;
    case Outcome::DestinationInUse:
        return storeError(QStringLiteral("區段「%1」已有設定值，沒有移動任何設定值").arg(to));
    case Outcome::Moved:
        break;
    }
    writeUtf8(stdout, QStringLiteral("已將 %1 個設定值從「%2」移到「%3」\n")
                          .arg(moved.value().values)
                          .arg(from, to));
    return kDone;
}

int run(const QStringList& arguments)
{
    QString problem;
    const std::optional<Command> command = parse(arguments, problem);
    if (!command)
        return usageError(problem);
    const Verb* verb = command->words.isEmpty() ? nullptr : findVerb(command->words.first());
    if (command->help) {
        writeUtf8(stdout, verb ? verbHelp(*verb) : usage());
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
    if (!verb)
        return usageError(QStringLiteral("不認得的動作「%1」").arg(command->words.first()));

    const QString name = QString::fromLatin1(verb->name);
    const QStringList operands = command->words.mid(1);
    if (operands.size() < verb->fewest || operands.size() > verb->most)
        return usageError(QStringLiteral("「%1」的引數個數不對").arg(name));
    if (name == QLatin1String("list") && command->section)
        return usageError(QStringLiteral("list 以第二個引數指定區段，不使用 --section"));
    const struct
    {
        unsigned option;
        bool given;
        const char* spelling;
    } options[] = {{kSection, command->section.has_value(), "--section"},
                   {kOutput, command->output.has_value(), "--output"},
                   {kMap, !command->maps.isEmpty(), "--map"},
                   {kDryRun, command->dryRun, "--dry-run"}};
    for (const auto& option : options) {
        if (option.given && (verb->options & option.option) == 0)
            return usageError(
                QStringLiteral("%1 不使用 %2").arg(name, QLatin1String(option.spelling)));
    }
    if (name == QLatin1String("import"))
        return importValues(operands[0], command->maps, command->dryRun);

    QString section;
    if (command->section) {
        section = *command->section;
    } else if (const std::optional<QString> cwd = workingDirectory()) {
        section = *cwd;
    } else if (verb->options & kSection) {
        return storeError(QStringLiteral("無法取得目前的工作目錄，請以 --section 指定區段"));
    }

    auto opened = SqliteSettingsStore::open(SqliteSettingsStore::defaultPath());
    if (!opened)
        return storeError(opened.error());
    SqliteSettingsStore& store = *opened.value();

    if (name == QLatin1String("get")) {
        const auto value = store.read(operands[0], section, operands[1]);
        if (!value)
            return storeError(value.error());
        if (!value.value())
            return kMissing;
        writeUtf8(stdout, *value.value() + u'\n');
        return kDone;
    }
    if (name == QLatin1String("set") || name == QLatin1String("delete")) {
        const Status status = name == QLatin1String("set")
                                  ? store.write(operands[0], section, operands[1], operands[2])
                                  : store.remove(operands[0], section, operands[1]);
        return status ? kDone : storeError(status.message());
    }
    if (name == QLatin1String("export"))
        return exportValues(store, operands, command->output);
    if (name == QLatin1String("move"))
        return moveValues(store, operands[0], operands[1]);
    const auto listed = store.list(optionalOperand(operands, 0), optionalOperand(operands, 1));
    if (!listed)
        return storeError(listed.error());
    // One line per value whatever it holds: a value with a line break (a notice from the
    // vendor's server is stored as it came) must not pass for further lines of the list.
    const auto field = [](const QString& text) {
        QString escaped;
        for (const QChar c : text) {
            switch (c.unicode()) {
            case u'\\':
                escaped += QLatin1String("\\\\");
                break;
            case u'\t':
                escaped += QLatin1String("\\t");
                break;
            case u'\r':
                escaped += QLatin1String("\\r");
                break;
            case u'\n':
                escaped += QLatin1String("\\n");
                break;
            default:
                escaped += c;
            }
        }
        return escaped;
    };
    for (const SettingsStore::Entry& entry : listed.value()) {
        writeUtf8(stdout, field(entry.app) + u'\t' + field(entry.section) + u'\t' +
                              field(entry.key) + u'\t' + field(entry.value) + u'\n');
    }
    return kDone;
}

} // namespace

} // namespace tevo

int main(int argc, char** argv)
{
    return tevo::runCommandLineTool(argc, argv, tevo::run, "tevo-settings：無法寫出到標準輸出");
}
