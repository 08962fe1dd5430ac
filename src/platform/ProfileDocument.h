#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace tevo {

// A profile (INI) file decoded and split into lines by the private-profile rules, with the byte
// range of every line so that a writer can change one line and keep every other byte.
//
// The text is UTF-8 when the file starts with the byte-order mark or is valid UTF-8 as a whole
// and holds more than ASCII, else code page 950; it is decoded whole before anything else.
// Lines end at CR, LF or CR LF and are trimmed of blanks (space, tab, CR, LF, FF, VT). A line
// starting with `[` and holding a `]` is a section header whose name runs to the last `]`;
// a line starting with `;` is a comment; any other line splits at its first `=` into a name
// and a value, or is a name without a value when it has no `=`. Lines before the first header
// belong to no section. Names compare without regard to letter case, Unicode-aware, and the
// names a caller looks up are trimmed of the same blanks as the names in the file.
class ProfileDocument
{
public:
    enum class Encoding
    {
        Cp950,
        Utf8,
        Utf8WithBom
    };
    enum class LineKind
    {
        Blank,
        Comment,
        Section,
        Entry,
        NameOnly
    };

    struct Line
    {
        LineKind kind = LineKind::Blank;
        QString name;             // section or key name, trimmed
        QString writtenValue;     // Entry: the value trimmed, quotation marks as written
        qsizetype begin = 0;      // byte offsets into bytes(): the line,
        qsizetype contentEnd = 0; // the end of its text before the line end,
        qsizetype end = 0;        // the end after the line end
        qsizetype valueBegin = 0; // Entry: just after the `=`
        bool validText = true;    // every byte decoded to a character
    };

    // std::nullopt for data that is not text (it holds a NUL byte).
    static std::optional<ProfileDocument> parse(QByteArray bytes);
    // The value a reader gets (quotation marks removed) by the same rules as parse(), without
    // keeping the lines: std::nullopt when the data is not text, or the first section of that
    // name or the key in it is missing, or the key has no `=`.
    static std::optional<QString> lookUp(const QByteArray& bytes, QStringView section,
                                         QStringView key);

    Encoding encoding() const { return m_encoding; }
    const QByteArray& bytes() const { return m_bytes; }
    const std::vector<Line>& lines() const { return m_lines; }

    // Index of the first section header of that name (without regard to letter case), or -1.
    qsizetype findSection(QStringView name) const;
    // Index of the line after the section's last line: the next header or lines().size().
    qsizetype sectionEnd(qsizetype header) const;
    // Index of the first Entry or NameOnly line of that name in the section, or -1.
    qsizetype findKey(qsizetype header, QStringView key) const;

    // The value as a reader sees it: one pair of enclosing `"` or `'` removed when the value
    // has at least two characters and starts and ends with the same mark.
    static QString unquote(const QString& writtenValue);
    // Trims the profile blanks: space, tab, CR, LF, FF, VT.
    static QStringView trimBlanks(QStringView text);

private:
    struct Parts
    {
        LineKind kind;
        QStringView name;
        QStringView writtenValue;
    };
    static Parts split(QStringView lineText);
    static Encoding encodingOf(const QByteArray& bytes);
    static QString decode(const QByteArray& bytes, Encoding encoding);

    QByteArray m_bytes;
    Encoding m_encoding = Encoding::Cp950;
    std::vector<Line> m_lines;
};

} // namespace tevo
