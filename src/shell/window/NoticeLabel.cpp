#include "shell/window/NoticeLabel.h"

#include <QEvent>
#include <QGlyphRun>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTextLine>

#include <algorithm>
#include <climits>
#include <cmath>

namespace tevo {

namespace {

// The units that `text` has moved from the front of `base` to its end, if it is `base` scrolled
// by one more character than `offset` says; otherwise -1.
qsizetype nextOffset(const QString& base, qsizetype offset, const QString& text)
{
    const qsizetype size = base.size();
    if (text.size() != size || size < 2)
        return -1;
    for (qsizetype step : {1, 2}) {
        const qsizetype next = (offset + step) % size;
        const QStringView view(base);
        if (QStringView(text).first(size - next) == view.sliced(next) &&
            QStringView(text).sliced(size - next) == view.first(next))
            return next;
    }
    return -1;
}

// Text the shifted layout paints as the label would: one line, nothing of it right to left.
bool isLeftToRightLine(const QString& text)
{
    for (const char32_t c : text.toUcs4()) {
        switch (QChar::direction(c)) {
        case QChar::DirR:
        case QChar::DirAL:
        case QChar::DirRLE:
        case QChar::DirRLO:
        case QChar::DirRLI:
        case QChar::DirFSI:
            return false;
        default:
            break;
        }
        if (c == U'\t' || c == U'\n' || c == QChar::LineSeparator)
            return false;
    }
    return true;
}

} // namespace

NoticeLabel::NoticeLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::black);
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);
    setContentsMargins(0, 0, 0, 0);
}

NoticeLabel::~NoticeLabel() = default;

bool NoticeLabel::setNotice(const QString& text)
{
    if (text == QLabel::text())
        return false;
    const qsizetype next = nextOffset(m_base, m_offset, text);
    if (next < 0) {
        m_base = text;
        m_offset = 0;
        m_layout.reset();
        m_leftToRightLine = isLeftToRightLine(text);
        setText(text);
        return false;
    }
    // A step moves what is already on the screen left by the width of the characters moved
    // (a whole number of pixels), so only the strip that comes into view at the right is
    // painted, not the whole line ten times a second. Qt paints it all where the pixels cannot
    // be moved (the line covered by another control, say).
    const int moved = m_layout && paintsFromLayout() ? movedPixels(next) : -1;
    m_offset = next;
    setAttribute(Qt::WA_UpdatesDisabled, true); // the text, without a repaint of the whole line
    setText(text);
    setAttribute(Qt::WA_UpdatesDisabled, false);
    if (moved > 0) {
        scroll(-moved, 0);
        // Ink of the character that left at the front (a glyph reaches past its advance) was
        // moved along with the rest; what lies at the front is painted again.
        update(QRect(0, 0, fontMetrics().height(), height()));
    } else {
        update();
    }
    return true;
}

bool NoticeLabel::paintsFromLayout() const
{
    // What the shifted layout does not reproduce is left to the label: text with a right-to-left
    // part, tabs and line breaks, a frame or margin, the disabled look.
    return !m_base.isEmpty() && m_leftToRightLine && isEnabled() && frameWidth() == 0 &&
           margin() == 0 && indent() <= 0;
}

int NoticeLabel::movedPixels(qsizetype next) const
{
    // Past the end of the text the doubled layout goes on with its start.
    const qsizetype to = next > m_offset ? next : next + m_base.size();
    const qreal moved = m_cursorX[size_t(to)] - m_cursorX[size_t(m_offset)];
    return moved == std::floor(moved) ? int(moved) : -1;
}

void NoticeLabel::makeLayout()
{
    m_layout = std::make_unique<QTextLayout>(m_base + m_base, font());
    QTextOption option;
    option.setWrapMode(QTextOption::ManualWrap);
    option.setTextDirection(Qt::LeftToRight);
    m_layout->setTextOption(option);
    m_layout->setCacheEnabled(true);
    m_layout->beginLayout();
    QTextLine line = m_layout->createLine();
    line.setLineWidth(qreal(INT_MAX / 256));
    line.setPosition(QPointF(0, 0));
    m_layout->endLayout();
    // Every step and every paint asks where a character lies: looked up once here.
    m_cursorX.resize(size_t(2 * m_base.size() + 1));
    for (qsizetype i = 0; i <= 2 * m_base.size(); ++i)
        m_cursorX[size_t(i)] = line.cursorToX(int(i));
}

void NoticeLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        m_layout.reset();
    QLabel::changeEvent(event);
}

void NoticeLabel::paintEvent(QPaintEvent* event)
{
    if (!paintsFromLayout()) {
        QLabel::paintEvent(event);
        return;
    }
    // As the label draws plain text (QStyle::drawItemText, a single unwrapped line): the line
    // centred vertically in the contents, from their left edge, in the text colour.
    if (!m_layout)
        makeLayout();
    const QTextLine line = m_layout->lineAt(0);
    const QRect area = contentsRect();
    const qreal top = area.y() + (area.height() - (line.ascent() + line.descent())) / 2;
    const qreal shift = m_cursorX[size_t(m_offset)];

    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    painter.setPen(QPen(option.palette.brush(foregroundRole()), painter.pen().widthF()));
    // Only the glyphs of the shown text: the ink of a neighbour in the doubled layout (a bold
    // glyph reaches past its advance) would show at the line's ends. And of those only the ones
    // that reach into the parts to paint: the label is as wide as its text, most of a long
    // notice lies outside the window, where Qt does not paint, and a step paints two strips. A
    // glyph's ink stays within an em of its place, so the characters an em to either side of a
    // part are drawn too.
    const QPointF origin(area.x() - shift, top);
    const qreal em = fontMetrics().height();
    const auto first = m_cursorX.begin() + m_offset;
    const auto end = first + m_base.size();
    for (const QRect& part : event->region()) {
        const QRect dirty = part & area;
        // From the last character that starts before the part's left edge less an em to the
        // first that starts past its right edge and an em.
        const qreal left = dirty.left() - em - origin.x();
        const qreal right = dirty.right() + 1 + em - origin.x();
        const qsizetype from = std::max(
            m_offset, qsizetype(std::upper_bound(first, end, left) - m_cursorX.begin()) - 1);
        const qsizetype to = std::lower_bound(first, end, right) - m_cursorX.begin();
        if (to <= from)
            continue;
        painter.setClipRect(dirty);
        for (const QGlyphRun& run : line.glyphRuns(int(from), int(to - from)))
            painter.drawGlyphRun(origin, run);
    }
}

} // namespace tevo
