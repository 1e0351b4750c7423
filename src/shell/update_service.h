#pragma once
// "Update Parvex": asks before connecting, fetches the update description "updates.inf" from
// the update server, compares the version it names with this program's, says what it found
// and keeps a dated line of it in WUPDATE.LOG, in the program's data folder (a program
// installed under /usr cannot write beside itself). The file's format is in docs/updates.md.

#include <QObject>
#include <QString>
#include <QUrl>
#include <optional>

namespace parvex::shell {

inline const QString kUpdateBaseUrl = QStringLiteral("https://www.example.com/Downloads/Parvex/");
inline const QString kUpdateFileName = QStringLiteral("updates.inf");
inline const QString kUpdateLogName = QStringLiteral("WUPDATE.LOG");
inline const QString kUpdateAgent = QStringLiteral("TWebUpdate");

// What an updates.inf says.
struct UpdateInfo {
    QString version;   // dotted numbers, "1.3.2.0"
    QString download;  // where to get it (optional)
    QString notes;     // one line (optional)
};

// Reads the text of an updates.inf; nothing when it names no valid version.
[[nodiscard]] std::optional<UpdateInfo> parseUpdateInfo(const QByteArray& text);
// Compares dotted version numbers part by part; missing parts count as 0. <0, 0 or >0.
[[nodiscard]] int compareVersions(const QString& a, const QString& b);

class UpdateService : public QObject {
    Q_OBJECT
public:
    enum class Outcome { Declined, NewerAvailable, UpToDate, NoConnection, BadInfo };

    explicit UpdateService(QObject* parent = nullptr);

    // The folder updates.inf lives in; must end in '/'.
    void setBaseUrl(const QUrl& url) { baseUrl_ = url; }
    [[nodiscard]] QUrl baseUrl() const { return baseUrl_; }
    // The folder WUPDATE.LOG is kept in (the program's standard data folder unless set).
    void setLogFolder(const QString& folder) { logFolder_ = folder; }
    void setTimeoutMs(int ms) { timeoutMs_ = ms; }
    // The version compared against (the program's own unless set).
    void setCurrentVersion(const QString& version) { currentVersion_ = version; }

    // Runs the whole check; returns when it is over (the window stays responsive meanwhile).
    Outcome run();

private:
    void log(const QString& line) const;

    QUrl baseUrl_;
    QString logFolder_;
    QString currentVersion_;
    int timeoutMs_ = 15000;
};

}  // namespace parvex::shell
