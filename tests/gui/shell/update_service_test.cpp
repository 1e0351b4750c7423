// "Update Parvex" against a small HTTP server on the loopback interface.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include "gui/shell/shell_fixture.h"
#include "shell/update_service.h"

namespace parvex::test {
namespace {

using shell::UpdateService;
using Outcome = UpdateService::Outcome;

// Answers every GET with one fixed reply and remembers the request lines it saw.
class TinyHttpServer : public QObject {
public:
    explicit TinyHttpServer(QByteArray body, int status = 200, bool silent = false)
        : body_(std::move(body)), status_(status), silent_(silent) {
        server_.listen(QHostAddress::LocalHost);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    [[nodiscard]] QUrl base() const {
        return QUrl(
            QStringLiteral("http://127.0.0.1:%1/Downloads/Parvex/").arg(server_.serverPort()));
    }
    QStringList requests;
    QByteArray userAgent;

private:
    void answer(QTcpSocket* socket) {
        pending_ += socket->readAll();
        if (!pending_.contains("\r\n\r\n")) return;
        const QList<QByteArray> lines = pending_.split('\n');
        requests << QString::fromLatin1(lines.first().trimmed());
        for (const QByteArray& l : lines)
            if (l.toLower().startsWith("user-agent:")) userAgent = l.mid(11).trimmed();
        pending_.clear();
        if (silent_) return;
        QByteArray reply = "HTTP/1.1 " + QByteArray::number(status_) + " X\r\n" +
                           "Content-Type: text/plain\r\nConnection: close\r\nContent-Length: " +
                           QByteArray::number(body_.size()) + "\r\n\r\n" + body_;
        socket->write(reply);
        socket->disconnectFromHost();
    }

    QTcpServer server_;
    QByteArray body_;
    int status_;
    bool silent_;
    QByteArray pending_;
};

class UpdateServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = QDir::currentPath();
        ASSERT_TRUE(folder_.isValid());
        service_.setLogFolder(folder_.path());
        service_.setCurrentVersion("1.3.1.0");
    }
    void TearDown() override { QDir::setCurrent(previous_); }

    QStringList logLines() const {
        QFile f(folder_.filePath("WUPDATE.LOG"));
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
        return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    ScriptedPrompts prompts;
    UpdateService service_;
    QTemporaryDir folder_;
    QString previous_;
};

TEST_F(UpdateServiceTest, ComparesTheServersVersionWithOurs) {
    struct Case {
        QByteArray body;
        Outcome outcome;
        QString told;
    };
    const Case cases[] = {
        {"[Parvex]\r\nVersion=1.4.0.0\r\nNotes=Faster page writes\r\n"
         "Download=https://www.example.com/Downloads/Parvex/parvex-1.4.0.0.tar.gz\r\n",
         Outcome::NewerAvailable,
         "Parvex 1.4.0.0 is available (this is 1.3.1.0).\nFaster page writes\n"
         "Download it from https://www.example.com/Downloads/Parvex/parvex-1.4.0.0.tar.gz"},
        {"[Parvex]\nVersion=1.3.1.0\n", Outcome::UpToDate, "Parvex 1.3.1.0 is up to date."},
        // An older version on the server is no update either.
        {"[Parvex]\nVersion=1.3.0.9\n", Outcome::UpToDate, "Parvex 1.3.1.0 is up to date."},
        {"<html>Not the update file</html>", Outcome::BadInfo,
         "The update server's answer names no version; no update was made."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body.toStdString());
        prompts.clear();
        TinyHttpServer server(c.body);
        service_.setBaseUrl(server.base());
        prompts.answer(ui::Answer::Yes);
        EXPECT_EQ(service_.run(), c.outcome);
        EXPECT_EQ(server.requests, QStringList{"GET /Downloads/Parvex/updates.inf HTTP/1.1"});
        EXPECT_EQ(server.userAgent, "TWebUpdate");
        ASSERT_EQ(prompts.events.size(), 2u);
        EXPECT_EQ(prompts.events[0].kind, ScriptedPrompts::Kind::Question);
        EXPECT_EQ(prompts.events[0].buttons, ui::ButtonYes | ui::ButtonNo);
        EXPECT_EQ(prompts.events[1].text, c.told);
    }
    // One dated line per check, in the log folder; the working folder is left alone.
    const QStringList log = logLines();
    ASSERT_EQ(log.size(), 4);
    const QRegularExpression dated(R"(^\d\d/\d\d/\d{4} \d\d:\d\d \S)");
    for (const QString& line : log) EXPECT_TRUE(dated.match(line).hasMatch()) << line.toStdString();
    EXPECT_TRUE(log[0].contains("1.4.0.0"));
    EXPECT_EQ(QDir::currentPath(), previous_);
}

TEST_F(UpdateServiceTest, DecliningMakesNoConnection) {
    TinyHttpServer server("[Parvex]\nVersion=9.0\n");
    service_.setBaseUrl(server.base());
    prompts.answer(ui::Answer::No);
    EXPECT_EQ(service_.run(), Outcome::Declined);
    settle();
    EXPECT_TRUE(server.requests.isEmpty());
    ASSERT_EQ(prompts.events.size(), 1u);
    EXPECT_EQ(prompts.events.front().title, "Update Parvex");
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(UpdateServiceTest, UnreachableServerOrErrorStatusIsCouldNotConnect) {
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    service_.setBaseUrl(
        QUrl(QStringLiteral("http://127.0.0.1:%1/Downloads/Parvex/").arg(closedPort)));
    prompts.answer(ui::Answer::Yes);
    EXPECT_EQ(service_.run(), Outcome::NoConnection);
    ASSERT_EQ(prompts.events.size(), 2u);
    EXPECT_TRUE(prompts.events[1].text.startsWith("Could not connect to the update server."));

    TinyHttpServer missing("gone", 404);
    service_.setBaseUrl(missing.base());
    prompts.answer(ui::Answer::Yes);
    EXPECT_EQ(service_.run(), Outcome::NoConnection);
    EXPECT_EQ(logLines().size(), 2);
}

TEST_F(UpdateServiceTest, ASilentServerTimesOut) {
    TinyHttpServer silent("", 200, /*silent=*/true);
    service_.setBaseUrl(silent.base());
    service_.setTimeoutMs(50);
    prompts.answer(ui::Answer::Yes);
    EXPECT_EQ(service_.run(), Outcome::NoConnection);
    EXPECT_EQ(silent.requests.size(), 1);
}

TEST(UpdateInfoTest, ParsesVersionsAndComparesThemPartByPart) {
    EXPECT_EQ(shell::parseUpdateInfo("Version = 2.0\n")->version, "2.0");
    EXPECT_EQ(
        shell::parseUpdateInfo("; comment\n[Other]\nVersion=9.9\n[parvex]\nversion=1.5\n")->version,
        "1.5");
    EXPECT_FALSE(shell::parseUpdateInfo("Version=1.x\n").has_value());
    EXPECT_FALSE(shell::parseUpdateInfo("").has_value());

    const struct {
        const char* a;
        const char* b;
        int sign;
    } cases[] = {{"1.3.1.0", "1.3.1.0", 0},
                 {"1.3.1", "1.3.1.0", 0},
                 {"1.3.10.0", "1.3.9.0", 1},
                 {"1.4", "1.3.1.0", 1},
                 {"1.3.0.9", "1.3.1.0", -1}};
    for (const auto& c : cases) {
        const int r = shell::compareVersions(c.a, c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
    }
}

}  // namespace
}  // namespace parvex::test
