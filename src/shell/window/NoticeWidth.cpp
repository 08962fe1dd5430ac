#include "shell/window/NoticeWidth.h"

namespace tevo {

namespace {

// The number of blanks `text` adds to `previous` at its end, or 0.
qsizetype appendedBlanks(QStringView previous, QStringView text)
{
    if (text.size() <= previous.size() || !text.startsWith(previous))
        return 0;
    const QStringView added = text.sliced(previous.size());
    for (QChar c : added) {
        if (c != u' ')
            return 0;
    }
    return added.size();
}

constexpr qsizetype kMeasuredLimit = 16;

} // namespace

NoticeWidth::NoticeWidth(std::function<int(const QString&)> measure) : m_measure(std::move(measure))
{
}

int NoticeWidth::widthOf(const QString& text)
{
    if (m_known && text == m_text)
        return m_width;
    int width;
    if (const qsizetype blanks = m_known ? appendedBlanks(m_text, text) : 0; blanks > 0) {
        if (m_blank < 0)
            m_blank = m_measure(QStringLiteral(" "));
        width = m_width + int(blanks) * m_blank;
    } else if (const auto known = m_measured.constFind(text); known != m_measured.cend()) {
        width = *known;
    } else {
        width = m_measure(text);
        if (m_measured.size() >= kMeasuredLimit)
            m_measured.clear();
        m_measured.insert(text, width);
    }
    m_text = text;
    m_width = width;
    m_known = true;
    return width;
}

} // namespace tevo
