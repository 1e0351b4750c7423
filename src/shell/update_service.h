#pragma once
// "Update Parvex": asks before connecting, fetches the update description "updates.inf" from
// the update server, compares the version it names with this program's, says what it found
// and keeps a dated line of it in WUPDATE.LOG, in the program's data folder (a program
// installed under /usr cannot write beside itself). The file's format is in docs/updates.md.
// Whatever the server does, the check ends by a deadline, can be cancelled from its progress
// dialog, and keeps no more than a small cap of the answer.

#include <QObject>
#include <QString>
#include <QUrl>
#include <optional>

namespace parvex::shell {

inline const QString kUpdateBaseUrl = QStringLiteral("https://www.example.com/Downloads/Parvex/");
inline const QString kUpdateFileName = QStringLiteral("updates.inf");
inline const QString kUpdateLogName = QStringLiteral("WUPDATE.LOG");
inline const QString kUpdateAgent = QStringLiteral("TWebUpdate");
// An updates.inf is a few lines; anything bigger is not one.
inline constexpr qint64 kMaxUpdateReplyBytes = 64 * 1024;
inline constexpr int kUpdateDeadlineMs = 20000;
// Notes and the download address are shown cut to this many characters.
inline constexpr int kMaxShownNoteChars = 300;

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
    enum class Outcome {
        Declined,
        NewerAvailable,
        UpToDate,
        NoConnection,
        BadInfo,
        TimedOut,   // no complete answer by the deadline
        TooLarge,   // the answer passed the cap
        Cancelled,  // the user pressed Cancel in the progress dialog
    };

    explicit UpdateService(QObject* parent = nullptr);

    // The folder updates.inf lives in; must end in '/'.
    void setBaseUrl(const QUrl& url) { baseUrl_ = url; }
    [[nodiscard]] QUrl baseUrl() const { return baseUrl_; }
    // The folder WUPDATE.LOG is kept in (the program's standard data folder unless set).
    void setLogFolder(const QString& folder) { logFolder_ = folder; }
    // The whole check, connection and answer together, ends after this long.
    void setDeadlineMs(int ms) { deadlineMs_ = ms; }
    // The version compared against (the program's own unless set).
    void setCurrentVersion(const QString& version) { currentVersion_ = version; }

    // Runs the whole check; returns when it is over. Meanwhile a modal progress dialog
    // ("dlgUpdateProgress", its button "btnUpdateCancel") offers Cancel.
    Outcome run();

private:
    struct Fetched;
    Fetched fetch(const QUrl& url) const;
    void log(const QString& line) const;

    QUrl baseUrl_;
    QString logFolder_;
    QString currentVersion_;
    int deadlineMs_ = kUpdateDeadlineMs;
};

}  // namespace parvex::shell
