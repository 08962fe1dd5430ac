#include "shell/MainMenu.h"

#include "support/Fakes.h"

#include <gtest/gtest.h>

namespace tevo {
namespace {

// Menu entries and buttons chosen through the main menu: forward entries do what their button
// does, and greyed controls, buttons or submenus stop the command before anything happens.
TEST(CommandDispatch, EntriesRunTheirCatalogueRowUnlessGreyed)
{
    const struct
    {
        const char* control;
        QStringList greyed;
        const char* at; // "AT" afterwards, nullptr when not written
        const char* yxq;
        QStringList started;
        int exits;
        int beeps;
    } cases[] = {
        {"EDVY", {}, "工單作業", "A", {"E2.exe"}, 1, 0},
        {"EDVY", {"Command1"}, nullptr, "Z", {}, 0, 0},
        {"EDVY", {"DC222R"}, nullptr, "Z", {}, 0, 0},
        {"E2VE", {"DC222R"}, nullptr, "Z", {}, 0, 0},
        {"E2VE", {"uu2r"}, nullptr, "Z", {}, 0, 0},
        {"E2VE", {"Command1"}, "工單作業", "B", {"E2.exe"}, 1, 0},
        {"uugd", {}, "結帳登記", "Z", {"GD.exe"}, 1, 0},
        {"uutv", {}, "營業查詢", "A", {"uut.exe"}, 1, 1},
        {"RCZD", {}, "進貨付款", "A", {"ZD.exe"}, 1, 0},
        {"XD", {}, nullptr, "Z", {"GARVO.exe"}, 1, 0},
        {"XD", {"Command7"}, nullptr, "Z", {}, 0, 0},
        {"qmg2", {}, nullptr, "Z", {"QMG.exe"}, 0, 0},
        {"ES", {}, nullptr, "Z", {}, 0, 0},
        {"DC222R", {}, nullptr, "Z", {}, 0, 0},
    };
    for (const auto& row : cases) {
        test::FakePlatform fp;
        test::FakeView view;
        MainMenu menu(fp.platform, view);
        const QString section = fp.workingDirectory.path;
        fp.store.set("kelpan", section, "YXQ", "Z");
        for (const QString& name : row.greyed)
            view.setControlEnabled(name, false);

        menu.trigger(QString::fromLatin1(row.control));

        const QString context =
            QString::fromLatin1(row.control) + " greyed " + row.greyed.join(',');
        EXPECT_EQ(fp.store.get("kelpan", section, "AT"),
                  row.at ? std::optional(QString::fromUtf8(row.at)) : std::nullopt)
            << context.toStdString();
        EXPECT_EQ(fp.store.get("kelpan", section, "YXQ"), QString::fromLatin1(row.yxq))
            << context.toStdString();
        EXPECT_EQ(fp.processes.started, row.started) << context.toStdString();
        EXPECT_EQ(fp.exit.count, row.exits) << context.toStdString();
        EXPECT_EQ(fp.beeper.count, row.beeps) << context.toStdString();
    }
}

} // namespace
} // namespace tevo
