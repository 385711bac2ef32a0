#include "fixtureserver.h"

#include <QFile>
#include <QTcpServer>

FixtureServer::FixtureServer(const QStringList &extraArguments)
    : m_tls(extraArguments.contains(QStringLiteral("--tls")))
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(LIMS_PYTHON3),
                    QStringList{QStringLiteral(LIMS_DEMO_SERVER), QStringLiteral("--port"),
                                QStringLiteral("0"), QStringLiteral("--log"),
                                m_dir.filePath(QStringLiteral("requests.log")),
                                QStringLiteral("--idle-exit"), QStringLiteral("600")}
                        + extraArguments);
    if (!m_process.waitForStarted(10000))
        return;
    for (int i = 0; i < 100 && !m_process.canReadLine(); ++i)
        m_process.waitForReadyRead(100);
    m_port = m_process.readLine().trimmed().toUShort();
}

FixtureServer::~FixtureServer()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QUrl FixtureServer::url(const QString &path) const
{
    return QUrl(QStringLiteral("%1://127.0.0.1:%2/DemoQuorLims%3")
                    .arg(m_tls ? QStringLiteral("https") : QStringLiteral("http"))
                    .arg(m_port)
                    .arg(path));
}

int FixtureServer::requestCount(const QString &path) const
{
    QFile log(m_dir.filePath(QStringLiteral("requests.log")));
    if (!log.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray wanted = QByteArrayLiteral("/DemoQuorLims") + path.toUtf8();
    int count = 0;
    for (const QByteArray &line : log.readAll().split('\n'))
        count += line == wanted;
    return count;
}

quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort(); // closed again when probe goes
}
