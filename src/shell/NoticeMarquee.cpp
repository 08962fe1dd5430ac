#include "shell/NoticeMarquee.h"

#include "core/MainMenuView.h"
#include "core/NumericText.h"
#include "core/SettingsApplications.h"

#include <limits>

namespace tevo {

namespace {

// Longest notice shown, in UTF-16 units. The line scrolls ten characters a second, so a
// thousand take well over a minute to pass; a longer stored text (a damaged value, an error
// page stored as notice) would only make every tick lay out a giant label.
constexpr qsizetype kMaxNoticeLength = 1000;

// The notice as one line of plain text: line breaks, tabs and other control characters
// become blanks, so that they neither break the line nor show as boxes.
QString asOneLine(QString text)
{
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = u' ';
    }
    return text;
}

// At most kMaxNoticeLength units, never cutting a character in two, without blanks at the end.
QString capped(const QString& text)
{
    if (text.size() <= kMaxNoticeLength)
        return text;
    qsizetype length = kMaxNoticeLength;
    if (text[length - 1].isHighSurrogate())
        --length;
    return trimSpaces(text.left(length));
}

} // namespace

NoticeMarquee::NoticeMarquee(Platform& platform, MainMenuView& view)
    : m_platform(platform), m_view(view)
{
}

void NoticeMarquee::refresh()
{
    // The thank-you line unless a notice is stored: set once, since every text set is measured.
    const QString stored = m_platform.store.text(kOnlineApplication,
                                                 m_platform.workingDirectory.current(), kNoticeKey);
    const QString notice = capped(trimSpaces(asOneLine(stored)));
    const QString shown = notice.isEmpty() ? kThankYouLine : notice;
    m_view.setNoticeText(shown);
    m_view.setNoticeName(shown);
}

// Pads the line with blanks so that, scrolling, the notice comes round again once it has
// crossed the window: the text gets as many characters as a third of its average character
// width fits into the client width less 200 twips.
void NoticeMarquee::resized()
{
    refresh();
    QString text = m_view.noticeText();
    const double width = m_view.noticeTextWidthTwips();
    const qsizetype length = text.size();
    const double client = m_view.clientWidthTwips();

    // Without a width or a character nothing says how many blanks fit.
    if (length > 0 && width > 0) {
        const double third = width / static_cast<double>(3 * length);
        const double fill = (client - 200) / third - static_cast<double>(length);
        // The fill count is a 16-bit number: a window too wide for it gets the largest count,
        // which still spans it, rather than a string as long as the window is absurd.
        const qint16 blanks = fill >= std::numeric_limits<qint16>::max()
                                  ? std::numeric_limits<qint16>::max()
                                  : roundToInt16(fill).value_or(0);
        if (blanks > 0) {
            text.append(QString(blanks, u' '));
            m_view.setNoticeText(text);
        }
    }
    m_view.setNoticeTimerEnabled(true);
}

// Moves the first character to the end; a character outside the basic plane moves whole.
void NoticeMarquee::tick()
{
    const QString text = m_view.noticeText();
    if (text.size() < 2)
        return;
    const qsizetype first = text[0].isHighSurrogate() && text[1].isLowSurrogate() ? 2 : 1;
    m_view.setNoticeText(text.mid(first) + text.left(first));
}

} // namespace tevo
