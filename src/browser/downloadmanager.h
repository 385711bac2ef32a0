#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QTemporaryDir>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QVBoxLayout;
class QWebEngineDownloadRequest;
class QWebEngineProfile;

// One download in the downloads window: name, progress, speed, state, cancel, open folder.
class DownloadRow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DownloadRow)

public:
    DownloadRow(const QString &target, QWidget *parent);
    ~DownloadRow() override;

    void showProgress(qint64 received, qint64 total, double bytesPerSecond);
    void showFinished(const QString &state);
    QString state() const;

signals:
    void cancelRequested();

private:
    QString m_target;
    QLabel *m_name;
    QLabel *m_state;
    QProgressBar *m_progress;
    QPushButton *m_cancel;
};

// The small window that lists this run's downloads.
class DownloadsWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DownloadsWindow)

public:
    explicit DownloadsWindow(QWidget *parent);
    ~DownloadsWindow() override;

    DownloadRow *addRow(const QString &target);

private:
    QVBoxLayout *m_rows;
};

// Takes every download of the profile. The engine must have an answer before its signal
// returns, so each download starts into a private staging folder at once; the save dialog
// follows, and only a complete transfer is moved to the chosen name. A failed or cancelled
// one leaves nothing behind, and nothing downloaded is ever opened by the program.
class DownloadManager final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DownloadManager)

public:
    explicit DownloadManager(QWebEngineProfile *profile);
    ~DownloadManager() override;

    // The folder the save dialog opens in: the last one chosen in this run.
    QString lastFolder() const { return m_lastFolder; }

private:
    struct Entry
    {
        QPointer<QWebEngineDownloadRequest> request;
        QPointer<QWidget> window;
        QString staged;
        QString target;
        QPointer<DownloadRow> row;
        QString failure; // set when the transfer broke off
        QElapsedTimer clock;
        bool answered = false;
        bool userCancelled = false;
    };

    void start(QWebEngineDownloadRequest *request);
    void askTarget(quint32 id);
    void update(quint32 id);
    void finish(quint32 id);
    void discard(Entry &entry);
    void reportFailure(const Entry &entry, const QString &reason);
    DownloadsWindow *downloadsWindow(QWidget *near);

    QTemporaryDir m_staging;
    QString m_lastFolder;
    QHash<quint32, Entry> m_entries;
    QSet<quint32> m_settled; // told the user the outcome; the engine's retries are refused
    QPointer<DownloadsWindow> m_window;
};
