// "Update Parvex" against a small HTTP server on the loopback interface.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "gui/shell/shell_fixture.h"
#include "shell/update_service.h"

namespace parvex::test {
namespace {

using shell::UpdateService;
using Outcome = UpdateService::Outcome;

// Answers every GET with one fixed reply, or misbehaves as told, and remembers the request
// lines it saw.
class TinyHttpServer : public QObject {
public:
    enum class Mode {
        Normal,
        Silent,        // reads the request and never answers
        Trickle,       // headers, then one body byte per tick, for ever
        FloodSized,    // an endless body announced as 300 MB by Content-Length
        FloodUnsized,  // an endless body with no length, ended by closing (never)
    };
    static constexpr qint64 kFloodBytes = 300LL * 1024 * 1024;

    explicit TinyHttpServer(QByteArray body, int status = 200, Mode mode = Mode::Normal)
        : body_(std::move(body)), status_(status), mode_(mode) {
        server_.listen(QHostAddress::LocalHost);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    explicit TinyHttpServer(Mode mode) : TinyHttpServer(QByteArray(), 200, mode) {}

    [[nodiscard]] QUrl base() const {
        return QUrl(
            QStringLiteral("http://127.0.0.1:%1/Downloads/Parvex/").arg(server_.serverPort()));
    }
    QStringList requests;
    QByteArray userAgent;
    QByteArray acceptEncoding;
    qint64 bodyBytesSent = 0;

private:
    void answer(QTcpSocket* socket) {
        pending_ += socket->readAll();
        if (!pending_.contains("\r\n\r\n")) return;
        const QList<QByteArray> lines = pending_.split('\n');
        requests << QString::fromLatin1(lines.first().trimmed());
        for (const QByteArray& l : lines) {
            if (l.toLower().startsWith("user-agent:")) userAgent = l.mid(11).trimmed();
            if (l.toLower().startsWith("accept-encoding:")) acceptEncoding = l.mid(16).trimmed();
        }
        pending_.clear();
        switch (mode_) {
            case Mode::Silent:
                return;
            case Mode::Normal:
                socket->write(head(body_.size()) + body_);
                bodyBytesSent += body_.size();
                socket->disconnectFromHost();
                return;
            case Mode::Trickle:
                socket->write(head(1000));
                trickle(socket);
                return;
            case Mode::FloodSized:
            case Mode::FloodUnsized:
                socket->write(head(mode_ == Mode::FloodSized ? kFloodBytes : -1));
                connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { flood(socket); });
                flood(socket);
                return;
        }
    }
    [[nodiscard]] QByteArray head(qint64 length) const {
        QByteArray h = "HTTP/1.1 " + QByteArray::number(status_) +
                       " X\r\nContent-Type: text/plain\r\nConnection: close\r\n";
        if (length >= 0) h += "Content-Length: " + QByteArray::number(length) + "\r\n";
        return h + "\r\n";
    }
    void trickle(QTcpSocket* socket) {
        auto* tick = new QTimer(socket);
        connect(tick, &QTimer::timeout, socket, [this, socket] {
            socket->write("x");
            ++bodyBytesSent;
        });
        tick->start(20);
    }
    void flood(QTcpSocket* socket) {
        // Keeps a little in the socket's queue, as a fast server on a fast line would.
        static const QByteArray chunk(64 * 1024, ';');
        while (socket->bytesToWrite() < 4 * chunk.size() && bodyBytesSent < kFloodBytes) {
            socket->write(chunk);
            bodyBytesSent += chunk.size();
        }
    }

    QTcpServer server_;
    QByteArray body_;
    int status_;
    Mode mode_;
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

TEST_F(UpdateServiceTest, EndsAtTheDeadlineHoweverTheServerDawdles) {
    const struct {
        const char* what;
        TinyHttpServer::Mode mode;
    } cases[] = {{"silent", TinyHttpServer::Mode::Silent},
                 // Always a byte on its way: no idle time-out would ever end this one.
                 {"trickling", TinyHttpServer::Mode::Trickle}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        prompts.clear();
        TinyHttpServer server(c.mode);
        service_.setBaseUrl(server.base());
        service_.setDeadlineMs(300);
        prompts.answer(ui::Answer::Yes);
        QElapsedTimer took;
        took.start();
        EXPECT_EQ(service_.run(), Outcome::TimedOut);
        EXPECT_LT(took.elapsed(), 10000);  // ended by the deadline, not by the server
        EXPECT_EQ(server.requests.size(), 1);
        if (c.mode == TinyHttpServer::Mode::Trickle) {
            EXPECT_GT(server.bodyBytesSent, 1);
        }
        ASSERT_EQ(prompts.events.size(), 2u);
        EXPECT_EQ(prompts.events[1].text,
                  "The update server did not answer in time; no update was made.");
    }
    EXPECT_EQ(logLines().size(), 2);
}

TEST_F(UpdateServiceTest, KeepsNoMoreThanTheCapOfTheAnswer) {
    const QByteArray info = "[Parvex]\nVersion=1.4\n";
    const auto padded = [&](qint64 size) { return info + QByteArray(size - info.size(), ';'); };
    const struct {
        const char* what;
        QByteArray body;
        TinyHttpServer::Mode mode;
        Outcome outcome;
    } cases[] = {
        {"exactly 64 KB", padded(shell::kMaxUpdateReplyBytes), TinyHttpServer::Mode::Normal,
         Outcome::NewerAvailable},
        {"one byte more", padded(shell::kMaxUpdateReplyBytes + 1), TinyHttpServer::Mode::Normal,
         Outcome::TooLarge},
        {"300 MB announced", {}, TinyHttpServer::Mode::FloodSized, Outcome::TooLarge},
        {"300 MB unannounced", {}, TinyHttpServer::Mode::FloodUnsized, Outcome::TooLarge},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        prompts.clear();
        TinyHttpServer server(c.body, 200, c.mode);
        service_.setBaseUrl(server.base());
        prompts.answer(ui::Answer::Yes);
        EXPECT_EQ(service_.run(), c.outcome);
        // The flood was cut off long before its end, not read whole.
        EXPECT_LT(server.bodyBytesSent, 32 * 1024 * 1024);
        // Compressed, the cap would count the wrong bytes.
        EXPECT_EQ(server.acceptEncoding, "identity");
        ASSERT_EQ(prompts.events.size(), 2u);
        if (c.outcome == Outcome::TooLarge) {
            EXPECT_EQ(prompts.events[1].text,
                      "The update server's answer is larger than 64 KB; no update was made.");
        }
    }
}

TEST_F(UpdateServiceTest, CancelInTheProgressDialogEndsTheCheckAtOnce) {
    TinyHttpServer silent(TinyHttpServer::Mode::Silent);
    service_.setBaseUrl(silent.base());
    service_.setDeadlineMs(600000);
    prompts.answer(ui::Answer::Yes);
    bool modal = false;
    bool clicked = false;
    // Runs inside the check's own event loop, as a user's click would.
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QProgressDialog*>(w);
            if (!dialog || dialog->objectName() != "dlgUpdateProgress" || !dialog->isVisible())
                continue;
            modal = dialog->windowModality() == Qt::ApplicationModal;
            auto* cancel = dialog->findChild<QPushButton*>("btnUpdateCancel");
            ASSERT_NE(cancel, nullptr);
            EXPECT_EQ(cancel->text(), "Cancel");
            QTest::mouseClick(cancel, Qt::LeftButton);
            clicked = true;
        }
    });
    EXPECT_EQ(service_.run(), Outcome::Cancelled);
    EXPECT_TRUE(clicked);
    EXPECT_TRUE(modal);
    // The user knows what they did: nothing but the opening question.
    EXPECT_EQ(prompts.events.size(), 1u);
    const QStringList log = logLines();
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log[0].contains("cancelled"));
    // The dialog does not outlive the check.
    settle();
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_NE(w->objectName(), "dlgUpdateProgress");
}

TEST_F(UpdateServiceTest, NotesAreShownCutShortAndAsTheyStand) {
    const QString ellipsis(QChar(0x2026));
    const QString plug = QStringLiteral("\U0001F50C");  // two UTF-16 units
    const struct {
        const char* what;
        QString notes;
        QString shown;
    } cases[] = {
        {"markup and escapes", QStringLiteral("<b>Faster</b>\x1b[31m\tnow"),
         QStringLiteral("<b>Faster</b> [31m now")},
        {"long", QString(1000, QLatin1Char('x')), QString(299, QLatin1Char('x')) + ellipsis},
        // The cut falls inside a character: it goes whole.
        {"cut inside a character", QString(298, QLatin1Char('x')) + plug + QStringLiteral("yy"),
         QString(298, QLatin1Char('x')) + ellipsis},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        prompts.clear();
        TinyHttpServer server("[Parvex]\nVersion=1.4\nNotes=" + c.notes.toUtf8() + "\n");
        service_.setBaseUrl(server.base());
        prompts.answer(ui::Answer::Yes);
        EXPECT_EQ(service_.run(), Outcome::NewerAvailable);
        ASSERT_EQ(prompts.events.size(), 2u);
        EXPECT_EQ(prompts.events[1].text,
                  QStringLiteral("Parvex 1.4 is available (this is 1.3.1.0).\n") + c.shown);
    }
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
