#include "output/MailRun.h"

#include "BenchSupport.h"

#include "canvas/SKTRenderingView.h"
#include "document/SKTText.h"
#include "document/Shape_Control.h"
#include "platform/Log.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>

// 100 mails of one record each to an SMTP server on loopback (aiosmtpd, which drops what it gets),
// set against 100 runs of the mail script alone with an attachment of the same kind: the record
// loop draws the next records' pictures while a mail is sent, so the run should cost little more
// than the script's runs.

namespace {

constexpr int kMails = 100;

bool answers(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(quint16(port));
    const bool connected = fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    if (fd >= 0)
        ::close(fd);
    return connected;
}

int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &size);
    ::close(fd);
    return ntohs(address.sin_port);
}

// The server for the whole program; port 0 when it could not start.
class Server {
public:
    Server() : m_port(freePort())
    {
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.start(QStringLiteral("/usr/bin/python3"),
                        {QStringLiteral("-m"), QStringLiteral("aiosmtpd"), QStringLiteral("-n"), QStringLiteral("-l"),
                         QStringLiteral("127.0.0.1:%1").arg(m_port), QStringLiteral("-c"),
                         QStringLiteral("aiosmtpd.handlers.Sink")});
        for (int i = 0; i < 500 && !answers(m_port); ++i)
            if (m_process.waitForFinished(20)) {
                m_port = 0;
                return;
            }
    }
    ~Server()
    {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }
    int port() const { return m_port; }

private:
    QProcess m_process;
    int m_port;
};

Server &server()
{
    static Server running;
    return running;
}

MailSettings account()
{
    return {QStringLiteral("card@example.org"), QStringLiteral("pw"), QStringLiteral("127.0.0.1"),
            QString::number(server().port()), QStringLiteral("N")};
}

MailScript task()
{
    return MailScript::inFolder(QStringLiteral(CARD_RESOURCES_DIR));
}

// A postcard-sized front: a gradient, a block and the record's name.
DesignSnapshot card()
{
    auto background = std::make_shared<Shape_Control>();
    background->setBounds(QRectF(0, 0, 420, 298));
    background->setFillColor(QColor(240, 200, 120));
    background->setDrawingFill(true);
    auto name = std::make_shared<SKTText>();
    name->setBounds(QRectF(20, 20, 380, 60));
    DesignSnapshot design;
    design.front.graphics = {name, background};
    design.frame = QRectF(0, 0, 420, 298);
    return design;
}

RecordOutcome guest(int record, GraphicList &objects)
{
    for (const SKTGraphicPtr &object : objects)
        if (auto *text = dynamic_cast<SKTText *>(object.get())) {
            text->Text_Value = QStringLiteral("Dear guest number %1").arg(record + 1);
            text->contents_val.reset();
        }
    return {};
}

void BM_MailOneRecordEach(benchmark::State &state)
{
    if (server().port() == 0)
        return state.SkipWithError("no aiosmtpd under /usr/bin/python3");
    MailRequest request;
    request.mode = MailMode::EveryRecordToEveryone;
    request.records = kMails;
    request.recipients = {QStringLiteral("guest@example.org")};
    request.subject = QStringLiteral("Your card");
    request.settings = account();
    const DesignSnapshot design = card();
    std::atomic<int> total{0};
    std::atomic<double> current{0};
    std::atomic<bool> stop{false};
    // A line a mail in the log would time the terminal too.
    const platform::LogSink previous = platform::installLogSink([](const QString &) {});
    QElapsedTimer clock;
    clock.start();
    for (auto _ : state) {
        const MailReport report = Send_Mail_Thread(design, request, guest, task(), {&total, &current, &stop});
        if (report.sent != kMails)
            state.SkipWithError("not every mail was sent");
    }
    state.counters["ms_per_mail"] = double(clock.elapsed()) / kMails / double(state.iterations());
    platform::installLogSink(previous);
}
BENCHMARK(BM_MailOneRecordEach)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_BareScriptRuns(benchmark::State &state)
{
    if (server().port() == 0)
        return state.SkipWithError("no aiosmtpd under /usr/bin/python3");
    // One record's picture as the run draws it, written once, attached to every mail.
    QTemporaryDir folder;
    const QString picture = folder.filePath(QStringLiteral("ZOLTFrame.jpeg"));
    const DesignSnapshot design = card();
    GraphicList copies = DesignSnapshot::copyOf(design.front.graphics);
    guest(0, copies);
    SKTRenderingView::image_From_Card_Graphics(copies, false, design.front.face, 0, design.frame)
        .toImage(kMailPictureDpi)
        .save(picture, "jpeg", 95);
    const MailSettings settings = account();
    QElapsedTimer clock;
    clock.start();
    for (auto _ : state)
        for (int i = 0; i < kMails; ++i)
            if (!sendEmail_pyth(task(), QStringLiteral("guest@example.org"), QStringLiteral("Your card"), {picture},
                                settings, QString())
                     .sent)
                state.SkipWithError("a mail was not sent");
    state.counters["ms_per_mail"] = double(clock.elapsed()) / kMails / double(state.iterations());
}
BENCHMARK(BM_BareScriptRuns)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace
