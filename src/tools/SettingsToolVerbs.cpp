#include "tools/SettingsToolVerbs.h"

#include "platform/EscapedText.h"
#include "platform/SqliteSettingsStore.h"

#include <algorithm>

namespace tevo {

namespace {

const Verb kVerbs[] = {
    {"get", 2, 2, kSection | kWine, "get APP KEY [--section S] [--wine]",
     "印出設定值；沒有這個值時結束碼為 1",
     "印出應用程式 APP 在區段 S 的設定值 KEY 與一個換行。\n"
     "結束碼：0 印出，1 沒有這個值（不印任何東西），2 用法或設定檔錯誤。\n",
     runGet, runWineGet},
    {"set", 3, 3, kSection | kWine, "set APP KEY VALUE [--section S] [--wine]", "寫入設定值",
     "寫入設定值；已有的值被取代。\n", runSet, runWineSet},
    {"delete", 2, 2, kSection, "delete APP KEY [--section S]", "刪除設定值",
     "刪除設定值；沒有這個值也算完成。\n", runDelete, nullptr},
    {"list", 0, 2, kWine, "list [APP [SECTION]] [--wine]",
     "每個設定值一行：APP<TAB>SECTION<TAB>KEY<TAB>VALUE（\\ 與控制字元以跳脫序列寫出）",
     "每個設定值一行：APP<TAB>SECTION<TAB>KEY<TAB>VALUE；可只列一個應用程式，或其中一個區段。\n"
     "欄位中的 \\ 寫成 \\\\，Tab、CR、LF 寫成 \\t、\\r、\\n，其他控制字元、U+2028、U+2029\n"
     "寫成 \\uXXXX，所以每個設定值恰好一行，也不會操控終端機；get 印出原本的值。\n",
     runList, runWineList},
    {"export", 0, 2, kOutput | kWine, "export [APP [SECTION]] [--output FILE] [--wine]",
     "匯出設定值（全部、一個應用程式或其中一個區段）",
     "把設定值寫到標準輸出，或以 --output 寫入 FILE：新的檔案，或取代使用者本人的一般檔案，\n"
     "寫成後只有使用者本人能讀寫（0600）。FILE 是符號連結、資料夾、裝置、具名管道或別人的檔案時\n"
     "不寫入；要寫到那些地方請用標準輸出。\n"
     "格式為 UTF-8 文字，第一行是「tevo-settings export 1」，之後每個設定值一行：\n"
     "APP<TAB>SECTION<TAB>KEY<TAB>VALUE。欄位中的 \\ 寫成 \\\\，Tab、CR、LF 寫成 \\t、\\r、\\n，\n"
     "其他控制字元、U+2028、U+2029 與行尾的空白寫成 \\uXXXX；其餘照原樣。\n"
     "匯出檔以 tevo-settings import 讀回，每個值與名稱都和原來一模一樣。\n",
     runExport, runWineExport},
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
     "其他的值不變。檔案有一行無法解讀時（訊息有行號），或檔案超過 256 MiB 時，\n"
     "結束碼為 2，什麼也不寫。\n",
     runImport, nullptr},
    {"move", 2, 2, 0, "move OLD NEW", "把區段 OLD（及其下的資料夾）的設定值移到 NEW",
     "把每個應用程式在區段 OLD 與 OLD/ 之下各區段的設定值移到 NEW（與 NEW/ 之下的同名區段），\n"
     "在一個交易中完成。NEW 或其下已有設定值時不移動（結束碼 2）；\n"
     "OLD 沒有設定值時結束碼為 1。\n",
     runMove, nullptr},
};

const char kWineHelp[] =
    "--wine：改用 Windows 版程式的設定：Wine 環境（WINEPREFIX，預設 ~/.wine）的登錄\n"
    "HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\APP\\SECTION。SECTION 是 Windows\n"
    "路徑，預設為目前的工作目錄在 Wine 中的路徑（例如 D:\\GARVO）；不指定 APP 時列出 kelpan\n"
    "與 EEYX。不會建立 Wine 環境。\n";

// The store's path comes from the environment: shown with its control characters escaped.
QString storePath()
{
    return EscapedText::escape(SqliteSettingsStore::defaultPath());
}

} // namespace

std::span<const Verb> settingsToolVerbs()
{
    return kVerbs;
}

const Verb* findVerb(const QString& name)
{
    const auto* verb = std::find_if(std::begin(kVerbs), std::end(kVerbs),
                                    [&](const Verb& v) { return name == QLatin1String(v.name); });
    return verb == std::end(kVerbs) ? nullptr : verb;
}

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
                          "--wine：get、set、list、export 改用 Windows 版程式的 Wine 登錄"
                          "（WINEPREFIX，預設 ~/.wine），\n"
                          "  SECTION 是 Windows 路徑，預設為目前工作目錄在 Wine 中的路徑"
                          "（例如 D:\\GARVO）。\n"
                          "以「--」結束選項，之後的引數（例如以 - 開頭的值）照原樣使用。\n"
                          "結束碼：0 完成，1 沒有這個值，2 用法或設定檔錯誤。\n"
                          "設定檔：%1\n")
               .arg(storePath());
}

QString verbHelp(const Verb& verb)
{
    const bool takesSection = (verb.options & kSection) != 0;
    return QStringLiteral("用法：tevo-settings %1\n").arg(QString::fromUtf8(verb.synopsis)) +
           QString::fromUtf8(verb.help) +
           (takesSection ? QStringLiteral("SECTION 預設為目前的工作目錄。\n") : QString()) +
           ((verb.options & kWine) ? QString::fromUtf8(kWineHelp) : QString()) +
           QStringLiteral("設定檔：%1\n").arg(storePath());
}

} // namespace tevo
