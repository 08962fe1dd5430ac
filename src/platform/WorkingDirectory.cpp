#include "platform/WorkingDirectory.h"

#include "platform/FileNameText.h"

namespace tevo {

Result<QString> WorkingDirectory::readable() const
{
    QString folder = current();
    if (folder.startsWith(u'/'))
        return folder;
    const QByteArray native = nativePath();
    if (native.startsWith('/')) {
        return Result<QString>::error(
            QStringLiteral("工作目錄「%1」的名稱無法讀取：它既不是 UTF-8 也不是 Big5（code page "
                           "950）的文字，設定無法記在這個資料夾下。請將資料夾改用可讀的名稱，"
                           "再從改名後的資料夾重新啟動程式。")
                .arg(FileNameText::escaped(native)));
    }
    return Result<QString>::error(QStringLiteral(
        "無法取得目前的工作目錄，它可能已被刪除。請回到 Tevo 的資料夾重新啟動程式。"));
}

} // namespace tevo
