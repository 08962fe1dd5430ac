#include "platform/SettingsStoreMessages.h"

#include "platform/SystemErrorText.h"

#include <QFileInfo>

#include <sqlite3.h>

#include <cerrno>

namespace tevo {

namespace {

const QString kUntouched = QStringLiteral("程式沒有更動這個檔案。");

QString detail(const Status& failure)
{
    QString text = failure.message();
    if (failure.systemError() != 0)
        text += QStringLiteral("；") + systemErrorText(failure.systemError());
    return QStringLiteral("（%1）").arg(text);
}

QString damaged(const QString& path, const Status& failure)
{
    return QStringLiteral("設定檔「%1」已損壞，無法讀取%2。").arg(path, detail(failure)) +
           kUntouched + QStringLiteral("請從備份還原這個檔案，或請系統管理員協助。");
}

QString busy(const QString& path)
{
    return QStringLiteral("設定檔「%1」被其他程式佔用太久，這次的設定沒有完成。"
                          "請稍候再試；若一直發生，請關閉其他 Tevo 程式後再試。")
        .arg(path);
}

} // namespace

QString SettingsStoreMessages::cannotCreate(const QString& path, int error)
{
    return QStringLiteral("無法建立設定檔「%1」：%2。請確認您對資料夾「%3」有寫入權限，"
                          "或請系統管理員協助。")
        .arg(path, systemErrorText(error), QFileInfo(path).absolutePath());
}

QString SettingsStoreMessages::isLink(const QString& path, bool isFolder)
{
    if (isFolder) {
        return QStringLiteral("設定檔的資料夾「%1」是符號連結，可能指向別人的資料夾，"
                              "為安全起見不予使用。程式沒有更動它。請將這個連結移走或更名後"
                              "重新啟動程式，程式會建立新的資料夾；或請系統管理員協助。")
            .arg(path);
    }
    return QStringLiteral("設定檔「%1」是符號連結，可能指向別人的檔案，為安全起見不予使用。")
               .arg(path) +
           kUntouched +
           QStringLiteral("請將這個連結移走或換成真正的設定檔後重新啟動程式；"
                          "或請系統管理員協助。");
}

QString SettingsStoreMessages::ofAnotherUser(const QString& path, bool isFolder,
                                             const QString& owner)
{
    const QString what = isFolder ? QStringLiteral("設定檔的資料夾") : QStringLiteral("設定檔");
    return QStringLiteral("%1「%2」屬於另一位使用者（%3），不是您的，為安全起見不予使用。"
                          "程式沒有更動它。請系統管理員把它交給您（chown），或將它移走後"
                          "重新啟動程式，程式會建立新的%4。")
        .arg(what, path, owner, isFolder ? QStringLiteral("資料夾") : QStringLiteral("設定檔"));
}

QString SettingsStoreMessages::cannotRead(const QString& path, int error)
{
    if (error == EACCES || error == EPERM) {
        return QStringLiteral("沒有權限讀取設定檔「%1」。").arg(path) + kUntouched +
               QStringLiteral("請系統管理員修正這個檔案的權限。");
    }
    return QStringLiteral("無法開啟設定檔「%1」：%2。").arg(path, systemErrorText(error)) +
           kUntouched + QStringLiteral("請系統管理員協助。");
}

QString SettingsStoreMessages::readFailed(const QString& path, const Status& failure)
{
    switch (SqliteDatabase::primaryCode(failure)) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return damaged(path, failure);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return busy(path);
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return cannotRead(path, EACCES);
    default:
        return QStringLiteral("無法讀取設定檔「%1」%2。").arg(path, detail(failure)) + kUntouched +
               QStringLiteral("請系統管理員協助。");
    }
}

QString SettingsStoreMessages::writeFailed(const QString& path, const Status& failure)
{
    switch (SqliteDatabase::primaryCode(failure)) {
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return readOnly(path);
    case SQLITE_FULL:
        return QStringLiteral("磁碟已滿，無法寫入設定檔「%1」。請清出磁碟空間後再試。").arg(path);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return damaged(path, failure);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return busy(path);
    default:
        return QStringLiteral("無法寫入設定檔「%1」%2。請稍後再試，或請系統管理員協助。")
            .arg(path, detail(failure));
    }
}

QString SettingsStoreMessages::notAFile(const QString& path, bool isFolder)
{
    QString text;
    if (isFolder) {
        text = QStringLiteral("設定檔「%1」的位置上是一個資料夾，不是設定檔，無法使用。"
                              "程式沒有更動這個資料夾。")
                   .arg(path);
    } else {
        text =
            QStringLiteral("設定檔「%1」不是一般檔案（可能是裝置或管線），無法使用。").arg(path) +
            kUntouched;
    }
    return text + QStringLiteral("請將它移走或更名後重新啟動程式，程式會建立新的設定檔；"
                                 "或請系統管理員協助。");
}

QString SettingsStoreMessages::notAStore(const QString& path)
{
    return QStringLiteral("檔案「%1」不是 Tevo 的設定檔，無法使用。").arg(path) + kUntouched +
           QStringLiteral("請從備份還原正確的設定檔，或請系統管理員協助。");
}

QString SettingsStoreMessages::readOnly(const QString& path)
{
    return QStringLiteral("設定檔「%1」是唯讀的，無法寫入設定。"
                          "請系統管理員開放這個檔案及其資料夾的寫入權限。")
        .arg(path);
}

} // namespace tevo
