#include "permissions/ProfileCheck.h"

#include "permissions/PermissionTable.h"
#include "platform/ProfileDocument.h"
#include "platform/TextCodec.h"

#include <QHash>
#include <QStringList>

#include <algorithm>

namespace tevo {

namespace {

using Kind = ProfileDocument::LineKind;

constexpr int kValueBytes = 199; // what the menu's 200-byte buffer holds

QString stripDecoration(QString text)
{
    static const QString quotes = QStringLiteral("\"'“”‘’「」『』`");
    static const QString punctuation = QStringLiteral(".,;:!?。，；：！？、");
    for (;;) {
        const QString before = text;
        text = text.trimmed();
        if (text.size() >= 2 && quotes.contains(text.front()) && quotes.contains(text.back()))
            text = text.mid(1, text.size() - 2);
        while (!text.isEmpty() && punctuation.contains(text.back()))
            text.chop(1);
        if (text == before)
            return text;
    }
}

bool readsAsNo(QString text)
{
    text = stripDecoration(text).toUpper();
    text.replace(u'0', u'O');
    return text == u"NO";
}

} // namespace

bool looksLikeRefusal(const QString& writtenValue)
{
    const QString text = writtenValue.normalized(QString::NormalizationForm_KC);
    if (readsAsNo(text))
        return true;
    // A comment written after the value is part of it.
    for (qsizetype i = 1; i < text.size(); ++i) {
        if (text[i] == u';' || text[i] == u'#')
            return readsAsNo(text.left(i));
    }
    return false;
}

namespace {

// Reads a profile line by line and collects what it finds.
class ProfileChecker
{
public:
    explicit ProfileChecker(const ProfileDocument& profile)
        : m_lines(profile.lines()),
          m_bom(profile.encoding() == ProfileDocument::Encoding::Utf8WithBom)
    {
    }

    std::vector<ProfileFinding> check()
    {
        for (qsizetype i = 0; i < qsizetype(m_lines.size()); ++i) {
            const ProfileDocument::Line& line = m_lines[i];
            if (!line.validText)
                add(i, m_bom
                           ? QStringLiteral("檔案以 UTF-8 標記開頭，但這一行不是有效的 UTF-8 文字")
                           : QStringLiteral("這一行既不是 Big5（字碼頁 950）也不是 UTF-8 文字"));
            if (line.kind == Kind::Section)
                startSection(i, line);
            else if (line.kind == Kind::Entry || line.kind == Kind::NameOnly)
                checkEntry(i, line);
        }
        finishSection();
        // The lacking keys of a section are known only at its end; they belong to its header.
        std::stable_sort(
            m_findings.begin(), m_findings.end(),
            [](const ProfileFinding& a, const ProfileFinding& b) { return a.line < b.line; });
        return std::move(m_findings);
    }

private:
    void add(qsizetype index, const QString& message)
    {
        m_findings.push_back({int(index) + 1, message});
    }

    void startSection(qsizetype i, const ProfileDocument::Line& line)
    {
        finishSection();
        m_keysSeen.clear();
        m_header = i;
        m_level = levelOfPermissionSection(line.name);
        if (m_level == 0) {
            add(i, QStringLiteral("段落 [%1] 不是使用者等級（第二級到第六級），主目錄不會讀取")
                       .arg(line.name));
        } else if (m_firstSectionOfLevel.contains(m_level)) {
            add(i, QStringLiteral("段落 [%1] 重複（第一次在第 %2 行），主目錄只讀第一個，"
                                  "這一段的設定無效")
                       .arg(line.name)
                       .arg(m_firstSectionOfLevel.value(m_level) + 1));
            m_level = 0;
        } else {
            m_firstSectionOfLevel.insert(m_level, i);
        }
    }

    void finishSection()
    {
        if (m_level == 0)
            return;
        QStringList lacking;
        for (const PermissionRow& row : permissionTable()) {
            if (!m_keysSeen.contains(QString::fromUtf8(row.key).toLower()))
                lacking.append(QString::fromUtf8(row.key));
        }
        if (!lacking.isEmpty())
            add(m_header, QStringLiteral("段落 [%1] 缺少 %2 個權限項目（缺少的項目一律允許）：%3")
                              .arg(m_lines[m_header].name)
                              .arg(lacking.size())
                              .arg(lacking.join(QStringLiteral("、"))));
    }

    void checkEntry(qsizetype i, const ProfileDocument::Line& line)
    {
        if (m_header < 0) {
            add(i, QStringLiteral("「%1」不在任何段落之內，主目錄不會讀取").arg(line.name));
            return;
        }
        if (m_level == 0)
            return; // the section itself is reported
        if (!findPermissionRow(line.name)) {
            add(i, QStringLiteral("「%1」不是權限項目，主目錄不會讀取").arg(line.name));
            return;
        }
        const QString folded = line.name.toLower();
        if (m_keysSeen.contains(folded)) {
            add(i, QStringLiteral("「%1」重複（第一次在第 %2 行），主目錄只讀第一個")
                       .arg(line.name)
                       .arg(m_keysSeen.value(folded) + 1));
            return;
        }
        m_keysSeen.insert(folded, i);
        if (line.kind == Kind::NameOnly) {
            add(i, QStringLiteral("「%1」沒有「=」，主目錄視為沒有值（允許）").arg(line.name));
            return;
        }
        const QString read =
            TextCodec::cutToCp950Bytes(ProfileDocument::unquote(line.writtenValue), kValueBytes);
        if (!isRefusal(read) && looksLikeRefusal(line.writtenValue))
            add(i, QStringLiteral("「%1」的值「%2」看似 NO，但只有大寫的 NO 才會停用，"
                                  "這個值等於允許")
                       .arg(line.name, line.writtenValue));
    }

    const std::vector<ProfileDocument::Line>& m_lines;
    const bool m_bom;
    std::vector<ProfileFinding> m_findings;
    QHash<qint16, qsizetype> m_firstSectionOfLevel;
    qint16 m_level = 0;      // level of the section being read, 0 when none or not counted
    qsizetype m_header = -1; // its header line
    QHash<QString, qsizetype> m_keysSeen; // lower-case key -> first line, in the current section
};

} // namespace

std::vector<ProfileFinding> checkPermissionProfile(const ProfileDocument& profile)
{
    return ProfileChecker(profile).check();
}

} // namespace tevo
