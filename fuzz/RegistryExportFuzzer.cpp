// The registry export parser and the settings export format on arbitrary file contents.
//
// The input is the whole file. When it parses as a registry export, its values must come back
// unchanged through the settings export format, and through a registry export written anew in
// each of the three forms (code page 950 only when the text has a form there). When it reads as
// a settings export, writing it again must read back the same values, every written value must
// be one line of four fields, and writing is stable: the second writing is the first's bytes.

#include "FuzzCheck.h"

#include "core/RegistryExport.h"
#include "core/SettingsExport.h"
#include "platform/TextCodec.h"

#include <QByteArrayList>

#include <cstddef>
#include <cstdint>
#include <vector>

using tevo::RegistryExport;
using tevo::SettingsExport;
using tevo::TextCodec;
using tevo::fuzz::shown;
using Entries = std::vector<tevo::SettingsStore::Entry>;

namespace {

QString described(const Entries& entries)
{
    QString out;
    for (const auto& e : entries)
        out += shown(e.app) + u' ' + shown(e.section) + u' ' + shown(e.key) + u' ' +
               shown(e.value) + u'\n';
    return out;
}

bool same(const Entries& a, const Entries& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.app == y.app && x.section == y.section && x.key == y.key && x.value == y.value;
    });
}

QString quoted(QString text)
{
    text.replace(u'\\', QLatin1String("\\\\"));
    text.replace(u'"', QLatin1String("\\\""));
    return u'"' + text + u'"';
}

// The values as the registry editor writes them, without the header line.
QString registryBody(const Entries& entries)
{
    QString text = QStringLiteral("\r\n");
    const tevo::SettingsStore::Entry* previous = nullptr;
    for (const auto& e : entries) {
        if (!previous || previous->app != e.app || previous->section != e.section) {
            text +=
                QStringLiteral("\r\n[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\") +
                e.app + u'\\' + e.section + QStringLiteral("]\r\n");
        }
        text += quoted(e.key) + u'=' + quoted(e.value) + QStringLiteral("\r\n");
        previous = &e;
    }
    return text;
}

void checkRegistryRoundTrip(const QByteArray& file, const Entries& entries, const char* form)
{
    const auto again = RegistryExport::parse(file);
    FUZZ_CHECK(again.isOk(), QStringLiteral("%1 written anew is refused: %2\n%3")
                                 .arg(QLatin1String(form), again.error(), shown(file)));
    FUZZ_CHECK(same(again.value(), entries),
               QStringLiteral("%1 written anew reads\n%2instead of\n%3")
                   .arg(QLatin1String(form), described(again.value()), described(entries)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    if (const auto parsed = RegistryExport::parse(bytes)) {
        const Entries& entries = parsed.value();
        const auto exported = SettingsExport::read(SettingsExport::write(entries));
        FUZZ_CHECK(exported.isOk() && same(exported.value(), entries),
                   QStringLiteral("registry values\n%1do not survive the export format")
                       .arg(described(entries)));

        const QString body = registryBody(entries);
        const QString unicode = QStringLiteral("Windows Registry Editor Version 5.00\r\n") + body;
        QByteArray utf16("\xff\xfe");
        for (const QChar c : unicode)
            utf16 += char(c.unicode() & 0xff) + QByteArray(1, char(c.unicode() >> 8));
        checkRegistryRoundTrip(utf16, entries, "UTF-16LE");
        checkRegistryRoundTrip(unicode.toUtf8(), entries, "UTF-8");
        const QString regedit4 = QStringLiteral("REGEDIT4\r\n") + body;
        const std::optional<QByteArray> cp950 = TextCodec::encodeCp950(regedit4);
        if (cp950 && TextCodec::decodeCp950(*cp950) == regedit4)
            checkRegistryRoundTrip(*cp950, entries, "REGEDIT4");
    }

    if (const auto read = SettingsExport::read(bytes)) {
        const QByteArray written = SettingsExport::write(read.value());
        const QList<QByteArray> lines = written.split('\n');
        FUZZ_CHECK(lines.size() == qsizetype(read.value().size()) + 2 && lines.last().isEmpty(),
                   QStringLiteral("%1 values written as\n%2")
                       .arg(read.value().size())
                       .arg(shown(written)));
        for (const QByteArray& line : lines.mid(1, lines.size() - 2))
            FUZZ_CHECK(line.count('\t') == 3 && !line.contains('\r'), shown(line));
        const auto again = SettingsExport::read(written);
        FUZZ_CHECK(again.isOk() && same(again.value(), read.value()),
                   QStringLiteral("written again reads differently:\n%1").arg(shown(written)));
        FUZZ_CHECK(SettingsExport::write(again.value()) == written, shown(written));
    }
    return 0;
}
