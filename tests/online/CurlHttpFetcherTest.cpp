#include "online/CurlHttpFetcher.h"
#include "support/QtPrinters.h"

#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace tevo {
namespace {

// A local HTTP server with a path for each kind of reply the menu must survive; unknown paths
// echo the request target. It writes its port and a port nobody listens on to argv[1].
const char kServer[] = R"PY(
import http.server, os, socket, sys, time
routes = {  # path: status, body, headers (None: no Content-Length, the body ends at close)
    '/ok': (200, b'VW11:2026.12.1', {'Content-Type': 'text/plain'}),
    '/missing': (404, b'<html>404 Not Found</html>', {'Content-Type': 'text/html'}),
    '/big5': (200, '通告:系統維護'.encode('cp950'), {'Content-Type': 'text/plain; charset="Big5"'}),
    '/limit': (200, b'x' * (1 << 20), {}),
    '/huge': (200, b'x' * (2 << 20), {}),
    '/huge-unannounced': (200, b'x' * (2 << 20), None),
    '/redirect': (302, b'', {'Location': '/ok'}),
    '/redirect-file': (302, b'', {'Location': 'file:///etc/passwd'}),
    '/loop': (302, b'', {'Location': '/loop'}),
}
class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args): pass
    def do_GET(self):
        if self.path == '/hang':
            return time.sleep(60)
        status, body, headers = routes.get(self.path, (200, self.path.encode('ascii'), {}))
        self.send_response(status)
        for name, value in (headers or {}).items():
            self.send_header(name, value)
        if headers is not None:
            self.send_header('Content-Length', str(len(body)))
        self.end_headers()
        self.wfile.write(body)
class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True
    def handle_error(self, request, client_address): pass  # clients that give up on a body
closed = socket.socket()
closed.bind(('127.0.0.1', 0))
server = Server(('127.0.0.1', 0), Handler)
with open(sys.argv[1] + '.tmp', 'w') as out:
    out.write('%d %d' % (server.server_address[1], closed.getsockname()[1]))
closed.close()
os.rename(sys.argv[1] + '.tmp', sys.argv[1])
server.serve_forever()
)PY";

struct TestServer
{
    TestServer()
    {
        const QByteArray portFile = dir.filePath("ports").toLocal8Bit();
        char* argv[] = {const_cast<char*>("python3"), const_cast<char*>("-c"),
                        const_cast<char*>(kServer), const_cast<char*>(portFile.constData()),
                        nullptr};
        if (posix_spawnp(&pid, "python3", nullptr, nullptr, argv, environ) != 0)
            return;
        QFile ports(QString::fromLocal8Bit(portFile));
        for (int i = 0; i < 200 && !ports.exists(); ++i)
            QThread::msleep(50);
        if (ports.open(QIODevice::ReadOnly)) {
            const QList<QByteArray> numbers = ports.readAll().split(' ');
            port = numbers.value(0).toInt();
            closedPort = numbers.value(1).toInt();
        }
    }
    ~TestServer()
    {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
    QString url(const char* path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(QString::fromUtf8(path));
    }

    QTemporaryDir dir;
    pid_t pid = 0;
    int port = 0;
    int closedPort = 0;
};

// A null body expects a failure with the given number (and description, when given); an empty
// body a reply of the given length.
TEST(CurlHttpFetcher, RepliesAndFailuresOfARealServer)
{
    setenv("no_proxy", "*", 1);
    const TestServer server;
    ASSERT_GT(server.port, 0) << "the test server did not start";
    const struct
    {
        QString address;
        const char* body;
        int numberOrSize;
        const char* description;
    } cases[] = {
        // clang-format off
        {server.url("/ok"), "VW11:2026.12.1", 0, nullptr},
        {server.url("/missing"), "<html>404 Not Found</html>", 0, nullptr},
        {server.url("/big5"), "通告:系統維護", 0, nullptr},
        {server.url("/redirect"), "VW11:2026.12.1", 0, nullptr},
        {server.url("/limit"), "", 1 << 20, nullptr},
        {server.url("/huge"), nullptr, 63, "Maximum file size exceeded"},
        {server.url("/huge-unannounced"), nullptr, 63, "Maximum file size exceeded"},
        {server.url("/redirect-file"), nullptr, 1, "Unsupported protocol"},
        {server.url("/loop"), nullptr, 47, nullptr},
        {server.url("/廣告資料/WE_OUT.ASP?VWX1=A B"), "/%E5%BB%A3%E5%91%8A%E8%B3%87%E6%96%99/WE_OUT.ASP?VWX1=A%20B", 0, nullptr},
        {server.url("/q?YHY=A;rm -rf ~$(x)&DC2A=1\t"), "/q?YHY=A;rm%20-rf%20~$(x)&DC2A=1%09", 0, nullptr},
        {server.url("/hang"), nullptr, 28, "Timeout was reached"},
        {QStringLiteral("http://127.0.0.1:%1/").arg(server.closedPort), nullptr, 7, "Couldn't connect to server"},
        {"file:///etc/passwd", nullptr, 1, "Unsupported protocol"},
        // clang-format on
    };
    CurlHttpFetcher fetcher(std::chrono::seconds(2));
    for (const auto& row : cases) {
        const std::string label = row.address.toStdString();
        const auto started = std::chrono::steady_clock::now();
        const FetchResult result = fetcher.get(row.address);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(4)) << label;
        EXPECT_EQ(result.isOk(), row.body != nullptr)
            << label << " " << result.status().code() << ":" << result.error().toStdString();
        if (!row.body) {
            EXPECT_EQ(result.status().code(), row.numberOrSize) << label;
            EXPECT_FALSE(result.error().isEmpty()) << label;
            if (row.description) {
                EXPECT_EQ(result.error(), QString::fromUtf8(row.description)) << label;
            }
        } else if (*row.body) {
            EXPECT_EQ(result.value(), QString::fromUtf8(row.body)) << label;
        } else {
            EXPECT_EQ(result.value().size(), row.numberOrSize) << label;
        }
    }
}

TEST(CurlHttpFetcher, BodyDecoding)
{
    const QByteArray big5 = QByteArray::fromHex("b3 71 a7 69 3a 5c"); // 通告:\ in code page 950
    const QString bad(QChar::ReplacementCharacter);
    const struct
    {
        QByteArray body;
        QByteArray contentType;
        QString expected;
    } cases[] = {
        // clang-format off
        {"\xEF\xBB\xBFVW11:1", "text/plain", "VW11:1"},
        {big5, "text/html;charset=\"CP950\"", "通告:\\"},
        {big5, "text/html", "通告:\\"},
        {big5, "text/html; charset=no-such-charset", "通告:\\"},
        {"\xE9\x80\x9A", "text/plain; charset=utf-8", "通"},
        {"A\xA4\x40" "B\x81", "text/plain; charset=big5", "A一B" + bad},
        {"A\xFF" "B", "text/plain; charset=utf-8", "A" + bad + "B"},
        // A sequence cut off at the end of the body is not valid UTF-8 and is not dropped.
        {"A\xE9\x80", "text/plain; charset=utf-8", "A" + bad + bad},
        {"\xC3\xB9\xC3", "text/plain", "羅" + bad},
        // clang-format on
    };
    for (const auto& row : cases) {
        EXPECT_EQ(decodeBody(row.body, row.contentType), row.expected)
            << row.body.toHex().constData() << " " << row.contentType.constData();
    }
}

} // namespace
} // namespace tevo
