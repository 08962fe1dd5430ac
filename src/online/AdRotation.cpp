#include "online/AdRotation.h"

#include "core/MainMenuView.h"
#include "core/NumericText.h"
#include "core/SettingsApplications.h"
#include "platform/FileLookup.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

namespace tevo {

namespace {

const QString kSwitchKey = QStringLiteral("EEGX");
const QString kCountKey = QStringLiteral("EEYG");
const QString kLastShownKey = QStringLiteral("FHEE");

// Ad numbers are whole numbers written in plain decimal. Above 2^53 a stored number no longer
// names one whole number, so larger counts are taken as 2^53: no list comes near it.
constexpr qint64 kLargestAdNumber = qint64(1) << 53;

// A stored number as a whole ad number: its whole part (2.9 counts as 2, so ad numbers 1 to
// the count are exactly those not greater than the stored value), 0 for zero, negative or
// non-numeric text, at most kLargestAdNumber.
qint64 wholeNumber(double value)
{
    if (!(value >= 1)) // also catches a value that is not a number
        return 0;
    if (value >= static_cast<double>(kLargestAdNumber))
        return kLargestAdNumber;
    return static_cast<qint64>(std::floor(value));
}

qint64 nextAd(qint64 n, qint64 count)
{
    return n >= count ? 1 : n + 1;
}

// The plain decimal number (no sign, no leading zero) that `text` consists of, if it is one
// between 1 and `count`.
std::optional<qint64> adNumberIn(QStringView text, qint64 count)
{
    if (text.isEmpty() || text.size() > 16 || text.front() == u'0')
        return std::nullopt;
    qint64 n = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        n = n * 10 + (c.unicode() - u'0');
    }
    if (n > count)
        return std::nullopt;
    return n;
}

QByteArray pictureName(qint64 n)
{
    return "GARVO" + QByteArray::number(n) + ".JPG";
}

// The display-until dates that exist, by ad number. The store compares key names without
// regard to case, so "3b" is the key of advertisement 3 as well. An unreadable store gives
// none, as every single read of it would give the empty text.
std::map<qint64, QString> storedDates(SettingsStore& store, const QString& section, qint64 count)
{
    std::map<qint64, QString> dates;
    auto entries = store.list(kOnlineApplication, section);
    if (!entries)
        return dates;
    for (const SettingsStore::Entry& entry : entries.value()) {
        const QString& key = entry.key;
        if (key.size() < 2 || (key.back() != u'B' && key.back() != u'b'))
            continue;
        if (auto n = adNumberIn(QStringView(key).chopped(1), count))
            dates[*n] = entry.value;
    }
    return dates;
}

// The advertisements' picture files in the folder (both as the system spells them), by ad
// number, from one listing of it: the file of the exact name "GARVOn.JPG" where there is one,
// else the first entry in name order whose name matches it without regard to case, as
// lookUpFile() would find it.
std::map<qint64, QByteArray> picturesInFolder(const QByteArray& folder, qint64 count)
{
    std::map<qint64, QByteArray> pictures;
    for (const QByteArray& name : folderEntries(folder)) {
        const QString entry = QFile::decodeName(name);
        if (entry.size() < 10 || !entry.startsWith(u"GARVO", Qt::CaseInsensitive) ||
            !entry.endsWith(u".JPG", Qt::CaseInsensitive))
            continue;
        if (auto n = adNumberIn(QStringView(entry).sliced(5).chopped(4), count)) {
            const auto [it, added] = pictures.try_emplace(*n, pathInFolder(folder, name));
            if (!added && name == pictureName(*n))
                it->second = pathInFolder(folder, name);
        }
    }
    return pictures;
}

struct Step
{
    qint64 target;  // the first of the numbers reached from n, going round the list
    qint64 skipped; // how many steps of nextAd() lead there (0 when n is one of them)
};

std::optional<Step> nextOf(const std::map<qint64, QByteArray>& numbers, qint64 n, qint64 count)
{
    if (numbers.empty())
        return std::nullopt;
    auto it = numbers.lower_bound(n);
    if (it != numbers.end())
        return Step{it->first, it->first - n};
    return Step{numbers.begin()->first, count - n + numbers.begin()->first};
}

// The first advertisement from n on, round the list once, whose date is today or later.
// Both dates have the form yyyy/MM/dd, so comparing them as text orders them; a date written in
// any other form is compared all the same and never fails. A missing date is the empty text,
// earlier than any date, so only stored dates take part.
std::optional<qint64> firstCurrentAd(const std::map<qint64, QString>& dates, qint64 n,
                                     const QString& today)
{
    auto current = [&today](const auto& date) { return date.second >= today; };
    auto found = std::find_if(dates.lower_bound(n), dates.end(), current);
    if (found == dates.end()) {
        found = std::find_if(dates.begin(), dates.lower_bound(n), current);
        if (found == dates.lower_bound(n))
            return std::nullopt;
    }
    return found->first;
}

// Shows the picture of advertisement n, or of the first after it whose picture loads; returns
// the number shown. A picture that does not load counts as an error and the next
// advertisement's picture is tried, whatever its date, until as many errors as advertisements
// have been counted. Advertisements without a picture file fail without a load being tried.
// The folder is listed at most once: when the first picture is not there under its exact
// name, or does not load.
std::optional<qint64> showFirstLoadingPicture(MainMenuView& view, const QByteArray& folder,
                                              qint64 n, qint64 count)
{
    std::optional<std::map<qint64, QByteArray>> pictures;
    const auto pictureFile = [&](qint64 number) {
        const QByteArray exact = pathInFolder(folder, pictureName(number));
        if (!pictures) {
            if (pathExists(exact))
                return exact;
            pictures = picturesInFolder(folder, count);
        }
        const auto found = pictures->find(number);
        return found != pictures->end() ? found->second : exact;
    };
    qint64 errors = 0;
    while (!view.loadBannerPicture(pictureFile(n))) {
        ++errors;
        n = nextAd(n, count);
        if (errors == count)
            return std::nullopt;
        if (!pictures)
            pictures = picturesInFolder(folder, count);
        const std::optional<Step> step = nextOf(*pictures, n, count);
        if (!step || errors + step->skipped >= count)
            return std::nullopt;
        errors += step->skipped;
        n = step->target;
    }

    return n;
}

} // namespace

AdRotation::AdRotation(Platform& platform, MainMenuView& view) : m_platform(platform), m_view(view)
{
}

// Each start shows the advertisement after the one shown last whose display-until date has
// not passed, and remembers it in FHEE. The stored numbers come from outside the program, so
// the work done never depends on how large they are: only advertisements that have a date key
// can ever be chosen, and only those that have a picture file can ever load. Both are found
// with one look at the store and, when a picture fails, one look at the folder; for every
// real list the result is the one a visit of every advertisement in turn would give.
void AdRotation::run()
{
    SettingsStore& store = m_platform.store;
    const QString section = m_platform.workingDirectory.current();
    // The pictures are files of the folder as the system spells its name.
    const QByteArray folder = m_platform.workingDirectory.nativePath();
    const double switchValue = leadingNumber(store.text(kOnlineApplication, section, kSwitchKey));
    const double lastShown = leadingNumber(store.text(kOnlineApplication, section, kLastShownKey));
    const qint64 count =
        wholeNumber(leadingNumber(store.text(kOnlineApplication, section, kCountKey)));

    if (switchValue == 0 || count == 0)
        return;

    // The advertisement after the one shown last; a damaged FHEE (negative, beyond the list)
    // starts again at 1, since ad numbers have no sign.
    qint64 n = wholeNumber(lastShown) + 1;
    if (n > count)
        n = 1;

    const QString today = m_platform.clock.now().date().toString(u"yyyy/MM/dd");
    const std::optional<qint64> first =
        firstCurrentAd(storedDates(store, section, count), n, today);
    if (!first)
        return;
    const std::optional<qint64> shown = showFirstLoadingPicture(m_view, folder, *first, count);
    if (!shown)
        return;

    // A failed write only means the same advertisement comes again next time; the rotation
    // shows no message.
    static_cast<void>(
        store.write(kOnlineApplication, section, kLastShownKey, QString::number(*shown)));
    m_view.setBannerVisible(true);
}

} // namespace tevo
