#include "platform/PictureReading.h"

#include <QApplication>
#include <QFile>
#include <QThread>
#include <benchmark/benchmark.h>

// Every benchmark runs headless unless told otherwise.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::admitTheLargestPicture();
    benchmark::Initialize(&argc, argv);
    // Figures mean little without the cores they had (taskset narrows them) and the machine's load.
    benchmark::AddCustomContext("cores", std::to_string(QThread::idealThreadCount()));
    QFile load(QStringLiteral("/proc/loadavg"));
    if (load.open(QIODevice::ReadOnly))
        benchmark::AddCustomContext("loadavg", load.readLine(64).trimmed().toStdString());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
