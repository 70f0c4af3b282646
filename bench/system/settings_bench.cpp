// How many IsRecTipOn calls per second a typical settings file allows: each call opens and
// reads the file anew.
#include "base/programdir.h"
#include "system/settings.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

int main() {
    QTemporaryDir dir;
    SetProgramDir(dir.path());
    QFile conf(dir.filePath(QStringLiteral("Conf.ini")));
    if (!conf.open(QIODevice::WriteOnly))
        return 1;
    conf.write("[Host]\r\nHost=http://127.0.0.1:8731/\r\n\r\n[App]\r\nTitle=Parvelo\r\n\r\n"
               "[logger]\r\nlevel=7\r\noutput=1\r\nmaxsize=10000000\r\nfile=zoravoraz.log\r\n\r\n"
               "[CheckRecTip]\r\nRecTip=no\r\n");
    conf.close();

    constexpr int Calls = 200000;
    int off = 0;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < Calls; ++i)
        off += IsRecTipOn() ? 0 : 1;
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    std::printf("IsRecTipOn: %d calls in %.3f s, %.0f calls/s (%d read \"no\")\n", Calls, seconds,
                Calls / seconds, off);
    return off == Calls ? 0 : 1;
}
