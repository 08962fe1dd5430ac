#include "shell/NoticeMarquee.h"

#include "support/Fakes.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace tevo {
namespace {

using test::FakePlatform;
using test::FakeView;

const QString kThankYou = QStringLiteral("Korvel科技股份有限公司感謝您使用本系統"); // 22 characters

void storeNotice(FakePlatform& fake, const QString& notice)
{
    fake.store.set(QStringLiteral("EEYX"), fake.workingDirectory.path, QStringLiteral("WE"),
                   notice);
}

// The fake view measures every character 240 twips wide, so a third of a character is 80
// twips: the line holds (client width - 200) / 80 characters, blanks included.
TEST(NoticeMarquee, ResizeFillsTheLineToTheWindowWidth)
{
    const struct
    {
        const char* name;
        std::optional<QString> stored;
        double clientWidth;
        QString shown;
        int blanks;
    } rows[] = {
        {"no notice stored", std::nullopt, 11880, kThankYou, 124},
        {"empty notice", QString(), 11880, kThankYou, 124},
        {"notice of blanks", QStringLiteral("     "), 11880, kThankYou, 124},
        {"blanks around the notice", QStringLiteral("  系統維護  "), 11880,
         QStringLiteral("系統維護"), 142},
        {"line breaks and tabs flattened", QStringLiteral("第一行\r\n第二行\t完"), 11880,
         QStringLiteral("第一行  第二行 完"), 136},
        {"other control characters flattened",
         QStringLiteral("A") + QChar(0x2028) + QChar(0x85) + QChar(0x7f) + QChar(0) + u'B', 11880,
         QStringLiteral("A    B"), 140},
        {"only line breaks", QStringLiteral("\r\n\r\n"), 11880, kThankYou, 124},
        {"markup kept as written", QStringLiteral("<b>停機</b>"), 11880,
         QStringLiteral("<b>停機</b>"), 137},
        {"half rounds up to even", std::nullopt, 8480, kThankYou, 82},   // 81.5
        {"half rounds down to even", std::nullopt, 8560, kThankYou, 82}, // 82.5
        {"just above a half", std::nullopt, 8561, kThankYou, 83},        // 82.5125
        {"client exactly 200", std::nullopt, 200, kThankYou, 0},
        {"client narrower than 200", std::nullopt, 120, kThankYou, 0},
        {"notice fills the line", QString(146, u'N'), 11880, QString(146, u'N'), 0},
        {"one blank short", QString(145, u'N'), 11880, QString(145, u'N'), 1},
        {"notice wider than the line", QString(400, u'N'), 11880, QString(400, u'N'), 0},
        {"window too wide for the count", std::nullopt, 1e9, kThankYou, 32767},
        {"infinite width", std::nullopt, INFINITY, kThankYou, 32767},
        {"width not a number", std::nullopt, NAN, kThankYou, 0},
    };
    for (const auto& row : rows) {
        FakePlatform fake;
        FakeView view;
        view.clientWidth = row.clientWidth;
        view.noticeTimer = false;
        view.notice = QStringLiteral("old");
        if (row.stored)
            storeNotice(fake, *row.stored);

        NoticeMarquee(fake.platform, view).resized();

        EXPECT_EQ(view.notice, row.shown + QString(row.blanks, u' ')) << row.name;
        // The name a screen reader reads is the notice alone, without the blanks.
        EXPECT_EQ(view.noticeName, row.shown) << row.name;
        EXPECT_TRUE(view.noticeTimer) << row.name;
    }
}

TEST(NoticeMarquee, UnmeasurableTextGetsNoBlanks)
{
    FakePlatform fake;
    FakeView view;
    view.charWidthTwips = 0;
    NoticeMarquee(fake.platform, view).resized();
    EXPECT_EQ(view.notice, kThankYou);
    EXPECT_TRUE(view.noticeTimer);
}

TEST(NoticeMarquee, HugeNoticeIsCutToAShortLine)
{
    FakePlatform fake;
    FakeView view;
    QString notice = QStringLiteral("  重要通告：") + QString(1 << 20, u'字');
    storeNotice(fake, notice);
    NoticeMarquee(fake.platform, view).resized();
    EXPECT_EQ(view.notice.size(), 1000);
    EXPECT_TRUE(view.notice.startsWith(QStringLiteral("重要通告：字字")));

    // A character outside the basic plane is never cut in two.
    QString emoji = QString(999, u'x') + QString::fromUtf8("😀😀");
    storeNotice(fake, emoji);
    NoticeMarquee(fake.platform, view).refresh();
    EXPECT_EQ(view.notice, QString(999, u'x'));
}

TEST(NoticeMarquee, RepeatedResizesGiveTheSameLine)
{
    FakePlatform fake;
    FakeView view;
    storeNotice(fake, QStringLiteral(" 新版已推出 "));
    NoticeMarquee marquee(fake.platform, view);
    marquee.resized();
    const QString once = view.notice;
    marquee.tick();
    marquee.tick();
    marquee.resized();
    marquee.resized();
    EXPECT_EQ(view.notice, once);
    EXPECT_EQ(once, QStringLiteral("新版已推出") + QString(141, u' '));

    // A notice stored while scrolling shows at the next resize, not at a tick.
    storeNotice(fake, QStringLiteral("停機公告"));
    marquee.tick();
    EXPECT_EQ(view.notice, once.mid(1) + once.left(1));
    marquee.resized();
    EXPECT_TRUE(view.notice.startsWith(QStringLiteral("停機公告 ")));
}

TEST(NoticeMarquee, TickMovesTheFirstCharacterToTheEnd)
{
    const struct
    {
        QString before;
        QString after;
    } rows[] = {
        {QStringLiteral("通告  "), QStringLiteral("告  通")},
        {QStringLiteral("  通告"), QStringLiteral(" 通告 ")},
        {QStringLiteral("a"), QStringLiteral("a")},
        {QString(), QString()},
        {QString::fromUtf8("😀ab"), QString::fromUtf8("ab😀")},
    };
    for (const auto& row : rows) {
        FakePlatform fake;
        FakeView view;
        view.notice = row.before;
        NoticeMarquee(fake.platform, view).tick();
        EXPECT_EQ(view.notice, row.after) << row.before.toStdString();
    }
}

} // namespace
} // namespace tevo
