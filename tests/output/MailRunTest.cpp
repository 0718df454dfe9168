#include "output/MailRun.h"

#include "../barcode/SymbolReader.h"
#include "fixtures/SmtpServer.h"
#include "fixtures/HangGuard.h"
#include "fixtures/TestSupport.h"

#include "barcode/BarcodeGenerator.h"
#include "barcode/BarcodeSettings.h"
#include "barcode/BarcodeSymbology.h"
#include "output/PictureExport.h"
#include "output/SheetPrinting.h"
#include "document/SKTBarcode.h"

#include "document/SKTText.h"
#include "document/Shape_Control.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <thread>

namespace {

MailScript script(int limitMs = 0)
{
    MailScript task = MailScript::inFolder(sourceResourcesPath());
    task.timeLimitMs = limitMs;
    return task;
}

MailSettings account(const SmtpServer &server)
{
    return {QStringLiteral("card@example.org"), QStringLiteral("pässwort"), QStringLiteral("127.0.0.1"),
            QString::number(server.port()), QString()};
}

// A front whose text names the record, and a filled back.
DesignSnapshot design()
{
    auto text = std::make_shared<SKTText>();
    text->setBounds(QRectF(10, 10, 200, 40));
    auto block = std::make_shared<Shape_Control>();
    block->setBounds(QRectF(40, 40, 60, 60));
    block->setFillColor(Qt::blue);
    block->setDrawingFill(true);
    DesignSnapshot snapshot;
    snapshot.front.graphics = {text};
    snapshot.back.graphics = {block};
    snapshot.frame = QRectF(0, 0, 243, 153);
    return snapshot;
}

RecordOutcome guest(int record, GraphicList &objects)
{
    for (const SKTGraphicPtr &object : objects)
        if (auto *text = dynamic_cast<SKTText *>(object.get())) {
            text->Text_Value = QStringLiteral("Guest %1").arg(record + 1);
            text->contents_val.reset();
        }
    return {};
}

QStringList addresses(int count, const QStringList &special = {})
{
    QStringList list = special;
    for (int i = int(list.size()); i < count; ++i)
        list << QStringLiteral("guest%1@example.org").arg(i);
    return list;
}

// "recipient|attachment names|decoded picture's digest" per mail, checking each attachment reads
// as the type its extension names.
QStringList arrived(const SmtpServer &server)
{
    QStringList lines;
    for (const ReceivedMail &mail : server.mails()) {
        QStringList names, digests;
        for (const ReceivedMail::Attachment &part : mail.attachments) {
            QImageReader reader(part.path);
            const QByteArray format = reader.format();
            EXPECT_EQ(QString::fromLatin1(format), QFileInfo(part.filename).suffix());
            const QImage image = reader.read();
            names << part.filename;
            digests << QString::fromLatin1(QCryptographicHash::hash(QByteArray(reinterpret_cast<const char *>(image.constBits()),
                                                                               image.sizeInBytes()),
                                                                    QCryptographicHash::Md5).toHex().left(6));
        }
        EXPECT_EQ(mail.recipients, QStringList{mail.to});
        EXPECT_EQ(mail.subject, QStringLiteral("Grüße"));
        lines << mail.to + QLatin1Char('|') + names.join(QLatin1Char(',')) + QLatin1Char('|') + digests.join(QLatin1Char(','));
    }
    return lines;
}

// A card whose Code 128 symbol holds its record's number, "MEMBER-<n>" from 1.
DesignSnapshot memberCards()
{
    auto code = std::make_shared<SKTBarcode>();
    code->barcode_font_index = int(Barcode_Symbology_Titles().indexOf(QStringLiteral("Code 128")));
    code->dpi_val_index = int(Barcode_DPI_Titles().indexOf(QStringLiteral("300")));
    code->setBounds(QRectF(20, 60, 200, 70));
    DesignSnapshot card = design();
    card.front.graphics = {code};
    return card;
}

RecordOutcome member(int record, GraphicList &objects)
{
    Set_Record_Barcode(*objects.first(), QStringLiteral("MEMBER-%1").arg(record + 1));
    return {};
}

// In place of the mail script, with its arguments: each mail, once a mail's time has passed, is
// kept as "<n>.jpeg" (n from 0) in the folder given as the server, its first attachment as it was
// then; `then` runs after, in the shell.
MailScript recordingSender(const QTemporaryDir &folder, const QByteArray &then = {})
{
    const MailScript sender{QStringLiteral("/bin/sh"), folder.filePath(QStringLiteral("sender.sh"))};
    writeFileBytes(sender.script, "sleep 0.05\n"
                                  "n=$(ls \"$2\" | grep -c 'jpeg$')\n"
                                  "cp \"$9\" \"$2/$n.jpeg\" || exit 1\n" +
                                      then + "\nexit 0\n");
    return sender;
}

// Every record to every recipient, the mails kept in `folder` by the recording sender.
MailReport mailRecords(int records, int recipients, const QTemporaryDir &folder, const QByteArray &then = {})
{
    MailRequest request;
    request.mode = MailMode::EveryRecordToEveryone;
    request.records = records;
    request.recipients = addresses(recipients);
    request.settings.server = folder.path();
    std::atomic<bool> stop{false};
    return Send_Mail_Thread(memberCards(), request, member, recordingSender(folder, then), {nullptr, nullptr, &stop});
}

} // namespace

TEST(MailRun, EveryMailCarriesItsOwnRecordsPictureWhileTheNextAreWrittenAhead)
{
    QTemporaryDir folder;
    const MailReport report = mailRecords(7, 2, folder);
    EXPECT_EQ(report.sent, 14) << report.message().toStdString();
    for (int mail = 0; mail < report.sent; ++mail) {
        const QImage picture(folder.filePath(QStringLiteral("%1.jpeg").arg(mail)), "JPEG");
        EXPECT_EQ(readSymbol(picture, ZXing::BarcodeFormat::Code128).value_or("none").toStdString(),
                  "MEMBER-" + std::to_string(mail / 2 + 1))
            << "mail " << mail;
    }
}

TEST(MailRun, APictureWhoseFolderCannotBeMadeNamesTheFolderAndWhy)
{
    // Once the first mail went, a file takes the place of its picture's folder: records 3 and 5,
    // whose turn it is then, cannot be written there.
    QTemporaryDir folder;
    const MailReport report = mailRecords(5, 1, folder,
                                          "[ $n = 0 ] && d=$(dirname \"$9\") && rm -r \"$d\" && : > \"$d\" && "
                                          "echo \"$d\" > \"$2/in-the-way\"");
    EXPECT_EQ(report.sent, 3);
    EXPECT_EQ(report.recordsNotMailed, (QList<int>{2, 4}));
    const QString inTheWay = QString::fromUtf8(fileBytes(folder.filePath(QStringLiteral("in-the-way")))).trimmed();
    ASSERT_FALSE(inTheWay.isEmpty());
    const QString message = report.message();
    const QString reason = QString::fromLocal8Bit(std::strerror(EEXIST));
    EXPECT_TRUE(message.contains(QStringLiteral("The folder %1 could not be made: %2.").arg(inTheWay, reason)))
        << message.toStdString();
    EXPECT_FALSE(message.contains(QStringLiteral("Unknown error"))) << message.toStdString();
}

// A Code 128 symbol bound to a series whose file is gone, the design showing its old first value, a
// Data Matrix bound to a column the sheet lacks, and a QR Code bound to the sheet's first column, its
// sample "SAMPLE". In a run that uses the sheet alone every card of every sink shows its row's symbol;
// in a run of the same card (the sheet's box off too) every card shows the sample. None shows the
// series' symbol or the missing column's, and every sink names the cards that lacked values.
TEST(MailRun, AFieldThatCannotBeUsedIsEmptyOnEveryCardOfEverySink)
{
    AppFixture app;
    const auto symbol = [](Symbology symbology, int source) {
        auto code = std::make_shared<SKTBarcode>();
        code->barcode_font_index = Barcode_Symbology_Of(symbology).storedIndex();
        code->linear_or_2d = Barcode_Symbology_Of(symbology).isTwoD() ? 1 : 0;
        code->dpi_val_index = int(Barcode_DPI_Titles().indexOf(QStringLiteral("300")));
        code->binding.data_source_type = source;
        code->binding.batch_list_name = QStringLiteral("Gone");
        code->binding.excel_col_indx = 1;
        return code;
    };
    auto gone = symbol(Symbology::Code128, 1);
    gone->setBounds(QRectF(10, 10, 220, 60));
    ASSERT_TRUE(Set_Record_Barcode(*gone, QStringLiteral("ZOE-OBRIEN")));
    auto row = symbol(Symbology::QRCode, 2);
    row->setBounds(QRectF(10, 75, 70, 70));
    ASSERT_TRUE(Set_Record_Barcode(*row, QStringLiteral("SAMPLE")));
    auto lacking = symbol(Symbology::DataMatrix, 2);
    lacking->binding.excel_col_indx = 2;
    lacking->setBounds(QRectF(90, 75, 70, 70));
    ASSERT_TRUE(Set_Record_Barcode(*lacking, QStringLiteral("NO-COLUMN")));
    DesignSnapshot card = design();
    card.front.graphics = {gone, row, lacking};
    QList<QVariantMap> rows;
    for (int k = 1; k <= 3; ++k)
        rows.append({{QStringLiteral("Column1"), QStringLiteral("ROW-%1").arg(k)}});
    auto binding = std::make_shared<RecordBinding>(RecordBinding::load(card.front.graphics, {}, rows));
    ASSERT_EQ(binding->problems.size(), 2);
    binding->useSources(false, true); // the series box is off: its series gave no records
    ASSERT_EQ(binding->Total_Batch_Excel_Card, 3);
    const RecordApplier apply = runDrawing(card, binding).apply;
    // What a run without records draws.
    auto unbound = std::make_shared<RecordBinding>(*binding);
    unbound->useSources(false, false);
    const RunDrawing sameDrawing = runDrawing(card, unbound);
    const DesignSnapshot &same = *sameDrawing.design;

    std::atomic<int> total{0};
    std::atomic<double> current{0};
    std::atomic<bool> stop{false};
    const RunCounters counters{&total, &current, &stop};
    const ExportChoice png{QStringLiteral("F"), false, QStringLiteral("PNG"), 300};
    // Three cards, one a page; `records` -1 for the same card in every cell.
    const auto printed = [&](const QTemporaryDir &folder, const DesignSnapshot &design, int records,
                             const RecordApplier &how) {
        Print_Sheet_Layout layout;
        layout.Set_values_From_Printer(QSizeF(595, 842), QMarginsF(20, 20, 20, 20));
        layout.Print_Card_Side = QStringLiteral("F");
        layout.label_width = 243;
        layout.label_hight = 153;
        layout.Total_Label = 3;
        const QString pdf = folder.filePath(QStringLiteral("cards.pdf"));
        PdfFileTarget target(pdf, sheetPageLayout(layout.paper), QStringLiteral("Cards"));
        QString error;
        EXPECT_TRUE(target.open(&error)) << error.toStdString();
        // The same card in every cell lacks its values once, as the one card of an export or a mail.
        EXPECT_EQ(printSheets(design, SheetRun{layout, records}, how, target, counters).failedRecords,
                  (records < 0 ? QList<int>{0} : QList<int>{0, 1, 2}));
        QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("300"),
                                                       pdf, folder.filePath("page")});
        QList<QImage> cards;
        for (int k = 1; k <= 3; ++k)
            cards << QImage(folder.filePath(QStringLiteral("page-%1.png").arg(k)));
        return cards;
    };
    // `lacking`: the cards the closing report names as lacking values, "1-3" or "1" (the same card, drawn once).
    const auto mailed = [&](const QTemporaryDir &folder, const DesignSnapshot &design, MailMode mode,
                            const RecordApplier &how, const QString &lacking) {
        MailRequest request;
        request.mode = mode;
        request.records = 3;
        request.recipients = addresses(mode == MailMode::SameCardToAll ? 3 : 1);
        request.settings.server = folder.path();
        const QString message = Send_Mail_Thread(design, request, how, recordingSender(folder), counters).message();
        EXPECT_TRUE(message.startsWith(QStringLiteral("Not every record took all its values.")) &&
                    message.contains(QStringLiteral("Records without all their values: %1.").arg(lacking)))
            << message.toStdString();
        QList<QImage> cards;
        for (int k = 0; k < 3; ++k)
            cards << QImage(folder.filePath(QStringLiteral("%1.jpeg").arg(k)), "JPEG");
        return cards;
    };
    const struct {
        const char *sink;
        bool records; // one card per sheet row, or the same card
        std::function<QList<QImage>(const QTemporaryDir &)> cards;
    } sinks[] = {
        {"export", true,
         [&](const QTemporaryDir &folder) {
             const ExportReport report =
                 PictureExport::Export_Batch_File(card, png, folder.path(), 3, apply, counters);
             EXPECT_EQ(report.run.failedRecords, (QList<int>{0, 1, 2})) << "each record names the series";
             QList<QImage> cards;
             for (int k = 1; k <= 3; ++k)
                 cards << QImage(QDir(folder.filePath(PictureExport::kBatchFolder)).filePath(QStringLiteral("Card_%1.PNG").arg(k)));
             return cards;
         }},
        {"print", true, [&](const QTemporaryDir &folder) { return printed(folder, card, 3, apply); }},
        {"mail", true,
         [&](const QTemporaryDir &folder) { return mailed(folder, card, MailMode::EveryRecordToEveryone, apply, "1-3"); }},
        {"one file", false,
         [&](const QTemporaryDir &folder) {
             const QString path = folder.filePath(QStringLiteral("Card.PNG"));
             EXPECT_EQ(PictureExport::Export_Single_File(same, png, path, sameDrawing.apply).run.failedRecords, QList<int>{0});
             return QList<QImage>{QImage(path)};
         }},
        {"unbound print", false, [&](const QTemporaryDir &folder) { return printed(folder, same, -1, sameDrawing.apply); }},
        {"same card to all", false,
         [&](const QTemporaryDir &folder) { return mailed(folder, same, MailMode::SameCardToAll, sameDrawing.apply, "1"); }},
    };
    for (const auto &s : sinks) {
        SCOPED_TRACE(s.sink);
        const QTemporaryDir folder;
        const QList<QImage> cards = s.cards(folder);
        ASSERT_FALSE(cards.isEmpty());
        for (int k = 0; k < cards.size(); ++k) {
            ASSERT_FALSE(cards.at(k).isNull()) << k;
            EXPECT_EQ(readSymbol(cards.at(k), ZXing::BarcodeFormat::QRCode).value_or("none").toStdString(),
                      s.records ? "ROW-" + std::to_string(k + 1) : std::string("SAMPLE"));
            for (const ZXing::BarcodeFormat unusable : {ZXing::BarcodeFormat::Code128, ZXing::BarcodeFormat::DataMatrix})
                EXPECT_EQ(readSymbol(cards.at(k), unusable).value_or("none").toStdString(), "none") << "card " << k + 1;
        }
    }
    // The design itself still shows its sample: only the run's copies were emptied.
    RecordOutcome outcome;
    EXPECT_EQ(readSymbol(drawRecordSide(card, 0, 0, {}, outcome).toImage(300), ZXing::BarcodeFormat::Code128)
                  .value_or("none")
                  .toStdString(),
              "ZOE-OBRIEN");
}

TEST(MailRun, EveryModeAndSideSendsWhatItShouldAndCountsWhatDidNotGo)
{
    if (SmtpServer::python().isEmpty())
        GTEST_SKIP() << "No python3 with aiosmtpd: install python3-aiosmtpd.";
    SmtpServer server;
    ASSERT_EQ(server.problem(), QString());
    const QString png = sourceResourcesPath() + QStringLiteral("no.png");
    struct Row {
        MailMode mode;
        QString sides;
        int records;
        QStringList recipients;
        int sent, failed, progress;
        QString firstTwo; // "recipient|names" of the first two mails
    };
    const QString a = QStringLiteral("guest0@example.org"), b = QStringLiteral("guest1@example.org");
    const Row rows[] = {
        {MailMode::SameCardToAll, QStringLiteral("F"), 0, addresses(3), 3, 0, 3, a + "|ZOLTFrame.jpeg;" + b + "|ZOLTFrame.jpeg"},
        {MailMode::SameCardToAll, QStringLiteral("BOTH"), 0, addresses(2), 2, 0, 2,
         a + "|ZOLTFrame_Back.jpeg,ZOLTFrame.jpeg;" + b + "|ZOLTFrame_Back.jpeg,ZOLTFrame.jpeg"},
        {MailMode::EveryRecordToEveryone, QStringLiteral("F"), 3, addresses(2), 6, 0, 3, a + "|ZOLTFrame.jpeg;" + b + "|ZOLTFrame.jpeg"},
        // A refusal skips the record's later recipients; the next record goes on.
        {MailMode::EveryRecordToEveryone, QStringLiteral("B"), 2, addresses(3, {a, QStringLiteral("refuse@example.org")}),
         2, 2, 2, a + "|ZOLTFrame_Back.jpeg;" + a + "|ZOLTFrame_Back.jpeg"},
        {MailMode::RecordToEachRecipient, QStringLiteral("BOTH"), 2, addresses(10000), 2, 0, 10000,
         a + "|ZOLTFrame_Back.jpeg,ZOLTFrame.jpeg;" + b + "|ZOLTFrame_Back.jpeg,ZOLTFrame.jpeg"},
        {MailMode::RecordToEachRecipient, QStringLiteral("F"), 3, addresses(3, {a, QStringLiteral("refuse@example.org")}),
         1, 1, 2, a + "|ZOLTFrame.jpeg"},
        {MailMode::WithoutCard, QString(), 0, addresses(2), 2, 0, 2, a + "|no.png;" + b + "|no.png"},
    };
    int before = 0;
    for (const Row &row : rows) {
        MailRequest request;
        request.mode = row.mode;
        request.sides = row.sides;
        request.records = row.records;
        request.recipients = row.recipients;
        request.subject = QStringLiteral("Grüße");
        request.body = QStringLiteral("Line one\r\nBcc: not-a-header@example.org\nLine three");
        request.settings = account(server);
        request.attachment = row.mode == MailMode::WithoutCard ? png : QString();
        std::atomic<int> total{0};
        std::atomic<double> current{0};
        std::atomic<bool> stop{false};
        const MailReport report = Send_Mail_Thread(design(), request, guest, script(), {&total, &current, &stop});
        const QString label = QStringLiteral("mode %1 %2").arg(int(row.mode)).arg(row.sides);
        EXPECT_EQ(report.sent, row.sent) << label.toStdString();
        EXPECT_EQ(report.failed, row.failed) << label.toStdString();
        EXPECT_EQ(report.succeeded(), row.failed == 0) << report.message().toStdString();
        EXPECT_EQ(int(current), row.progress) << label.toStdString();
        const QStringList mails = arrived(server).mid(before);
        before += int(mails.size());
        ASSERT_EQ(mails.size(), row.sent) << label.toStdString();
        QStringList firstTwo;
        for (const QString &mail : mails.mid(0, 2))
            firstTwo << mail.section(QLatin1Char('|'), 0, 1);
        EXPECT_EQ(firstTwo.join(QLatin1Char(';')), row.firstTwo) << label.toStdString();
        // One picture per record: the same for a record's recipients, another for the next record.
        if (row.mode == MailMode::EveryRecordToEveryone && row.failed == 0) {
            EXPECT_EQ(mails.at(0).section(QLatin1Char('|'), 2), mails.at(1).section(QLatin1Char('|'), 2));
            EXPECT_NE(mails.at(0).section(QLatin1Char('|'), 2), mails.at(2).section(QLatin1Char('|'), 2));
        }
    }
    // The body went as the text it is, not as headers.
    const ReceivedMail last = server.mails().last();
    EXPECT_TRUE(last.body.contains(QStringLiteral("Bcc: not-a-header@example.org")));
    EXPECT_FALSE(last.headers.contains(QStringLiteral("Bcc")));
}

TEST(MailRun, TheScriptRefusesHeaderInjectionAndIsEndedAtItsTimeLimit)
{
    if (SmtpServer::python().isEmpty())
        GTEST_SKIP() << "No python3 with aiosmtpd: install python3-aiosmtpd.";
    SmtpServer server;
    ASSERT_EQ(server.problem(), QString());
    const MailSettings settings = account(server);
    const MailResult injected = sendEmail_pyth(script(), QStringLiteral("to@example.org"),
                                               QStringLiteral("Hi\r\nBcc: victim@example.org"), {}, settings, QString());
    EXPECT_FALSE(injected.sent);
    EXPECT_TRUE(injected.detail.contains(QStringLiteral("single line"))) << injected.detail.toStdString();

    // Larger than the server takes: refused, said, not hung.
    QTemporaryDir folder;
    QFile big(folder.filePath(QStringLiteral("big.bin")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.resize(50 * 1024 * 1024);
    big.close();
    const MailResult tooLarge =
        sendEmail_pyth(script(), QStringLiteral("to@example.org"), QStringLiteral("Big"), {big.fileName()}, settings, {});
    EXPECT_FALSE(tooLarge.sent);
    EXPECT_FALSE(tooLarge.timedOut);
    EXPECT_TRUE(tooLarge.detail.contains(QStringLiteral("552"))) << tooLarge.detail.toStdString();
    EXPECT_TRUE(server.mails().isEmpty());

    SilentServer silent;
    MailSettings mute = settings;
    mute.port = QString::number(silent.port());
    MailResult unanswered;
    {
        const HangGuard guard(2000);
        unanswered = sendEmail_pyth(script(1500), QStringLiteral("to@example.org"), QStringLiteral("Hi"), {}, mute, QString());
    }
    EXPECT_FALSE(unanswered.sent);
    EXPECT_TRUE(unanswered.timedOut);
}

TEST(MailRun, GroupsPauseAndStopEndsAPause)
{
    if (SmtpServer::python().isEmpty())
        GTEST_SKIP() << "No python3 with aiosmtpd: install python3-aiosmtpd.";
    SmtpServer server;
    ASSERT_EQ(server.problem(), QString());
    MailRequest request;
    request.mode = MailMode::SameCardToAll;
    request.recipients = addresses(5);
    request.settings = account(server);
    request.groupSize = 2;
    request.pauseMs = 1000;
    std::atomic<int> total{0}, pause{0};
    std::atomic<double> current{0};
    std::atomic<bool> stop{false};
    QElapsedTimer clock;
    clock.start();
    MailReport report = Send_Mail_Thread(design(), request, {}, script(), {&total, &current, &stop, &pause});
    EXPECT_EQ(report.sent, 5);
    EXPECT_GE(clock.elapsed(), 2000); // after mails 2 and 4, none after the last

    // Stop during the first pause: the run ends at once, with two mails sent.
    request.pauseMs = 3'600'000;
    std::thread stopper([&] {
        while (pause == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        stop = true;
    });
    {
        const HangGuard guard(1000);
        report = Send_Mail_Thread(design(), request, {}, script(), {&total, &current, &stop, &pause});
    }
    stopper.join();
    EXPECT_EQ(report.sent, 2);
    EXPECT_TRUE(report.stopped);
    EXPECT_FALSE(report.succeeded());
    EXPECT_EQ(pause, 0);
    EXPECT_EQ(Calculate_Pause_Time(3'725'000), QStringLiteral("Pausing the process for 1 Hour 2 Minutes 5 Seconds."));
}

TEST(MailRun, TheFormIsCheckedBeforeAnythingStarts)
{
    MailForm form;
    form.from = QStringLiteral("  Me@Example.ORG ");
    form.to = QStringLiteral(" A@Example.org, ,b@example.org,, ");
    form.fileName = QStringLiteral("*Card?");
    const auto request = Check_Mail_Form(form, {}, false, 0, nullptr);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->recipients, (QStringList{"a@example.org", "b@example.org"}));
    EXPECT_EQ(request->settings.sender, QStringLiteral("me@example.org"));
    EXPECT_EQ(request->settings.ssl, QStringLiteral("N"));
    EXPECT_EQ(request->baseName, QStringLiteral("Card"));

    const std::pair<std::function<void(MailForm &)>, QString> refusals[] = {
        {[](MailForm &f) { f.to = QStringLiteral("a@example.org, a@b@example.org"); },
         QStringLiteral("Recipient E-mail address is invalid or incomplete.")},
        {[](MailForm &f) { f.to = QStringLiteral(" , "); }, QStringLiteral("Please specify the Recipient E-mail address.")},
        {[](MailForm &f) { f.subject = QStringLiteral("Hi\nBcc: x@example.org"); },
         QStringLiteral("The subject must be a single line.")},
        {[](MailForm &f) { f.subject = QString::fromUtf16(u"Hi\u2028Bcc: x@example.org"); },
         QStringLiteral("The subject must be a single line.")},
        {[](MailForm &f) { f.subject = QStringLiteral("Hi\vthere"); }, QStringLiteral("The subject must be a single line.")},
        {[](MailForm &f) { f.subject = QStringLiteral("Hi\fthere"); }, QStringLiteral("The subject must be a single line.")},
        {[](MailForm &f) { f.subject = QString::fromUtf16(u"Hi\u0085there"); },
         QStringLiteral("The subject must be a single line.")},
        {[](MailForm &f) { f.fileName = QStringLiteral("../x"); }, QStringLiteral("Please enter valid file name.")},
        {[](MailForm &f) { f.attachCard = false; f.attachment = QStringLiteral("/no/such/file"); },
         QStringLiteral("Please select valid file path.")},
    };
    for (const auto &[change, message] : refusals) {
        MailForm wrong = form;
        change(wrong);
        QString problem;
        EXPECT_FALSE(Check_Mail_Form(wrong, {}, false, 0, &problem));
        EXPECT_EQ(problem, message);
    }
    QString problem;
    EXPECT_FALSE(Check_Mail_Form(form, {}, true, 0, &problem));
    EXPECT_EQ(problem, QStringLiteral("List is empty."));
}

TEST(MailRun, EveryMailedCardsBarcodeScansAndNoRecordIsDroppedUnsaid)
{
    if (SmtpServer::python().isEmpty())
        GTEST_SKIP() << "No python3 with aiosmtpd: install python3-aiosmtpd.";
    SmtpServer server;
    ASSERT_EQ(server.problem(), QString());
    const DesignSnapshot card = memberCards();
    const RecordApplier codes = member;
    MailRequest request;
    request.mode = MailMode::EveryRecordToEveryone;
    request.records = 30;
    request.recipients = addresses(1);
    request.subject = QStringLiteral("Grüße");
    request.settings = account(server);
    std::atomic<int> total{0};
    std::atomic<double> current{0};
    std::atomic<bool> stop{false};
    MailReport report = Send_Mail_Thread(card, request, codes, script(), {&total, &current, &stop});
    ASSERT_TRUE(report.succeeded()) << report.message().toStdString();
    const QList<ReceivedMail> mails = server.mails();
    ASSERT_EQ(mails.size(), 30);
    for (int record = 0; record < 30; ++record) {
        const QImage picture(mails.at(record).attachments.value(0).path);
        EXPECT_EQ(picture.size(), QSize(1012, 637)) << "243 x 153 points at 300 dpi, " << record;
        EXPECT_NEAR(picture.dotsPerMeterX() * 0.0254, kMailPictureDpi, 1) << record;
        EXPECT_EQ(readSymbol(picture, ZXing::BarcodeFormat::Code128), QStringLiteral("MEMBER-%1").arg(record + 1).toLatin1())
            << record;
    }

    // Record i to recipient i, with 30 records for 3 recipients: asked first, and said after.
    request.mode = MailMode::RecordToEachRecipient;
    request.recipients = addresses(3);
    EXPECT_EQ(Unmailed_Records_Question(request),
              QStringLiteral("30 records, 3 recipients: records 4-30 will not be mailed. Continue?"));
    report = Send_Mail_Thread(card, request, codes, script(), {&total, &current, &stop});
    EXPECT_EQ(report.sent, 3);
    EXPECT_FALSE(report.succeeded());
    EXPECT_EQ(report.message(), QStringLiteral("Not every record was mailed.\n\n3 of 3 e-mails sent, 0 not sent.\n\n"
                                               "Records not sent: 4-30."));
    request.records = 3;
    EXPECT_EQ(Unmailed_Records_Question(request), QString());
}

TEST(MailRun, FailuresAreSaidPlainlyAndAPasswordNeedNotBeAscii)
{
    if (SmtpServer::python().isEmpty())
        GTEST_SKIP() << "No python3 with aiosmtpd: install python3-aiosmtpd.";
    SmtpServer plain;
    SmtpServer guarded(SmtpServer::Options{QStringLiteral("card@example.org"), QStringLiteral("pässwort")});
    ASSERT_EQ(plain.problem(), QString());
    ASSERT_EQ(guarded.problem(), QString());
    const auto at = [](const SmtpServer &server, const QString &password = QStringLiteral("pässwort")) {
        MailSettings settings = account(server);
        settings.password = password;
        return settings;
    };
    MailSettings nobody = at(plain);
    nobody.port = QString::number(freeLoopbackPort());
    const struct {
        const char *what;
        MailSettings settings;
        QString recipient;
        QString reason; // empty: sent
    } rows[] = {
        {"a login in UTF-8", at(guarded), QStringLiteral("to@example.org"), {}},
        {"a wrong password", at(guarded, QStringLiteral("passwort")), QStringLiteral("to@example.org"),
         QStringLiteral("The mail server refused the login: check the address and password in the e-mail settings.")},
        {"no server", nobody, QStringLiteral("to@example.org"),
         QStringLiteral("No mail server answers at 127.0.0.1, port %1.").arg(nobody.port)},
        {"a mail the server refuses", at(plain), QStringLiteral("refuse@example.org"),
         QStringLiteral("The mail server refused the mail.")},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        const MailResult result = sendEmail_pyth(script(), row.recipient, QStringLiteral("Hi"), {}, row.settings, {});
        EXPECT_EQ(result.sent, row.reason.isEmpty()) << result.detail.toStdString();
        EXPECT_EQ(result.reason, row.reason) << result.detail.toStdString();
    }
    EXPECT_EQ(guarded.mails().size(), 1);

    // A run says each kind once under the heading, the script's own words going to the log only.
    MailRequest request;
    request.mode = MailMode::SameCardToAll;
    request.recipients = {QStringLiteral("refuse1@example.org"), QStringLiteral("refuse2@example.org")};
    request.settings = at(plain);
    std::atomic<bool> stop{false};
    const QString message = Send_Mail_Thread(design(), request, {}, script(), {nullptr, nullptr, &stop}).message();
    EXPECT_TRUE(message.endsWith(QStringLiteral("\n\nThe mail server refused the mail."))) << message.toStdString();
    EXPECT_FALSE(message.contains(QStringLiteral("SMTP"))) << message.toStdString();
}

TEST(MailRun, ClosingTheProgramEndsTheMailUnderWayAtOnce)
{
    if (SmtpServer::python().isEmpty())
        GTEST_SKIP() << "No python3 with aiosmtpd: install python3-aiosmtpd.";
    SmtpServer dripping(SmtpServer::Options{{}, {}, true});
    ASSERT_EQ(dripping.problem(), QString());
    MailRequest request;
    request.mode = MailMode::SameCardToAll;
    request.recipients = addresses(3);
    request.settings = account(dripping);
    std::atomic<bool> stop{false}, end{false};
    MailReport report;
    std::thread run([&] { report = Send_Mail_Thread(design(), request, {}, script(), {nullptr, nullptr, &stop, nullptr, &end}); });
    // The first mail is under way once the server has its connection.
    EXPECT_EQ(dripping.waitForClient(), 1);
    {
        const HangGuard guard(300);
        end = true;
        run.join();
    }
    EXPECT_EQ(report.sent, 0);
    EXPECT_EQ(report.failed, 1) << "the mail under way, and no later one";
    EXPECT_FALSE(report.succeeded());
}
