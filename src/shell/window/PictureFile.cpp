#include "shell/window/PictureFile.h"

#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tevo {

namespace {

// A picture of a 3840 x 2160 screen is always accepted, whatever the area.
constexpr qint64 kScreenPixels = qint64(3840) * 2160;
// Bytes a decoder needs for a pixel of the images it makes for the window (32-bit colour).
constexpr qint64 kBytesPerPixel = 4;

qint64 pixels(QSize size)
{
    return qint64(size.width()) * size.height();
}

// Whether `file` is a sequential JPEG whose first scan holds every colour component. Only such
// a JPEG is decoded a band of rows at a time: the decoder keeps the whole picture's
// coefficients (two bytes a sample, outside any image allocation) for a progressive JPEG and
// for one whose components come in separate scans. Reads the markers up to the first scan from
// the start of `in`.
bool isSingleScanJpeg(QIODevice& in)
{
    if (!in.seek(0))
        return false;
    const auto byte = [&in]() -> int {
        char c;
        return in.getChar(&c) ? static_cast<unsigned char>(c) : -1;
    };
    if (byte() != 0xFF || byte() != 0xD8)
        return false;
    int frameComponents = 0;
    // Cameras put a few application segments (Exif, colour profile) before the frame.
    for (int segment = 0; segment < 256; ++segment) {
        int marker = byte();
        if (marker != 0xFF)
            return false;
        while (marker == 0xFF) // fill bytes
            marker = byte();
        if (marker < 0)
            return false;
        const int high = byte();
        const int low = byte();
        if (high < 0 || low < 0 || (high << 8 | low) < 2)
            return false;
        const qint64 next = in.pos() + (high << 8 | low) - 2;
        if (marker == 0xC0 || marker == 0xC1 || marker == 0xC9) { // sequential frames
            in.skip(5);                                           // precision, height, width
            frameComponents = byte();
        } else if (marker >= 0xC2 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                   marker != 0xCC) {
            return false; // progressive, lossless or hierarchical
        } else if (marker == 0xDA) {
            return frameComponents > 0 && byte() == frameComponents;
        }
        if (!in.seek(next))
            return false;
    }
    return false;
}

// Qt's limit on the memory of one decoded image, set for one read and restored after it.
class AllocationLimit
{
public:
    explicit AllocationLimit(qint64 pixels) : m_previous(QImageReader::allocationLimit())
    {
        const qint64 megabytes = (pixels * kBytesPerPixel + (1 << 20) - 1) >> 20;
        QImageReader::setAllocationLimit(int(megabytes) + 1);
    }
    ~AllocationLimit() { QImageReader::setAllocationLimit(m_previous); }
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;

private:
    int m_previous;
};

// A descriptor of a regular file opened for reading, or -1. The open never waits (a FIFO
// without a writer would block it for good, a device may never answer) and the type is checked
// on the descriptor that is then read, so that nothing put in the file's place meanwhile is.
class RegularFile
{
public:
    explicit RegularFile(const QByteArray& path)
    {
        do {
            m_fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        } while (m_fd < 0 && errno == EINTR);
        struct stat info;
        if (m_fd >= 0 && (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode))) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~RegularFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    int descriptor() const { return m_fd; }

private:
    int m_fd = -1;
};

} // namespace

qint64 wholeDecodePixels(const PictureArea& area)
{
    if (area.size.isEmpty())
        return kMaxPicturePixels;
    return std::clamp(64 * pixels(area.size), kScreenPixels, kMaxPicturePixels);
}

std::optional<QImage> readPicture(const QByteArray& file, const PictureArea& area)
{
    if (file.isEmpty())
        return std::nullopt;
    const RegularFile regular(file);
    QFile in;
    if (regular.descriptor() < 0 ||
        !in.open(regular.descriptor(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return std::nullopt;
    const bool singleScanJpeg = isSingleScanJpeg(in);
    if (!in.seek(0))
        return std::nullopt;
    QImageReader reader(&in);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (!reader.canRead())
        return std::nullopt;
    const qint64 limit = wholeDecodePixels(area);
    const bool scaledWhileDecoding =
        !area.size.isEmpty() && reader.format() == "jpeg" && singleScanJpeg;
    if (size.isValid() && pixels(size) > (scaledWhileDecoding ? kMaxScaledJpegPixels : limit))
        return std::nullopt;
    // A picture of a few times the area's pixels is cheap enough to read whole.
    if (size.isValid() && !area.size.isEmpty() && pixels(size) > 4 * pixels(area.size)) {
        if (area.fit == PictureArea::Fit::Stretched)
            reader.setScaledSize(size.boundedTo(area.size));
        else
            reader.setClipRect(QRect(QPoint(0, 0), size.boundedTo(area.size)));
    }
    // A JPEG decoded at a reduced size is first made at no less than an eighth of its width
    // and height (the decoder scales by eighths), well within this limit.
    const AllocationLimit allocationLimit(limit);
    QImage image = reader.read();
    if (image.isNull() || pixels(image.size()) > limit)
        return std::nullopt;
    return image;
}

} // namespace tevo
