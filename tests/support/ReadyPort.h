#pragma once

#include <QElapsedTimer>
#include <QProcess>

// Waits for a test server started as `process` to print "READY <port>";
// returns the port, or 0 when it ended or did not say so in time.
inline int waitForReadyPort(QProcess& process, int timeoutMs = 15000)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs && process.state() != QProcess::NotRunning) {
        if (!process.canReadLine()) {
            process.waitForReadyRead(200);
            continue;
        }
        const QByteArray line = process.readLine().trimmed();
        if (line.startsWith("READY "))
            return line.mid(6).toInt();
    }
    return 0;
}
