// tevo-profile: the command-line face of the profile reader, for administrators who write a
// permission profile by hand. Output is UTF-8; usage and file errors go to standard error with
// exit status 2.

#include "Version.h"
#include "core/ButtonCaptions.h"
#include "core/CommandLineTool.h"
#include "core/MenuTree.h"
#include "permissions/PermissionTable.h"
#include "permissions/ProfileCheck.h"
#include "platform/FileLookup.h"
#include "platform/IniProfileFiles.h"
#include "platform/ProfileDocument.h"

#include <QFileInfo>
#include <QStringList>

#include <cstdio>
#include <cstring>

namespace tevo {
namespace {

constexpr int kUsageError = 2;

const char kUsage[] = "用法：tevo-profile 指令 [引數]\n"
                      "  get FILE SECTION KEY   印出主目錄讀到的值（沒有時為空白）\n"
                      "  show FILE LEVEL        列出該使用者等級被停用的選單項目與按鈕\n"
                      "  check FILE             檢查權限設定檔中可能的錯誤\n"
                      "  --help | -h            顯示說明（也可用於每個指令：get --help）\n"
                      "  --version              顯示版本\n"
                      "結束碼：0 完成，1 check 發現問題，2 用法或檔案錯誤。\n";

const char kGetHelp[] =
    "用法：tevo-profile get FILE SECTION KEY\n"
    "印出主目錄從設定檔 FILE 的段落 SECTION 讀到的 KEY 值，讀法與主目錄完全相同：\n"
    "名稱不分大小寫、第一個段落與第一個名稱為準、去掉前後空白與一對引號、最多 199 位元組。\n"
    "檔案、段落或名稱不存在時印出空白行。結束碼 0；用法錯誤時為 2。\n";

const char kShowHelp[] =
    "用法：tevo-profile show FILE LEVEL\n"
    "列出使用者等級 LEVEL（2 到 6 有各自的段落「第二級」到「第六級」，其他等級不受限制）\n"
    "在權限設定檔 FILE 中被停用（呈現淡灰色）的選單項目與按鈕，以畫面上的文字列出。\n"
    "檔案不存在或無法讀取時結束碼為 2。\n";

const char kCheckHelp[] =
    "用法：tevo-profile check FILE\n"
    "檢查權限設定檔 FILE：不是使用者等級的段落、重複的段落與項目、不是 43 個權限項目之一的名稱、\n"
    "等級段落缺少的項目、看似 NO 但其實允許的值（no、No、N0、NO. 等），以及既不是 Big5\n"
    "（字碼頁 950）也不是 UTF-8 的文字。沒有發現問題時結束碼 0，發現問題時為 1，\n"
    "檔案不存在或無法讀取時為 2。\n";

int usageError(const QString& message)
{
    writeMessage(stderr, QStringLiteral("tevo-profile: %1").arg(message));
    writeUtf8(stderr, QStringLiteral("說明請見 tevo-profile --help\n"));
    return kUsageError;
}

// The file as named, or the entry of its folder that matches without regard to letter case,
// as the menu looks up the profile.
QString resolveFile(const QString& file)
{
    if (QFileInfo::exists(file))
        return file;
    const QFileInfo info(file);
    return lookUpFile(info.path(), info.fileName());
}

// The bytes of an existing, readable profile, or why there are none.
Result<QByteArray> loadProfile(const QString& file)
{
    Result<std::optional<QByteArray>> bytes = IniProfileFiles::readFileBytes(file);
    if (!bytes)
        return Result<QByteArray>::error(bytes.status());
    if (!bytes.value())
        return Result<QByteArray>::error(QStringLiteral("找不到設定檔「%1」").arg(file));
    return std::move(*bytes.value());
}

QString captionOf(const char* name)
{
    const MenuItem* item = findMenuItem(QString::fromLatin1(name));
    return item ? QString::fromUtf8(item->caption).remove(u'&') : QString::fromLatin1(name);
}

QString buttonCaption(const char* name)
{
    const char* caption = captionOfButton(name);
    return caption ? QString::fromUtf8(caption) : QString::fromLatin1(name);
}

QStringList childCaptions(const char* parent)
{
    QStringList captions;
    for (const MenuItem& item : menuTree()) {
        if (item.parent && std::strcmp(item.parent, parent) == 0 && !isSeparator(item))
            captions.append(QString::fromUtf8(item.caption).remove(u'&'));
    }
    return captions;
}

int runGet(const QStringList& args)
{
    if (args.size() != 3)
        return usageError(QStringLiteral("get 需要三個引數：FILE SECTION KEY"));
    IniProfileFiles profiles;
    writeUtf8(stdout,
              profiles.readString(resolveFile(args[0]), args[1], args[2], QString(), 200) + u'\n');
    return 0;
}

int runShow(const QStringList& args)
{
    if (args.size() != 2)
        return usageError(QStringLiteral("show 需要兩個引數：FILE LEVEL"));
    bool isNumber = false;
    const int level = args[1].trimmed().toInt(&isNumber);
    if (!isNumber || level < -32768 || level > 32767)
        return usageError(
            QStringLiteral("使用者等級「%1」不是 -32768 到 32767 的整數").arg(args[1]));
    const QString file = resolveFile(args[0]);
    if (const Result<QByteArray> bytes = loadProfile(file); !bytes) {
        writeMessage(stderr, QStringLiteral("tevo-profile: %1").arg(bytes.error()));
        return kUsageError;
    }
    const std::optional<QString> section = permissionSection(qint16(level));
    if (!section) {
        writeUtf8(stdout, QStringLiteral("等級 %1 沒有權限段落，不受任何限制。\n").arg(level));
        return 0;
    }

    IniProfileFiles profiles;
    QStringList lines;
    int areas = 0;
    for (const PermissionRow& row : permissionTable()) {
        const QString key = QString::fromUtf8(row.key);
        if (!isAreaForbidden(profiles, file, *section, key))
            continue;
        ++areas;
        const QStringList children = childCaptions(row.menuEntry);
        QString menu = QStringLiteral("  選單「%1」").arg(captionOf(row.menuEntry));
        if (!children.isEmpty())
            menu += QStringLiteral("（子選單中的 %1 也無法選取）").arg(children.join(u'、'));
        lines.append(menu + QStringLiteral("　權限項目「%1」").arg(key));
        if (row.button)
            lines.append(
                QStringLiteral("  按鈕「%1」　權限項目「%2」").arg(buttonCaption(row.button), key));
    }
    if (areas == 0) {
        writeUtf8(stdout,
                  QStringLiteral("等級 %1 [%2]：沒有停用任何項目。\n").arg(level).arg(*section));
        return 0;
    }
    writeUtf8(stdout,
              QStringLiteral("等級 %1 [%2]：%3 個權限項目停用，以下選單項目與按鈕呈現淡灰色：\n")
                  .arg(level)
                  .arg(*section)
                  .arg(areas));
    writeUtf8(stdout, lines.join(u'\n') + u'\n');
    return 0;
}

int runCheck(const QStringList& args)
{
    if (args.size() != 1)
        return usageError(QStringLiteral("check 需要一個引數：FILE"));
    const QString file = resolveFile(args[0]);
    Result<QByteArray> bytes = loadProfile(file);
    if (!bytes) {
        writeMessage(stderr, QStringLiteral("tevo-profile: %1").arg(bytes.error()));
        return kUsageError;
    }
    const std::optional<ProfileDocument> doc = ProfileDocument::parse(std::move(bytes.value()));
    std::vector<ProfileFinding> findings;
    if (doc)
        findings = checkPermissionProfile(*doc);
    else
        findings.push_back(
            {0, QStringLiteral("檔案含有 NUL 位元組（可能存成了 UTF-16 或不是文字檔），"
                               "主目錄不會讀取其中任何設定")});
    // Findings quote names and values of the file as they are.
    for (const ProfileFinding& finding : findings) {
        if (finding.line > 0)
            writeMessage(
                stdout,
                QStringLiteral("%1:%2: %3").arg(file).arg(finding.line).arg(finding.message));
        else
            writeMessage(stdout, QStringLiteral("%1: %2").arg(file, finding.message));
    }
    if (findings.empty()) {
        writeMessage(stdout, QStringLiteral("%1: 沒有發現問題").arg(file));
        return 0;
    }
    writeMessage(stdout, QStringLiteral("%1: 發現 %2 個問題").arg(file).arg(findings.size()));
    return 1;
}

int run(const QStringList& arguments)
{
    if (arguments.isEmpty())
        return usageError(QStringLiteral("缺少指令"));
    const QString& verb = arguments.first();
    const QStringList args = arguments.mid(1);
    const bool wantsHelp = args.contains(u"--help") || args.contains(u"-h");
    if (verb == u"--help" || verb == u"-h" || verb == u"help") {
        writeUtf8(stdout, QString::fromUtf8(kUsage));
        return 0;
    }
    if (verb == u"--version") {
        writeUtf8(stdout, QStringLiteral("tevo-profile %1.%2.%3\n")
                              .arg(version::kMajor)
                              .arg(version::kMinor)
                              .arg(version::kRevision));
        return 0;
    }
    if (verb == u"get") {
        if (wantsHelp) {
            writeUtf8(stdout, QString::fromUtf8(kGetHelp));
            return 0;
        }
        return runGet(args);
    }
    if (verb == u"show") {
        if (wantsHelp) {
            writeUtf8(stdout, QString::fromUtf8(kShowHelp));
            return 0;
        }
        return runShow(args);
    }
    if (verb == u"check") {
        if (wantsHelp) {
            writeUtf8(stdout, QString::fromUtf8(kCheckHelp));
            return 0;
        }
        return runCheck(args);
    }
    return usageError(QStringLiteral("不認得的指令「%1」").arg(verb));
}

} // namespace
} // namespace tevo

int main(int argc, char** argv)
{
    return tevo::runCommandLineTool(argc, argv, tevo::run, "tevo-profile: 無法寫出到標準輸出");
}
