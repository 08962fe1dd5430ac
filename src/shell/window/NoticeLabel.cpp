#include "shell/window/NoticeLabel.h"

#include <QEvent>
#include <QGlyphRun>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTextLine>

#include <climits>

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
    if (next >= 0) {
        m_offset = next;
    } else {
        m_base = text;
        m_offset = 0;
        m_layout.reset();
    }
    setText(text);
    return next >= 0;
}

void NoticeLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        m_layout.reset();
    QLabel::changeEvent(event);
}

void NoticeLabel::paintEvent(QPaintEvent* event)
{
    // What the shifted layout does not reproduce is left to the label: right-to-left text,
    // tabs and line breaks, a frame or margin, the disabled look.
    const QString& shown = text();
    if (m_base.isEmpty() || shown.isRightToLeft() || !isEnabled() || frameWidth() != 0 ||
        margin() != 0 || indent() > 0 || shown.contains(u'\t') || shown.contains(u'\n') ||
        shown.contains(QChar::LineSeparator)) {
        QLabel::paintEvent(event);
        return;
    }
    // As the label draws plain text (QStyle::drawItemText, a single unwrapped line): the line
    // centred vertically in the contents, from their left edge, in the text colour.
    if (!m_layout) {
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
    }
    const QTextLine line = m_layout->lineAt(0);
    const QRect area = contentsRect();
    const qreal top = area.y() + (area.height() - (line.ascent() + line.descent())) / 2;
    const qreal shift = line.cursorToX(int(m_offset));

    QPainter painter(this);
    painter.setClipRect(area, Qt::IntersectClip);
    QStyleOption option;
    option.initFrom(this);
    painter.setPen(QPen(option.palette.brush(foregroundRole()), painter.pen().widthF()));
    // Only the glyphs of the shown text: the ink of a neighbour in the doubled layout (a bold
    // glyph reaches past its advance) would show at the line's ends.
    const QPointF origin(area.x() - shift, top);
    for (const QGlyphRun& run : line.glyphRuns(int(m_offset), int(m_base.size())))
        painter.drawGlyphRun(origin, run);
}

} // namespace tevo
