#include "platform/IniProfileFiles.h"

#include "platform/FileDescriptor.h"
#include "platform/LockedFile.h"
#include "platform/ProfileDocument.h"
#include "platform/TextCodec.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tevo {

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

std::optional<QByteArray> encodeAs(ProfileDocument::Encoding encoding, const QString& text)
{
    if (encoding == ProfileDocument::Encoding::Cp950)
        return TextCodec::encodeCp950(text);
    return text.toUtf8();
}

// A name that the reader would find again after writing it: not empty, no blanks around it,
// on one line; a key holds no `=` and does not start like a header or a comment.
bool isWritableName(const QString& name, bool isKey)
{
    if (name.isEmpty() || ProfileDocument::trimBlanks(name).size() != name.size())
        return false;
    if (name.contains(u'\r') || name.contains(u'\n') || name.contains(QChar::Null))
        return false;
    if (isKey && (name.contains(u'=') || name.front() == u'[' || name.front() == u';'))
        return false;
    return true;
}

// The file's bytes with one key set, following the private-profile rules of ProfileDocument.
QByteArray withKeySet(const ProfileDocument& doc, const QByteArray& section, const QByteArray& key,
                      const QByteArray& value, const QString& sectionName, const QString& keyName)
{
    QByteArray out = doc.bytes();
    const auto& lines = doc.lines();
    const qsizetype header = doc.findSection(sectionName);
    if (header < 0) {
        const qsizetype textStart =
            doc.encoding() == ProfileDocument::Encoding::Utf8WithBom ? 3 : 0;
        if (out.size() > textStart && !out.endsWith('\n') && !out.endsWith('\r'))
            out += "\r\n";
        out += '[' + section + "]\r\n" + key + '=' + value + "\r\n";
        return out;
    }
    const qsizetype found = doc.findKey(header, keyName);
    if (found >= 0) {
        const ProfileDocument::Line& line = lines[found];
        if (line.kind == ProfileDocument::LineKind::Entry)
            out.replace(line.valueBegin, line.contentEnd - line.valueBegin, value);
        else
            out.insert(line.contentEnd, '=' + value);
        return out;
    }
    // A new key goes after the section's last line that is not blank.
    qsizetype last = header;
    for (qsizetype i = header + 1; i < doc.sectionEnd(header); ++i) {
        if (lines[i].kind != ProfileDocument::LineKind::Blank)
            last = i;
    }
    const ProfileDocument::Line& after = lines[last];
    const QByteArray lineEnd = after.end == after.contentEnd ? QByteArray("\r\n") : QByteArray();
    out.insert(after.end, lineEnd + key + '=' + value + "\r\n");
    return out;
}

// The bytes of a profile file, `bytes`, with one key set, or why the file cannot take it.
Result<QByteArray> withValueSet(const QString& file, QByteArray bytes, const QString& section,
                                const QString& key, const QString& value)
{
    using Bytes = Result<QByteArray>;
    const auto doc = ProfileDocument::parse(std::move(bytes));
    if (!doc)
        return Bytes::error(QStringLiteral("「%1」不是文字設定檔，不予覆寫").arg(file));

    const std::optional<QByteArray> sectionBytes = encodeAs(doc->encoding(), section);
    const std::optional<QByteArray> keyBytes = encodeAs(doc->encoding(), key);
    const std::optional<QByteArray> valueBytes = encodeAs(doc->encoding(), value);
    if (!sectionBytes || !keyBytes || !valueBytes)
        return Bytes::error(QStringLiteral("無法寫入設定檔「%1」：「%2」有 Big5（字碼頁 950）"
                                           "無法表示的字")
                                .arg(file, !sectionBytes ? section
                                           : !keyBytes   ? key
                                                         : value));

    QByteArray updated = withKeySet(*doc, *sectionBytes, *keyBytes, *valueBytes, section, key);
    if (updated == doc->bytes())
        return updated; // already holds the value
    // Code page 950 bytes can happen to form valid UTF-8 ("羅" is C3 B9, "ù" in UTF-8). A file
    // that became valid UTF-8 as a whole would be read as UTF-8 from then on, and every
    // character in it, the new value too, would read as another; it stays as it is instead.
    if (doc->encoding() == ProfileDocument::Encoding::Cp950) {
        const std::optional<ProfileDocument> after = ProfileDocument::parse(updated);
        if (!after || after->encoding() != ProfileDocument::Encoding::Cp950)
            return Bytes::error(
                QStringLiteral("無法寫入設定檔「%1」：寫入後整個 Big5（字碼頁 950）檔案恰好也是"
                               "有效的 UTF-8，會被當成 UTF-8 讀錯。請用文字編輯器將它另存為含 "
                               "BOM 的 UTF-8 後再試")
                    .arg(file));
    }
    return updated;
}

// The bytes of the regular file open as `fd` (shown to the user as `file`), with its status.
Result<QByteArray> readOpenFile(int fd, const QString& file, struct stat& st)
{
    using Bytes = Result<QByteArray>;
    if (::fstat(fd, &st) != 0)
        return Bytes::error(
            QStringLiteral("無法讀取設定檔「%1」：%2").arg(file, systemError(errno)));
    if (S_ISDIR(st.st_mode))
        return Bytes::error(QStringLiteral("「%1」是資料夾，不是設定檔").arg(file));
    if (!S_ISREG(st.st_mode))
        return Bytes::error(QStringLiteral("「%1」不是一般檔案，不是設定檔").arg(file));
    const auto tooLarge = [&] {
        return Bytes::error(QStringLiteral("設定檔「%1」超過 %2 MB，不是設定檔")
                                .arg(file)
                                .arg(IniProfileFiles::kMaxFileBytes / (1024 * 1024)));
    };
    if (st.st_size > IniProfileFiles::kMaxFileBytes)
        return tooLarge();

    QByteArray bytes(qsizetype(st.st_size) + 1, Qt::Uninitialized);
    qsizetype used = 0;
    for (;;) {
        if (used == bytes.size()) {
            if (bytes.size() > IniProfileFiles::kMaxFileBytes) // the file grew while being read
                return tooLarge();
            bytes.resize(
                std::min<qsizetype>(bytes.size() * 2 + 4096, IniProfileFiles::kMaxFileBytes + 1));
        }
        const ssize_t n = ::read(fd, bytes.data() + used, bytes.size() - used);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Bytes::error(
                QStringLiteral("無法讀取設定檔「%1」：%2").arg(file, systemError(errno)));
        if (n == 0)
            break;
        used += n;
    }
    if (used > IniProfileFiles::kMaxFileBytes)
        return tooLarge();
    bytes.truncate(used);
    return bytes;
}

// O_NONBLOCK: opening a FIFO must not wait for a writer; readOpenFile() refuses it.
constexpr int kReadFlags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;

} // namespace

Result<std::optional<QByteArray>> IniProfileFiles::readFileBytes(const QString& file)
{
    using Bytes = Result<std::optional<QByteArray>>;
    if (file.isEmpty())
        return std::optional<QByteArray>();
    FileDescriptor fd(::open(QFile::encodeName(file).constData(), kReadFlags));
    if (fd.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return std::optional<QByteArray>();
        return Bytes::error(
            QStringLiteral("無法讀取設定檔「%1」：%2").arg(file, systemError(errno)));
    }
    struct stat st;
    Result<QByteArray> bytes = readOpenFile(fd.get(), file, st);
    if (!bytes)
        return Bytes::error(bytes.status());
    return std::optional<QByteArray>(std::move(bytes.value()));
}

QString IniProfileFiles::readString(const QString& file, const QString& section, const QString& key,
                                    const QString& defaultValue, int bufferSize)
{
    QString value = defaultValue;
    // Every failure to read gives the default: a profile can only ever take rights away.
    Result<std::optional<QByteArray>> bytes = readFileBytes(file);
    if (bytes && bytes.value()) {
        if (std::optional<QString> found = ProfileDocument::lookUp(*bytes.value(), section, key))
            value = std::move(*found);
    }
    // The buffer holds bufferSize - 1 bytes of code page 950 and the terminating NUL.
    return TextCodec::cutToCp950Bytes(value, qsizetype(bufferSize) - 1);
}

Status IniProfileFiles::writeString(const QString& file, const QString& section, const QString& key,
                                    const QString& value)
{
    if (file.isEmpty())
        return Status::error(QStringLiteral("無法寫入設定檔：沒有檔案名稱"));
    if (!isWritableName(section, false) || !isWritableName(key, true))
        return Status::error(QStringLiteral("無法寫入設定檔「%1」：段落「%2」或名稱「%3」不合格式")
                                 .arg(file, section, key));
    if (value.contains(u'\r') || value.contains(u'\n'))
        return Status::error(
            QStringLiteral("無法寫入設定檔「%1」：「%2」的值不能分成多行").arg(file, key));
    // A NUL byte would make the whole file unreadable as text.
    if (value.contains(QChar::Null))
        return Status::error(
            QStringLiteral("無法寫入設定檔「%1」：「%2」的值含有空字元（NUL）").arg(file, key));

    // The file is reached through its folder only: the folder is opened once and every step
    // below names the file inside it, so that a link put in the file's place, or a swap while
    // the file is written, never leads the write to another file.
    const QFileInfo info(file);
    const QString folderPath = info.absolutePath();
    const QByteArray name = QFile::encodeName(info.fileName());
    if (name.isEmpty())
        return Status::error(QStringLiteral("無法寫入設定檔「%1」：沒有檔案名稱").arg(file));
    FileDescriptor folder(
        ::open(QFile::encodeName(folderPath).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0) {
        if (errno == ENOENT)
            return Status::error(
                QStringLiteral("無法寫入設定檔「%1」：資料夾「%2」不存在").arg(file, folderPath));
        return Status::error(
            QStringLiteral("無法寫入設定檔「%1」：%2").arg(file, systemError(errno)));
    }

    // A missing file is created only for a write that it would take, so that a refused write
    // leaves nothing behind.
    struct stat st;
    if (::fstatat(folder.get(), name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 &&
        errno == ENOENT) {
        const Result<QByteArray> created = withValueSet(file, QByteArray(), section, key, value);
        if (!created)
            return created.status();
    }

    // A symbolic link counts as a file that cannot be written: what it points to may be
    // anybody's file, and the folder may be one that others can write.
    LockedFile locked;
    if (Status opened = locked.open(folder.get(), name, file); !opened)
        return opened;
    const Result<QByteArray> bytes = readOpenFile(locked.fd(), file, st);
    if (!bytes)
        return bytes.status();
    const Result<QByteArray> updated = withValueSet(file, bytes.value(), section, key, value);
    if (!updated)
        return updated.status();
    if (updated.value() == bytes.value())
        return Status::ok();
    return locked.write(bytes.value(), updated.value());
}

} // namespace tevo
