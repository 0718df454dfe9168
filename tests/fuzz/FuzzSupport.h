#pragma once

#include "platform/Log.h"
#include "platform/PictureReading.h"

#include <QByteArray>
#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Fonts and pictures in archives need a GUI application; the harnesses keep the log and Qt's
// warnings quiet so that the fuzzer's own output stays readable and fast.
inline void startFuzzingApplication(int *argc, char ***argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    static QGuiApplication *application = new QGuiApplication(*argc, *argv);
    (void)application;
    platform::admitTheLargestPicture();
    platform::installLogSink([](const QString &) {});
}

inline QByteArray fuzzInput(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}
