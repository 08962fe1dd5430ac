#include "DitheredPalette.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <vector>

namespace tevo {

namespace {

struct Colour
{
    std::array<int, 3> channel;
    qint64 count;
};

int channelOf(QRgb rgb, int axis)
{
    return axis == 0 ? qRed(rgb) : axis == 1 ? qGreen(rgb) : qBlue(rgb);
}

// A box of the median cut: a run of colours, with how much it would gain from a split.
struct Box
{
    std::size_t begin;
    std::size_t end;
    int axis = 0;       // the channel of the largest spread
    double error = 0.0; // the squared error along that channel, weighted by count

    void measure(const std::vector<Colour>& colours)
    {
        error = -1.0;
        for (int a = 0; a < 3; ++a) {
            double sum = 0.0;
            double squares = 0.0;
            double count = 0.0;
            for (std::size_t i = begin; i < end; ++i) {
                const double v = colours[i].channel[a];
                sum += v * colours[i].count;
                squares += v * v * colours[i].count;
                count += colours[i].count;
            }
            const double e = squares - sum * sum / count;
            if (e > error) {
                error = e;
                axis = a;
            }
        }
        if (end - begin < 2)
            error = 0.0;
    }
};

std::vector<QRgb> medianCut(const QImage& image, int wanted)
{
    QHash<QRgb, qint64> histogram;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            ++histogram[line[x] | 0xff000000u];
    }
    std::vector<Colour> colours;
    colours.reserve(histogram.size());
    for (auto it = histogram.cbegin(); it != histogram.cend(); ++it)
        colours.push_back({{qRed(it.key()), qGreen(it.key()), qBlue(it.key())}, it.value()});

    std::vector<Box> boxes{{0, colours.size()}};
    boxes.front().measure(colours);
    while (int(boxes.size()) < wanted) {
        const auto worst =
            std::max_element(boxes.begin(), boxes.end(),
                             [](const Box& a, const Box& b) { return a.error < b.error; });
        if (worst->error <= 0.0)
            break;
        Box box = *worst;
        const int axis = box.axis;
        std::sort(
            colours.begin() + box.begin, colours.begin() + box.end,
            [axis](const Colour& a, const Colour& b) { return a.channel[axis] < b.channel[axis]; });
        qint64 total = 0;
        for (std::size_t i = box.begin; i < box.end; ++i)
            total += colours[i].count;
        // Split at the weighted median, keeping at least one colour on each side.
        std::size_t split = box.begin + 1;
        for (qint64 seen = colours[box.begin].count; split < box.end - 1 && seen * 2 < total;
             ++split)
            seen += colours[split].count;
        Box low{box.begin, split};
        Box high{split, box.end};
        low.measure(colours);
        high.measure(colours);
        *worst = low;
        boxes.push_back(high);
    }

    std::vector<QRgb> palette;
    for (const Box& box : boxes) {
        double sum[3] = {0, 0, 0};
        double count = 0;
        for (std::size_t i = box.begin; i < box.end; ++i) {
            for (int a = 0; a < 3; ++a)
                sum[a] += double(colours[i].channel[a]) * colours[i].count;
            count += colours[i].count;
        }
        palette.push_back(
            qRgb(qRound(sum[0] / count), qRound(sum[1] / count), qRound(sum[2] / count)));
    }
    return palette;
}

// The nearest palette entry of each colour, found once per colour asked for.
class NearestEntry
{
public:
    explicit NearestEntry(const std::vector<QRgb>& palette)
        : m_palette(palette), m_cache(1 << 24, -1)
    {
    }

    int operator()(int r, int g, int b)
    {
        qint16& cached = m_cache[(r << 16) | (g << 8) | b];
        if (cached < 0) {
            int best = 0;
            int bestDistance = INT_MAX;
            for (std::size_t i = 0; i < m_palette.size(); ++i) {
                const int dr = qRed(m_palette[i]) - r;
                const int dg = qGreen(m_palette[i]) - g;
                const int db = qBlue(m_palette[i]) - b;
                const int distance = dr * dr + dg * dg + db * db;
                if (distance < bestDistance) {
                    bestDistance = distance;
                    best = int(i);
                }
            }
            cached = qint16(best);
        }
        return cached;
    }

private:
    const std::vector<QRgb>& m_palette;
    std::vector<qint16> m_cache;
};

} // namespace

QImage ditheredPalette(const QImage& picture, int colours)
{
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    const std::vector<QRgb> palette = medianCut(image, std::clamp(colours, 2, 256));
    NearestEntry nearest(palette);

    const int width = image.width();
    QImage result(image.size(), QImage::Format_Indexed8);
    result.setColorTable(QList<QRgb>(palette.begin(), palette.end()));
    // Error carried to this line and to the next, per pixel and channel, with one pixel of
    // margin on either side.
    std::vector<float> current((width + 2) * 3, 0.0f);
    std::vector<float> next((width + 2) * 3, 0.0f);
    for (int y = 0; y < image.height(); ++y) {
        const auto* source = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* target = result.scanLine(y);
        // Serpentine: every other line runs right to left, so the error does not drift one way.
        const bool forward = y % 2 == 0;
        const int step = forward ? 1 : -1;
        for (int i = 0; i < width; ++i) {
            const int x = forward ? i : width - 1 - i;
            const int at = (x + 1) * 3;
            float wanted[3];
            int rounded[3];
            for (int a = 0; a < 3; ++a) {
                wanted[a] = float(channelOf(source[x], a)) + current[at + a];
                rounded[a] = std::clamp(int(std::lround(wanted[a])), 0, 255);
            }
            const int entry = nearest(rounded[0], rounded[1], rounded[2]);
            target[x] = uchar(entry);
            for (int a = 0; a < 3; ++a) {
                const float error = wanted[a] - float(channelOf(palette[entry], a));
                current[at + step * 3 + a] += error * 7.0f / 16.0f;
                next[at - step * 3 + a] += error * 3.0f / 16.0f;
                next[at + a] += error * 5.0f / 16.0f;
                next[at + step * 3 + a] += error * 1.0f / 16.0f;
            }
        }
        std::swap(current, next);
        std::fill(next.begin(), next.end(), 0.0f);
    }
    return result;
}

} // namespace tevo
