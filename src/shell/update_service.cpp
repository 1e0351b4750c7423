#include "shell/update_service.h"

#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextStream>
#include <QTimer>
#include <memory>
#include <utility>

#include "shell/version.h"
#include "ui/prompts.h"

namespace parvex::shell {

std::optional<UpdateInfo> parseUpdateInfo(const QByteArray& text) {
    static const QRegularExpression versionForm(QStringLiteral(R"(^\d{1,9}(\.\d{1,9}){0,3}$)"));
    UpdateInfo info;
    bool inSection = true;  // keys before any section header count
    for (const QByteArray& raw : text.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) ||
            line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            inSection = line.mid(1, line.size() - 2)
                            .trimmed()
                            .compare(QLatin1String("Parvex"), Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection) continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0) continue;
        const QString key = line.left(eq).trimmed().toLower();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("version"))
            info.version = value;
        else if (key == QLatin1String("download"))
            info.download = value;
        else if (key == QLatin1String("notes"))
            info.notes = value;
    }
    if (!versionForm.match(info.version).hasMatch()) return std::nullopt;
    return info;
}

int compareVersions(const QString& a, const QString& b) {
    const QStringList pa = a.split(QLatin1Char('.'));
    const QStringList pb = b.split(QLatin1Char('.'));
    const qsizetype n = std::max(pa.size(), pb.size());
    for (qsizetype i = 0; i < n; ++i) {
        const qlonglong x = i < pa.size() ? pa.at(i).toLongLong() : 0;
        const qlonglong y = i < pb.size() ? pb.at(i).toLongLong() : 0;
        if (x != y) return x < y ? -1 : 1;
    }
    return 0;
}

namespace {

// One line of the server's text as the user sees it: control characters blanked, and cut
// short with an ellipsis, so a hostile notes line cannot fill the screen.
QString shownLine(const QString& text, int maxChars) {
    QString line;
    for (const QChar c : text) line += c.category() == QChar::Other_Control ? QChar(' ') : c;
    if (line.size() <= maxChars) return line;
    qsizetype kept = maxChars - 1;
    if (line.at(kept - 1).isHighSurrogate()) --kept;  // never half a character
    return line.left(kept) + QChar(0x2026);
}

// Modal, so the rest of the program takes no input meanwhile, but Cancel does.
std::unique_ptr<QProgressDialog> makeProgressDialog(QWidget* parent) {
    auto progress = std::make_unique<QProgressDialog>(
        QStringLiteral("Looking for a newer version of Parvex..."), QString(), 0, 0, parent);
    progress->setObjectName(QStringLiteral("dlgUpdateProgress"));
    progress->setWindowTitle(QStringLiteral("Update Parvex"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setObjectName(QStringLiteral("btnUpdateCancel"));
    progress->setCancelButton(cancel);
    progress->setWindowModality(Qt::ApplicationModal);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    progress->setMinimumDuration(0);
    return progress;
}

}  // namespace

struct UpdateService::Fetched {
    enum class End { Done, Failed, TimedOut, TooLarge, Cancelled };
    End end = End::Done;
    QByteArray body;
    QString error;
};

UpdateService::UpdateService(QObject* parent) : QObject(parent), baseUrl_(kUpdateBaseUrl) {}

UpdateService::Fetched UpdateService::fetch(const QUrl& url) const {
    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, kUpdateAgent);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    // The cap counts what the server sends: no compressed answer that unpacks to gigabytes.
    request.setRawHeader("Accept-Encoding", "identity");
    // Every readyRead takes all there is and stops past the cap, so Qt's own buffer never
    // holds more than one read's worth; a limited read buffer is known to misbehave over
    // HTTP/2.
    QNetworkReply* reply = manager.get(request);

    Fetched out;
    bool stopped = false;
    QEventLoop loop;
    const auto stop = [&](Fetched::End why) {
        if (std::exchange(stopped, true)) return;
        out.end = why;
        reply->abort();
        loop.quit();
    };
    const auto take = [&] {
        out.body += reply->read(kMaxUpdateReplyBytes + 1 - out.body.size());
        if (out.body.size() > kMaxUpdateReplyBytes) stop(Fetched::End::TooLarge);
    };
    connect(reply, &QNetworkReply::metaDataChanged, &loop, [&] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > kMaxUpdateReplyBytes)
            stop(Fetched::End::TooLarge);
    });
    connect(reply, &QNetworkReply::readyRead, &loop, take);
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &loop, [&] { stop(Fetched::End::TimedOut); });
    deadline.start(deadlineMs_);

    const std::unique_ptr<QProgressDialog> progress =
        makeProgressDialog(qobject_cast<QWidget*>(parent()));
    connect(progress.get(), &QProgressDialog::canceled, &loop,
            [&] { stop(Fetched::End::Cancelled); });
    progress->show();

    if (!reply->isFinished()) loop.exec();
    deadline.stop();
    progress->hide();
    if (stopped) return out;
    take();
    if (stopped) return out;

    const int httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError) {
        out.end = Fetched::End::Failed;
        out.error = reply->errorString();
    } else if (httpStatus != 0 && httpStatus != 200) {
        out.end = Fetched::End::Failed;
        out.error = QStringLiteral("HTTP status %1").arg(httpStatus);
    }
    return out;
}

UpdateService::Outcome UpdateService::run() {
    const QString current = currentVersion_.isEmpty() ? programFileVersion() : currentVersion_;

    if (ui::prompts().titledQuestion(
            QStringLiteral("Update Parvex"),
            QStringLiteral("Connect to the Internet to look for a newer version of Parvex?"),
            ui::ButtonYes | ui::ButtonNo) != ui::Answer::Yes)
        return Outcome::Declined;

    const QUrl url = baseUrl_.resolved(QUrl(kUpdateFileName));
    const Fetched fetched = fetch(url);
    switch (fetched.end) {
        case Fetched::End::Done:
            break;
        case Fetched::End::Cancelled:
            log(QStringLiteral("Check of %1 cancelled").arg(url.toString()));
            return Outcome::Cancelled;
        case Fetched::End::TimedOut:
            ui::prompts().information(
                QStringLiteral("The update server did not answer in time; no update was made."));
            log(QStringLiteral("No complete answer from %1 in time").arg(url.toString()));
            return Outcome::TimedOut;
        case Fetched::End::TooLarge:
            ui::prompts().information(QStringLiteral(
                "The update server's answer is larger than 64 KB; no update was made."));
            log(QStringLiteral("Answer from %1 larger than 64 KB").arg(url.toString()));
            return Outcome::TooLarge;
        case Fetched::End::Failed:
            ui::prompts().information(
                QStringLiteral("Could not connect to the update server.\n%1").arg(fetched.error));
            log(QStringLiteral("Could not connect to %1: %2").arg(url.toString(), fetched.error));
            return Outcome::NoConnection;
    }

    const std::optional<UpdateInfo> info = parseUpdateInfo(fetched.body);
    if (!info) {
        ui::prompts().information(
            QStringLiteral("The update server's answer names no version; no update was made."));
        log(QStringLiteral("No version in %1").arg(url.toString()));
        return Outcome::BadInfo;
    }

    if (compareVersions(info->version, current) > 0) {
        QString text =
            QStringLiteral("Parvex %1 is available (this is %2).").arg(info->version, current);
        if (!info->notes.isEmpty())
            text += QLatin1Char('\n') + shownLine(info->notes, kMaxShownNoteChars);
        if (!info->download.isEmpty())
            text += QStringLiteral("\nDownload it from %1")
                        .arg(shownLine(info->download, kMaxShownNoteChars));
        ui::prompts().information(text);
        log(QStringLiteral("Version %1 available, %2 installed").arg(info->version, current));
        return Outcome::NewerAvailable;
    }

    ui::prompts().information(QStringLiteral("Parvex %1 is up to date.").arg(current));
    log(QStringLiteral("Version %1 is up to date").arg(current));
    return Outcome::UpToDate;
}

void UpdateService::log(const QString& line) const {
    const QString folder =
        logFolder_.isEmpty()
            ? QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
            : logFolder_;
    if (folder.isEmpty() || !QDir().mkpath(folder)) return;
    QFile file(QDir(folder).filePath(kUpdateLogName));
    // The log is a convenience; failing to write it must not turn the check into an error.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) return;
    QTextStream out(&file);
    out << QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy hh:mm")) << ' ' << line
        << '\n';
}

}  // namespace parvex::shell
