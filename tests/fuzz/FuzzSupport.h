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

// The memory a harness lets one picture take: far below what the program allows, so that a seed or an
// input claiming a large picture is weighed and read, or refused, in well under a second under the
// sanitizers, and the fuzzer spends its time on many inputs rather than on one large decode.
constexpr qint64 kFuzzReadingBytes = 8LL * 1000 * 1000;

inline QByteArray fuzzInput(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}
