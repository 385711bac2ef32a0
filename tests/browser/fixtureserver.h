#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

// The demo web application on 127.0.0.1, started on a free port for one test case.
class FixtureServer final
{
    Q_DISABLE_COPY_MOVE(FixtureServer)

public:
    explicit FixtureServer(const QStringList &extraArguments = {});
    ~FixtureServer();

    bool isRunning() const { return m_port != 0; }
    QUrl url(const QString &path = {}) const;
    // How many requests for exactly this path (query included) the server has seen.
    int requestCount(const QString &path) const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    bool m_tls = false;
};

// A port on 127.0.0.1 nothing listens on.
quint16 closedPort();
