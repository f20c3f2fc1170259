#pragma once

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <string>

namespace zonbode::messengers::qt {

// One psm-listen process: started, waited for until its name is owned, stopped at the end.
class Listener {
public:
    explicit Listener(const QString& suffix) {
        process_.setProgram(QStringLiteral(PSM_LISTEN_PATH));
        process_.setArguments({QStringLiteral("--name"), suffix});
        process_.start();
        EXPECT_TRUE(process_.waitForStarted(30000));
        EXPECT_EQ(NextLine(), "ready");
    }
    ~Listener() {
        process_.kill();
        process_.waitForFinished(30000);
    }
    // The next printed line; empty when none came within the time.
    std::string NextLine(int timeoutMs = 30000) {
        QElapsedTimer clock;
        clock.start();
        while (!process_.canReadLine() && clock.elapsed() < timeoutMs &&
               process_.state() != QProcess::NotRunning) {
            process_.waitForReadyRead(100);
        }
        return process_.canReadLine() ? process_.readLine().trimmed().toStdString() : std::string();
    }
    bool HasOutput() {
        process_.waitForReadyRead(200);
        return process_.bytesAvailable() > 0;
    }
    qint64 Pid() const { return process_.processId(); }

private:
    QProcess process_;
};

}  // namespace zonbode::messengers::qt
