#pragma once

// A hospital peer of tests/peers, run by Node.js on 127.0.0.1 while the object lives.

#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTest>

// A port free a moment ago on 127.0.0.1.
inline quint16 freeLoopbackPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

class NodePeer
{
public:
    // Starts node SCRIPT ARGS in tests/peers and waits for its "ready" line.
    NodePeer(const QString &script, const QStringList &arguments)
    {
        m_process.setWorkingDirectory(QStringLiteral(TESSARINE_PEERS_DIR));
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral("node"), QStringList{script} + arguments);
        QTRY_VERIFY_WITH_TIMEOUT(
            (m_output += m_process.readAllStandardOutput()).contains("ready") ||
                m_process.state() == QProcess::NotRunning,
            30000);
    }
    ~NodePeer()
    {
        m_process.kill();
        m_process.waitForFinished();
    }
    bool running() const { return m_process.state() == QProcess::Running; }

    static bool available() { return !QStandardPaths::findExecutable("node").isEmpty(); }

private:
    QProcess m_process;
    QByteArray m_output;
};

// Output of a program run to its end, for the independent parser and the sender peer.
inline QString outputOf(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setWorkingDirectory(QStringLiteral(TESSARINE_PEERS_DIR));
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}
