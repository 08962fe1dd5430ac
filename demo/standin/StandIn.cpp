// A stand-in for the suite's module programs and its entry program, for the demo installation
// and the end-to-end tests. Started under a module's name ("E2.exe") it shows the hand-off keys
// it received; started as "GARVO.exe" it plays the login program. Either way it can start the
// main menu again. With TEVO_STANDIN_RECORD=FILE set it only appends one line about its start
// to FILE and exits, so that tests need no window.

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <QWidget>

#include <unistd.h>

#include <cstdio>
#include <optional>

namespace {

const QString kApp = QStringLiteral("kelpan");
const QString kEntryProgram = QStringLiteral("GARVO.exe");
const QString kMissingMark = QStringLiteral("(missing)");

// Where the stand-in was started from, as invoked (a symlink's folder, not its target's).
QString g_invokedDir;

// The working directory's bytes exactly as the system reports them.
QByteArray nativeWorkingDirectory()
{
    char buffer[4096];
    if (!getcwd(buffer, sizeof buffer))
        return QFile::encodeName(QDir::currentPath());
    return QByteArray(buffer);
}

// The working directory as text, for showing it. The store tool reads the section of the
// hand-off keys from the working directory itself, as the menu does, also where the folder's
// name is not UTF-8.
QString workingDirectory()
{
    return QFile::decodeName(nativeWorkingDirectory());
}

// A program of the suite: beside the stand-in as invoked, in the working directory, where the
// build put it, and last on PATH.
QString findProgram(const QString& name, const char* builtPath)
{
    const QString built = QString::fromUtf8(builtPath);
    for (const QString& candidate :
         {g_invokedDir.isEmpty() ? QString() : QDir(g_invokedDir).filePath(name),
          QDir(QStringLiteral(".")).filePath(name), built}) {
        const QFileInfo file(candidate);
        if (!candidate.isEmpty() && file.isFile() && file.isExecutable())
            return candidate;
    }
    const QString onPath = QStandardPaths::findExecutable(name);
    return onPath.isEmpty() ? built : onPath;
}

// The store tool: $TEVO_SETTINGS when set (the tests name theirs), else found as above.
QString settingsTool()
{
    const QString given = qEnvironmentVariable("TEVO_SETTINGS");
    return given.isEmpty()
               ? findProgram(QStringLiteral("tevo-settings"), TEVO_STANDIN_SETTINGS_TOOL)
               : given;
}

// A value read from the store: missing (never written), a text, or an error message.
struct StoredValue
{
    std::optional<QString> text;
    QString error;
};

StoredValue runSettingsTool(const QStringList& arguments)
{
    QProcess tool;
    tool.start(settingsTool(), arguments);
    if (!tool.waitForStarted(10000))
        return {std::nullopt,
                QStringLiteral("無法啟動 %1：%2").arg(settingsTool(), tool.errorString())};
    if (!tool.waitForFinished(20000)) {
        tool.kill();
        tool.waitForFinished(1000);
        return {std::nullopt, QStringLiteral("%1 沒有回應").arg(settingsTool())};
    }
    if (tool.exitStatus() != QProcess::NormalExit)
        return {std::nullopt, QStringLiteral("%1 異常結束").arg(settingsTool())};
    QString out = QString::fromUtf8(tool.readAllStandardOutput());
    if (tool.exitCode() == 0) {
        if (out.endsWith(QLatin1Char('\n')))
            out.chop(1);
        return {out, QString()};
    }
    if (tool.exitCode() == 1 && arguments.value(0) == QLatin1String("get"))
        return {std::nullopt, QString()};
    const QString message = QString::fromUtf8(tool.readAllStandardError()).trimmed();
    return {std::nullopt,
            message.isEmpty()
                ? QStringLiteral("%1 結束碼 %2").arg(settingsTool()).arg(tool.exitCode())
                : message};
}

StoredValue readKey(const QString& key)
{
    return runSettingsTool({QStringLiteral("get"), kApp, key});
}

QString writeKey(const QString& key, const QString& value)
{
    const StoredValue r = runSettingsTool({QStringLiteral("set"), kApp, key, value});
    return r.error;
}

// One field of a record line: tabs, line breaks and backslashes escaped so that a line stays a
// line whatever the store holds.
QString recordField(const StoredValue& v)
{
    if (!v.error.isEmpty())
        return QStringLiteral("(error: %1)").arg(v.error);
    if (!v.text)
        return kMissingMark;
    QString s = *v.text;
    s.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    s.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    s.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    s.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    return s;
}

// name, AT, YXQ, ATU, working directory (its bytes as they are), argument count (argv[0]
// included), and the moment the stand-in started in milliseconds since the epoch (for measuring
// how long a start took).
int record(const QString& file, const QString& name, int argc, qint64 startedMs)
{
    const QByteArrayList fields{name.toUtf8(),
                                recordField(readKey(QStringLiteral("AT"))).toUtf8(),
                                recordField(readKey(QStringLiteral("YXQ"))).toUtf8(),
                                recordField(readKey(QStringLiteral("ATU"))).toUtf8(),
                                nativeWorkingDirectory(),
                                QByteArray::number(argc),
                                QByteArray::number(startedMs)};
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Append)) {
        std::fprintf(stderr, "%s: cannot write %s: %s\n", qPrintable(name), qPrintable(file),
                     qPrintable(out.errorString()));
        return 3;
    }
    // One write per line: several stand-ins may append to the same file.
    const QByteArray line = fields.join('\t') + '\n';
    if (out.write(line) != line.size()) {
        std::fprintf(stderr, "%s: cannot write %s\n", qPrintable(name), qPrintable(file));
        return 3;
    }
    return 0;
}

QString shown(const StoredValue& v)
{
    if (!v.error.isEmpty())
        return QStringLiteral("（讀取失敗：%1）").arg(v.error);
    if (!v.text)
        return QStringLiteral("（未寫入）");
    if (v.text->isEmpty())
        return QStringLiteral("（空白）");
    return *v.text;
}

// Starts the main menu again in this working directory and reports whether it started.
bool startMenu(QWidget* parent)
{
    const QString menu = findProgram(QStringLiteral("tevo-menu"), TEVO_STANDIN_MENU);
    // In this working directory: inherited, whatever its name.
    if (QProcess::startDetached(menu, {}))
        return true;
    QMessageBox::warning(parent, QStringLiteral("替身程式"),
                         QStringLiteral("無法啟動主目錄 %1").arg(menu));
    return false;
}

QLabel* plainLabel(const QString& text)
{
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// A module: shows the keys the main menu handed over.
QWidget* moduleWindow(const QString& name)
{
    const StoredValue at = readKey(QStringLiteral("AT"));
    const StoredValue yxq = readKey(QStringLiteral("YXQ"));
    const StoredValue atu = readKey(QStringLiteral("ATU"));

    auto* window = new QWidget;
    window->setWindowTitle(
        QStringLiteral("%1  AT=%2  YXQ=%3  ATU=%4").arg(name, shown(at), shown(yxq), shown(atu)));
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(
        plainLabel(QStringLiteral("替身程式 %1（示範用，不是本系統的模組）").arg(name)));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("AT"), plainLabel(shown(at)));
    form->addRow(QStringLiteral("YXQ"), plainLabel(shown(yxq)));
    form->addRow(QStringLiteral("ATU"), plainLabel(shown(atu)));
    form->addRow(QStringLiteral("工作目錄"), plainLabel(workingDirectory()));
    layout->addLayout(form);
    auto* back = new QPushButton(QStringLiteral("回主目錄"));
    back->setDefault(true);
    back->setAutoDefault(true);
    layout->addWidget(back);
    QObject::connect(back, &QPushButton::clicked, window, [window] {
        if (startMenu(window))
            window->close();
    });
    back->setFocus();
    return window;
}

// The entry program: the user "logs in" at a chosen level, which it writes as "AAA" like the
// real entry program writes the login context, and the main menu starts.
QWidget* entryWindow(const QString& name)
{
    const StoredValue user = readKey(QStringLiteral("VA"));
    const StoredValue level = readKey(QStringLiteral("AAA"));

    auto* window = new QWidget;
    window->setWindowTitle(QStringLiteral("%1  登入").arg(name));
    auto* layout = new QVBoxLayout(window);
    auto* heading = plainLabel(QStringLiteral("登入"));
    QFont big = heading->font();
    big.setPointSize(big.pointSize() * 2);
    heading->setFont(big);
    layout->addWidget(heading);
    layout->addWidget(plainLabel(QStringLiteral("替身程式 %1（示範用）").arg(name)));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("使用者"), plainLabel(shown(user)));
    auto* levelBox = new QSpinBox;
    levelBox->setRange(1, 7);
    levelBox->setValue(level.text ? level.text->trimmed().toInt() : 1);
    form->addRow(QStringLiteral("權限等級"), levelBox);
    layout->addLayout(form);
    auto* login = new QPushButton(QStringLiteral("登入"));
    login->setDefault(true);
    login->setAutoDefault(true);
    layout->addWidget(login);
    QObject::connect(login, &QPushButton::clicked, window, [window, levelBox] {
        const QString error = writeKey(QStringLiteral("AAA"), QString::number(levelBox->value()));
        if (!error.isEmpty()) {
            QMessageBox::warning(window, QStringLiteral("替身程式"),
                                 QStringLiteral("無法寫入登入資料：%1").arg(error));
            return;
        }
        if (startMenu(window))
            window->close();
    });
    login->setFocus();
    return window;
}

} // namespace

int main(int argc, char* argv[])
{
    const qint64 startedMs = QDateTime::currentMSecsSinceEpoch();
    const QString invoked = QFile::decodeName(argv[0]);
    const QString name = QFileInfo(invoked).fileName();
    if (invoked.contains(QLatin1Char('/')))
        g_invokedDir = QFileInfo(invoked).path();

    const QByteArray recordFile = qgetenv("TEVO_STANDIN_RECORD");
    if (!recordFile.isEmpty()) {
        QCoreApplication app(argc, argv);
        return record(QFile::decodeName(recordFile), name, argc, startedMs);
    }

    QApplication app(argc, argv);
    QWidget* window = name.compare(kEntryProgram, Qt::CaseInsensitive) == 0 ? entryWindow(name)
                                                                            : moduleWindow(name);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->resize(520, window->sizeHint().height());
    window->show();
    return app.exec();
}
