#include "app/shutdownguard.h"

#include "platform/processlist.h"

#include <QCoreApplication>

#include <chrono>
#include <thread>

void EndWithin(int milliseconds) {
    const long own = static_cast<long>(QCoreApplication::applicationPid());
    std::thread([own, milliseconds] {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        TerminateProcess(own);
    }).detach();
}
