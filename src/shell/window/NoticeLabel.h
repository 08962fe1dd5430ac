#pragma once

#include <QLabel>
#include <QTextLayout>

#include <memory>
#include <vector>

namespace tevo {

// The notice line Label2: a plain-text label that paints a scrolling text from one layout.
// The marquee moves the first character of the text to the end ten times a second; a label
// would lay the whole line out again for every step. This one lays the unscrolled text out once,
// twice over, and paints each step as that layout shifted left by the characters moved so far:
// the same pixels as the label's own painting, since the line's glyphs sit on whole pixels. On
// the screen a step moves the pixels already there and paints only what comes into view (and
// the front, where ink of the character that left may remain). Any other text starts a new
// layout. Text with a right-to-left part is painted by the label itself.
class NoticeLabel : public QLabel
{
    Q_OBJECT
public:
    // Plain text (the notice comes from the vendor's server, never shown as markup) on one line,
    // white on black, without margins.
    explicit NoticeLabel(QWidget* parent = nullptr);
    ~NoticeLabel() override;

    // QLabel::setText, remembering whether `text` is the current one scrolled by a character.
    // True for such a scrolling step: the text's width has not changed.
    bool setNotice(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool paintsFromLayout() const;
    // How far the text moves on the screen from the current step to `next`, in whole pixels;
    // -1 if not a whole number.
    int movedPixels(qsizetype next) const;
    void makeLayout();

    QString m_base;                        // the text as last set other than by a scrolling step
    qsizetype m_offset = 0;                // UTF-16 units moved from the front of m_base to its end
    std::unique_ptr<QTextLayout> m_layout; // m_base twice, laid out on one line; made on demand
    std::vector<qreal> m_cursorX;          // where each character of m_layout starts
    bool m_leftToRightLine = true;         // m_base has no right-to-left part, tab or line break
};

} // namespace tevo
