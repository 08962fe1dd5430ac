#pragma once

#include <QHash>
#include <QString>

#include <functional>

namespace tevo {

// The width of the notice line's text, measured as few times as the marquee allows. Measuring
// a text means laying it out in the line's font; before its glyphs have been drawn once, that
// loads every glyph from the font file, which made the line's measurements the largest part of
// the window's start-up, and every scrolling step measured the whole line again.
//
// A text is measured when it has not been measured before (the marquee sets the same few texts
// again at every resize). Appending blanks to the current text (the marquee's fill) is worked
// out from its width instead: it adds the width of that many blanks, which holds because the
// line's text is laid out without kerning across blanks. A scrolling step never comes here:
// NoticeLabel recognises it and the label keeps its width.
class NoticeWidth
{
public:
    explicit NoticeWidth(std::function<int(const QString&)> measure);

    // The width of `text`, remembering it as the current text.
    int widthOf(const QString& text);

private:
    std::function<int(const QString&)> m_measure;
    // The texts measured so far, at most kMeasuredLimit of them.
    QHash<QString, int> m_measured;
    QString m_text;
    int m_width = 0;
    bool m_known = false;
    // Width of one blank, measured once.
    int m_blank = -1;
};

} // namespace tevo
