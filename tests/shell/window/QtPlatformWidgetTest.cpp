// The Qt faces of the platform's user-interface services: message box, busy pointer, fonts.

#include "core/ProgramTitle.h"
#include "platform/qt/QtBusyCursor.h"
#include "platform/qt/QtMessageBox.h"
#include "shell/window/UiFonts.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace tevo;

namespace {

struct SeenBox
{
    QString title;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::Icon icon = QMessageBox::Information;
    QStringList buttons;
    bool modal = false;
};

// Shows `text` with the message box and records what the user saw, then presses OK.
SeenBox showAndAnswer(QtMessageBox& messages, const QString& text)
{
    SeenBox seen;
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.format = box->textFormat();
        seen.icon = box->icon();
        seen.modal = box->isModal();
        for (QAbstractButton* button : box->buttons())
            seen.buttons.append(button->text());
        QTest::keyClick(box, Qt::Key_Return);
    });
    messages.show(text);
    return seen;
}

} // namespace

class QtPlatformWidgetTest : public QObject
{
    Q_OBJECT
private slots:
    void messageBoxHasTheProgramTitleOneButtonAndPlainText()
    {
        QWidget window;
        window.show();
        QtMessageBox messages(programTitle());
        messages.setParentWindow(&window);
        const QString rows[] = {
            QStringLiteral("此功能無效，請聯絡程式設計人員"),
            QStringLiteral("<b>網路無法連線</b> & <a href=\"x\">link</a>"),
            QStringLiteral("第一行\n第二行"),
        };
        for (const QString& text : rows) {
            const SeenBox seen = showAndAnswer(messages, text);
            QVERIFY2(seen.title == QStringLiteral("Tevo 保養廠管理系統(主目錄)"), qPrintable(text));
            QVERIFY2(seen.text == text, qPrintable(text));
            QVERIFY2(seen.format == Qt::PlainText, qPrintable(text));
            QVERIFY2(seen.icon == QMessageBox::NoIcon, qPrintable(text));
            QVERIFY2(seen.buttons.size() == 1, qPrintable(text));
            QVERIFY2(seen.modal, qPrintable(text));
        }
        // Without a window of its own the box still shows and returns.
        QtMessageBox alone(programTitle());
        QCOMPARE(showAndAnswer(alone, QStringLiteral("x")).text, QStringLiteral("x"));
    }

    void busyCursorIsBalanced()
    {
        QVERIFY(!QApplication::overrideCursor());
        {
            QtBusyCursor cursor;
            struct Step
            {
                bool busy;
                bool expectWait;
            };
            // Repeated calls change nothing; a restore without a set pops nothing.
            const Step steps[] = {{false, false}, {true, true},   {true, true},
                                  {false, false}, {false, false}, {true, true}};
            int i = 0;
            for (const Step& step : steps) {
                cursor.setBusy(step.busy);
                const QCursor* current = QApplication::overrideCursor();
                QVERIFY2((current && current->shape() == Qt::WaitCursor) == step.expectWait,
                         qPrintable(QString::number(i)));
                QVERIFY2(cursor.isBusy() == step.busy, qPrintable(QString::number(i)));
                ++i;
            }
        }
        // Destroyed while busy: the pointer is restored.
        QVERIFY(!QApplication::overrideCursor());
    }

    void mingFontIsInstalledAndFirst()
    {
        const QString installed = UiFonts::installedMingFamily();
        QVERIFY2(!installed.isEmpty(), "install fonts-arphic-uming");
        QVERIFY(UiFonts::mingFamilies().contains(installed));
        const QFont ming = UiFonts::ming(9.75, true);
        QCOMPARE(ming.families().first(), installed);
        QCOMPARE(ming.families().size(), 3);
        QVERIFY(ming.bold());
        QCOMPARE(QFontInfo(ming).family(), installed);
        const QFont sans = UiFonts::sansSerif(9.75);
        QCOMPARE(sans.families().first(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(sans.families().at(1), installed);
        UiFonts::applyToApplication();
        QCOMPARE(QApplication::font().families().first(), installed);
    }
};

QTEST_MAIN(QtPlatformWidgetTest)
#include "QtPlatformWidgetTest.moc"
