#include "shell/update_service.h"

#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextStream>

#include "shell/version.h"
#include "ui/prompts.h"

namespace parvex::shell {

std::optional<UpdateInfo> parseUpdateInfo(const QByteArray& text) {
    static const QRegularExpression versionForm(QStringLiteral(R"(^\d+(\.\d+){0,3}$)"));
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

UpdateService::UpdateService(QObject* parent) : QObject(parent), baseUrl_(kUpdateBaseUrl) {}

UpdateService::Outcome UpdateService::run() {
    const QString current = currentVersion_.isEmpty() ? programFileVersion() : currentVersion_;

    if (ui::prompts().titledQuestion(
            QStringLiteral("Update Parvex"),
            QStringLiteral("Connect to the Internet to look for a newer version of Parvex?"),
            ui::ButtonYes | ui::ButtonNo) != ui::Answer::Yes)
        return Outcome::Declined;

    const QUrl url = baseUrl_.resolved(QUrl(kUpdateFileName));
    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, kUpdateAgent);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    // A server that accepts the connection and then says nothing must not hold the program.
    request.setTransferTimeout(timeoutMs_);

    QNetworkReply* reply = manager.get(request);
    QEventLoop loop;
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);

    const int httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool ok =
        reply->error() == QNetworkReply::NoError && (httpStatus == 0 || httpStatus == 200);
    const QString errorText = reply->error() != QNetworkReply::NoError
                                  ? reply->errorString()
                                  : QStringLiteral("HTTP status %1").arg(httpStatus);
    const QByteArray body = ok ? reply->readAll() : QByteArray();
    reply->deleteLater();

    if (!ok) {
        ui::prompts().information(
            QStringLiteral("Could not connect to the update server.\n%1").arg(errorText));
        log(QStringLiteral("Could not connect to %1: %2").arg(url.toString(), errorText));
        return Outcome::NoConnection;
    }

    const std::optional<UpdateInfo> info = parseUpdateInfo(body);
    if (!info) {
        ui::prompts().information(
            QStringLiteral("The update server's answer names no version; no update was made."));
        log(QStringLiteral("No version in %1").arg(url.toString()));
        return Outcome::BadInfo;
    }

    if (compareVersions(info->version, current) > 0) {
        QString text =
            QStringLiteral("Parvex %1 is available (this is %2).").arg(info->version, current);
        if (!info->notes.isEmpty()) text += QLatin1Char('\n') + info->notes;
        if (!info->download.isEmpty())
            text += QStringLiteral("\nDownload it from %1").arg(info->download);
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
