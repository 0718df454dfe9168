#include "PeakMemory.h"
#include "PythonReader.h"

#include "fixtures/TestSupport.h"

#include "datasource/SSZipArchive.h"
#include "datasource/SpreadsheetWriter.h"
#include "datasource/readers/ZipArchiveReader.h"

#include <QDir>
#include "fixtures/HangGuard.h"
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <functional>

namespace {

QString dataFile(const QString &name)
{
    return QStringLiteral(CARD_DATASOURCE_TEST_DATA "/") + name;
}


// A workbook whose sheet (or the part `entry`) inflates to `size` blanks while the archive declares
// `declared` bytes.
bool writeBomb(const QString &path, qint64 size, qint64 declared, const char *entry = "xl/worksheets/sheet1.xml")
{
    const std::optional<QString> made = runPython(QStringLiteral(R"(
import struct as s, sys, zlib
out, size, declared, name = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4].encode()
packer, crc, parts, blanks = zlib.compressobj(9, zlib.DEFLATED, -15), 0, [], b" " * (1 << 20)
for done in range(0, size, len(blanks)):
    crc = zlib.crc32(blanks[:size - done], crc)
    parts.append(packer.compress(blanks[:size - done]))
data = b"".join(parts) + packer.flush()
fields = (0, 8, 0, 0x21, crc, len(data), declared, len(name))
local = s.pack("<IHHHHHIIIHH", 0x04034B50, 20, *fields, 0) + name
central = s.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, 20, *fields, 0, 0, 0, 0, 0, 0) + name
open(out, "wb").write(local + data + central + s.pack("<IHHHHIIH", 0x06054B50, 0, 0, 1, 1, len(central), len(local) + len(data), 0))
)"),
                                                  {path, QString::number(size), QString::number(declared), QString::fromLatin1(entry)});
    return made && made->isEmpty();
}

// A workbook of the sheet and, after it, an entry "x" under each of `others`.
bool writeSheet(const QString &path, const QByteArray &sheet, const QStringList &others = {})
{
    SSZipArchive archive(path);
    bool written = archive.open() && archive.writeData(sheet, QStringLiteral("xl/worksheets/sheet1.xml"));
    for (const QString &name : others)
        written = written && archive.writeData("x", name);
    return written && archive.close();
}

} // namespace

// Hostile or broken files give an error with a reason: no crash, no hang, nothing written.
TEST(ZipArchive, HostileAndBrokenWorkbooksAreRefused)
{
    if (!runPython(QStringLiteral("pass"), {}))
        GTEST_SKIP() << "/usr/bin/python3, which makes the bombs, is not installed";
    QTemporaryDir dir;
    const auto at = [&](const char *name) { return dir.filePath(QString::fromLatin1(name)); };
    QFile plain(dataFile(QStringLiteral("lo-plain.xlsx")));
    ASSERT_TRUE(plain.open(QIODevice::ReadOnly));
    const QByteArray workbook = plain.readAll();
    QByteArray tallSheet = R"(<worksheet><dimension ref="A1:XFD300"/><sheetData>)";
    for (int i = 0; i < 300; ++i)
        tallSheet += "<row/>";
    tallSheet += "</sheetData></worksheet>";

    const QList<std::pair<const char *, std::function<QString()>>> cases{
        {"entry named ../evil.txt", [&] { return dataFile(QStringLiteral("evil-dotdot.xlsx")); }},
        {"entry named /evil-absolute.txt", [&] { return dataFile(QStringLiteral("evil-absolute.xlsx")); }},
        {"a sheet of 80 MB declared as such", [&] { return writeBomb(at("honest-bomb.xlsx"), 80 << 20, 80 << 20) ? at("honest-bomb.xlsx") : QString(); }},
        {"a sheet of 80 MB declared as 1000 bytes", [&] { return writeBomb(at("lying-bomb.xlsx"), 80 << 20, 1000) ? at("lying-bomb.xlsx") : QString(); }},
        {"the first half of a workbook", [&] { return writeFileBytes(at("half.xlsx"), workbook.left(workbook.size() / 2)) ? at("half.xlsx") : QString(); }},
        {"a workbook with its middle overwritten", [&] {
             QByteArray damaged = workbook;
             damaged.replace(damaged.size() / 3, 200, QByteArray(200, 'x'));
             return writeFileBytes(at("damaged.xlsx"), damaged) ? at("damaged.xlsx") : QString();
         }},
        {"a text file", [&] { return writeFileBytes(at("text.xlsx"), "Name,City\n") ? at("text.xlsx") : QString(); }},
        {"a FIFO", [&] { return ::mkfifo(QFile::encodeName(at("fifo.xlsx")).constData(), 0600) == 0 ? at("fifo.xlsx") : QString(); }},
        {"a folder", [&] { return dir.path(); }},
        {"a missing file", [&] { return at("missing.xlsx"); }},
        {"300 rows declared 16384 columns wide", [&] { return writeSheet(at("tall.xlsx"), tallSheet) ? at("tall.xlsx") : QString(); }},
        {"a cell reference past the last column", [&] {
             return writeSheet(at("wide.xlsx"), R"(<worksheet><sheetData><row><c r="XFE1"><v>1</v></c></row></sheetData></worksheet>)")
                        ? at("wide.xlsx") : QString();
         }},
        {"an OpenDocument content of 200 MB", [&] { return writeBomb(at("big.ods"), 200 << 20, 200 << 20, "content.xml") ? at("big.ods") : QString(); }},
        {"an OpenDocument package with its middle overwritten", [&] {
             QFile ods(dataFile(QStringLiteral("lo-repeated.ods")));
             QByteArray damaged = ods.open(QIODevice::ReadOnly) ? ods.readAll() : QByteArray();
             damaged.replace(damaged.size() / 3, 200, QByteArray(200, 'x'));
             return writeFileBytes(at("damaged.ods"), damaged) ? at("damaged.ods") : QString();
         }},
        {"a sheet that is not XML", [&] { return writeSheet(at("notxml.xlsx"), "<worksheet><sheetData>") ? at("notxml.xlsx") : QString(); }},
        {"a sheet twice under one name", [&] {
             // Made by Python: libzip refuses a name twice.
             const std::optional<QString> made = runPython(
                 QStringLiteral("import sys, warnings, zipfile\nwarnings.simplefilter('ignore')\nwith zipfile.ZipFile(sys.argv[1], 'w') as z:\n"
                                " z.writestr('xl/worksheets/sheet1.xml', '<worksheet/>')\n z.writestr('xl/worksheets/sheet1.xml', 'x')"),
                 {at("twice.xlsx")});
             return made && made->isEmpty() ? at("twice.xlsx") : QString();
         }},
        {"10001 entries", [&] {
             QStringList names;
             for (int i = 0; i < 10000; ++i)
                 names << QStringLiteral("f%1").arg(i);
             return writeSheet(at("many.xlsx"), "<worksheet/>", names) ? at("many.xlsx") : QString();
         }},
        {"an encrypted sheet", [&] {
             QFile sheet(at("notxml.xlsx"));
             QByteArray encrypted = sheet.open(QIODevice::ReadOnly) ? sheet.readAll() : QByteArray();
             encrypted[6] = char(encrypted[6] | 1);
             encrypted[encrypted.indexOf("PK\x01\x02") + 8] = char(encrypted[encrypted.indexOf("PK\x01\x02") + 8] | 1);
             return writeFileBytes(at("encrypted.xlsx"), encrypted) ? at("encrypted.xlsx") : QString();
         }},
    };
    for (const auto &[what, make] : cases) {
        SCOPED_TRACE(what);
        const QString path = make();
        ASSERT_FALSE(path.isEmpty());
        const SpreadsheetRows read = SpreadsheetWriter::ReadData(path, 1);
        EXPECT_FALSE(read.ok());
        EXPECT_TRUE(read.rows.isEmpty());
        EXPECT_FALSE(read.error.isEmpty());
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).filter(QStringLiteral("evil")), QStringList());
    EXPECT_FALSE(QFileInfo::exists(QDir::temp().filePath(QStringLiteral("evil.txt"))));
    EXPECT_EQ(ZipArchiveReader(at("text.xlsx")).errorString(), QStringLiteral("The file \"text.xlsx\" is not a workbook or is damaged."));
}

// A packed folder keeps its layout under names relative to the folder packed, an empty folder as an
// entry of its own, every file deflated; Python's zipfile checks the archive independently.
TEST(ZipArchive, PackedFoldersReadBackHereAndInAnIndependentReader)
{
    QTemporaryDir dir;
    const QString scratch = dir.filePath(QStringLiteral("scratch"));
    ASSERT_TRUE(QDir().mkpath(scratch + QStringLiteral("/xl/worksheets")) && QDir().mkpath(scratch + QStringLiteral("/empty")));
    ASSERT_TRUE(writeFileBytes(scratch + QStringLiteral("/[Content_Types].xml"), "<Types/>"));
    ASSERT_TRUE(writeFileBytes(scratch + QStringLiteral("/xl/worksheets/sheet1.xml"), QByteArray(100000, 'a')));
    const QString target = dir.filePath(QStringLiteral("packed.zip"));
    ASSERT_TRUE(writeFileBytes(target, "an older archive"));
    QStringList top;
    for (const QString &entry : QDir(scratch).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name))
        top << scratch + QLatin1Char('/') + entry;
    ASSERT_TRUE(SSZipArchive::createZipFileAtPath(target, top));

    const QStringList names{"[Content_Types].xml", "empty/", "xl/worksheets/sheet1.xml"};
    ZipArchiveReader zip(target);
    EXPECT_EQ(zip.entryNames(), names);
    EXPECT_EQ(zip.read(QStringLiteral("xl/worksheets/sheet1.xml")), QByteArray(100000, 'a'));

    // An entry asked stored is written without compression (method 0); an empty entry is a member too.
    const QString mixed = dir.filePath(QStringLiteral("mixed.zip"));
    SSZipArchive archive(mixed);
    ASSERT_TRUE(archive.open() && archive.writeData("text/plain", QStringLiteral("mimetype"), SSZipArchive::Method::Stored)
                && archive.writeData(QByteArray(1000, 'b'), QStringLiteral("content.xml"))
                && archive.writeData({}, QStringLiteral("empty.xml")) && archive.close());

    // Nothing to pack still makes an archive, of no entries.
    const QString none = dir.filePath(QStringLiteral("none.zip"));
    ASSERT_TRUE(SSZipArchive::createZipFileAtPath(none, {dir.filePath(QStringLiteral("absent"))}));

    const std::optional<QString> listing = runPython(
        QStringLiteral("import sys, zipfile\nfor a in sys.argv[1:]:\n z = zipfile.ZipFile(a)\n assert z.testzip() is None\n"
                       " print(' '.join('%s:%d:%d:%d' % (i.filename, i.compress_type, i.date_time[1], i.file_size)"
                       " for i in z.infolist()))"),
        {target, none, mixed});
    if (!listing)
        GTEST_SKIP() << "/usr/bin/python3 is not installed";
    const QString month = QString::number(QDate::currentDate().month());
    EXPECT_EQ(*listing, QStringLiteral("[Content_Types].xml:8:1:8 empty/:8:1:0 xl/worksheets/sheet1.xml:8:1:100000\n\n"
                                       "mimetype:0:%1:10 content.xml:8:%1:1000 empty.xml:8:%1:0")
                            .arg(month));
}

// A write that fails says why and leaves the file that was there, and no file of its own; so does
// an archive abandoned unclosed, and one refused a name longer than an entry holds (this libzip
// would write the name cut).
TEST(ZipArchive, AFailedWriteLeavesTheFileThatWasThere)
{
    QTemporaryDir dir;
    const QString kept = dir.filePath(QStringLiteral("kept.zip")), missing = dir.filePath(QStringLiteral("missing/new.zip"));
    const struct {
        const char *what;
        QString path;
        std::function<bool(SSZipArchive &)> finish;
        QString error;
    } cases[] = {
        {"the target's folder missing", missing, [](SSZipArchive &zip) { return zip.close(); },
         QStringLiteral("No such folder: ") + dir.filePath(QStringLiteral("missing"))},
        {"a full disk", kept, [](SSZipArchive &zip) { const ScopedFullDisk full; return zip.close(); },
         QStringLiteral("There is no space left on the disk.")},
        {"abandoned", kept, [](SSZipArchive &) { return false; }, QString()},
        {"a name of 70000 bytes", kept, [](SSZipArchive &zip) { return zip.writeData("x", QString(70000, u'n')); },
         QStringLiteral("An entry's name holds at most 65535 bytes.")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(writeFileBytes(kept, "an older archive"));
        {
            SSZipArchive zip(c.path);
            ASSERT_TRUE(zip.open() && zip.writeData("<x/>", QStringLiteral("content.xml")));
            EXPECT_FALSE(c.finish(zip));
            EXPECT_EQ(zip.errorString(), c.error);
        }
        EXPECT_EQ(fileBytes(kept), QByteArray("an older archive"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"kept.zip"});
    }
}

// A workbook whose central directory keeps its sizes in zip64 fields, as "zip -fz" makes it, reads,
// a stored entry too. Those sizes still bound an entry; a size that says it is in a zip64 field
// that is not there makes the directory damaged; a wrong checksum is found.
TEST(ZipArchive, ReadsZip64Workbooks)
{
    const QString zip = QStandardPaths::findExecutable(QStringLiteral("zip"));
    if (zip.isEmpty())
        GTEST_SKIP() << "zip is not installed";
    QTemporaryDir dir;
    const QByteArray sheet = R"(<worksheet><sheetData><row><c t="inlineStr"><is><t>zip64</t></is></c></row></sheetData></worksheet>)";
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("xl/worksheets")) && writeFileBytes(dir.filePath("xl/worksheets/sheet1.xml"), sheet)
                && writeFileBytes(dir.filePath("notes.txt"), "stored"));
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.start(zip, {"-q", "-X", "-fz", "-n", ".txt", "book.xlsx", "xl/worksheets/sheet1.xml", "notes.txt"});
    ASSERT_TRUE(process.waitForFinished(30000) && process.exitCode() == 0) << process.readAllStandardError().constData();
    const QString book = dir.filePath(QStringLiteral("book.xlsx"));
    EXPECT_EQ(SpreadsheetWriter::ReadData(book, 1).rows, QList<QStringList>{{"zip64"}});
    EXPECT_EQ(ZipArchiveReader(book).read(QStringLiteral("notes.txt")), QByteArray("stored"));
    const auto refusedBelow = [](const QString &path, qint64 limit) {
        ZipArchiveReader reader(path, limit);
        return !reader.read(QStringLiteral("xl/worksheets/sheet1.xml")) && reader.errorCode() == ZipArchiveReader::Refused;
    };
    EXPECT_FALSE(refusedBelow(book, sheet.size()));
    EXPECT_TRUE(refusedBelow(book, sheet.size() - 1));

    QFile file(book);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const qsizetype central = bytes.indexOf("PK\x01\x02"); // the sheet's entry: its checksum, then its extra field
    const qsizetype extra = central + 46 + qFromLittleEndian<quint16>(bytes.constData() + central + 28);
    ASSERT_EQ(bytes.mid(extra, 2), QByteArray("\x01\x00", 2));
    QByteArray unknown = bytes, damaged = bytes;
    unknown[extra] = 'u';
    damaged[14] = char(damaged[14] ^ 1);
    damaged[central + 16] = char(damaged[central + 16] ^ 1);
    ASSERT_TRUE(writeFileBytes(dir.filePath("unknown.xlsx"), unknown) && writeFileBytes(dir.filePath("damaged.xlsx"), damaged));
    EXPECT_EQ(SpreadsheetWriter::ReadData(dir.filePath("unknown.xlsx"), 1).error,
              QStringLiteral("The file \"unknown.xlsx\" is not a workbook or is damaged."));
    EXPECT_EQ(SpreadsheetWriter::ReadData(dir.filePath("damaged.xlsx"), 1).error,
              QStringLiteral("The entry \"xl/worksheets/sheet1.xml\" is damaged."));
}

// Every place a zip64 field or record may keep an entry's sizes, its offset or the directory's
// counts reads as Python's zipfile reads it, each value alone or together; the sizes found there
// still bound an entry, and a size there that is not the entry's makes it damaged for both.
TEST(ZipArchive, ReadsEveryZip64Form)
{
    // Lays the archive by hand: the letters of the form are the values every entry keeps in its
    // zip64 field (u uncompressed size, c compressed size, o local header offset), "e" adds the
    // zip64 end records; `lie` is added to the zip64 uncompressed size.
    const QString script = QStringLiteral(R"(
import struct as s, sys, zlib, zipfile
out, form, lie, M, body, central = sys.argv[1], sys.argv[2], int(sys.argv[3]), 0xFFFFFFFF, b"", b""
field = lambda v: s.pack("<HH%dQ" % len(v), 1, 8 * len(v), *v) if v else b""
for name, raw, method in ((b"xl/worksheets/sheet1.xml", sys.argv[4].encode(), 8), (b"notes.txt", b"stored", 0)):
    packed, crc = zlib.compress(raw)[2:-4] if method else raw, zlib.crc32(raw)
    v = dict(u=len(raw) + lie, c=len(packed), o=len(body))
    wide = "u" in form or "c" in form
    local = field([v["u"], v["c"]]) if wide else b""
    body += s.pack("<IHHHHHIIIHH", 0x04034B50, 45, 0, method, 0, 0x21, crc, *((M, M) if wide else (v["c"], len(raw))),
                   len(name), len(local)) + name + local + packed
    plain = {k: M if k in form else len(raw) if k == "u" else v[k] for k in "uco"}
    extra = field([v[k] for k in "uco" if k in form])
    central += s.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 45, 45, 0, method, 0, 0x21, crc, plain["c"], plain["u"], len(name),
                      len(extra), 0, 0, 0, 0, plain["o"]) + name + extra
end = [2, 2, len(central), len(body)]
if "e" in form:
    central += s.pack("<IQHHIIQQQQIIQI", 0x06064B50, 44, 45, 45, 0, 0, 2, 2, end[2], end[3], 0x07064B50, 0, end[3] + end[2], 1)
    end = [0xFFFF, 0xFFFF, M, M]
open(out, "wb").write(body + central + s.pack("<IHHHHIIH", 0x06054B50, 0, 0, *end, 0))
try:
    print(" ".join(zipfile.ZipFile(out).read(name).decode() for name in ("xl/worksheets/sheet1.xml", "notes.txt")))
except zipfile.BadZipFile:
    print("damaged")
)");
    const QByteArray sheet = R"(<worksheet><sheetData><row><c t="inlineStr"><is><t>zip64</t></is></c></row></sheetData></worksheet>)";
    const QString sheetPart = QStringLiteral("xl/worksheets/sheet1.xml");
    const std::pair<const char *, int> cases[] = {{"u", 0}, {"c", 0}, {"o", 0}, {"uco", 0}, {"e", 0}, {"ucoe", 0}, {"u", -1}, {"ucoe", -1}};
    QTemporaryDir dir;
    for (const auto &[form, lie] : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2").arg(QLatin1String(form)).arg(lie).toStdString());
        const QString path = dir.filePath(QStringLiteral("%1%2.xlsx").arg(QLatin1String(form)).arg(lie));
        const std::optional<QString> python = runPython(script, {path, form, QString::number(lie), sheet});
        if (!python)
            GTEST_SKIP() << "/usr/bin/python3 is not installed";
        ZipArchiveReader zip(path);
        const std::optional<QByteArray> part = zip.read(sheetPart), notes = zip.read(QStringLiteral("notes.txt"));
        EXPECT_EQ((part && notes ? *part + ' ' + *notes : "damaged").toStdString(), python->toStdString());
        EXPECT_EQ(*python == QLatin1String("damaged"), lie != 0);
        EXPECT_EQ(SpreadsheetWriter::ReadData(path, 1).rows, lie ? QList<QStringList>() : QList<QStringList>{{"zip64"}});
        ZipArchiveReader below(path, sheet.size() + lie - 1);
        EXPECT_TRUE(!below.read(sheetPart) && below.errorCode() == ZipArchiveReader::Refused);
    }
}

// An archive whose end records claim more entries, or a larger directory, than the reader takes is
// refused from those records alone, before libzip loads the directory: at once and without memory
// to speak of, also when a harmless record comes last. Records that libzip would not believe (the
// signature met by chance in a part) refuse nothing; what reads, reads as Python's zipfile reads it.
TEST(ZipArchive, HugeDirectoriesAreRefusedBeforeTheyAreLoaded)
{
    // Directories of real 46-byte entries (no local headers: libzip loads a directory before it
    // looks at them); "last.bin", stored, is the package's last part.
    const QString script = QStringLiteral(R"(
import io, struct as s, sys, zipfile
out, form = sys.argv[1], sys.argv[2]
entry = lambda name=b"", extra=b"", at=0: s.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, 20, 0, 0, 0, 0x21, 0, 0, 0, len(name),
                                                   len(extra), 0, 0, 0, 0, at) + name + extra
end = lambda n, size, offset, disks=(0, 0), m=None: s.pack("<IHHHHIIH", 0x06054B50, *disks, n, n if m is None else m, size, offset, 0)
zip64 = lambda n, size, offset, at: s.pack("<IQHHIIQQQQIIQI", 0x06064B50, 44, 45, 45, 0, 0, n, n, size, offset, 0x07064B50, 0, at, 1)
def package(last=None, comment=b""):
    b = io.BytesIO()
    with zipfile.ZipFile(b, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("xl/worksheets/sheet1.xml", "<worksheet/>")
        if last is not None:
            z.writestr(zipfile.ZipInfo("xl/embeddings/last.bin"), last)
        z.comment = comment
    return b.getvalue()
many = entry() * (1000000 if form == "zip64" else 200000)
if form == "zip64":
    data = many + zip64(1000000, len(many), 0, len(many)) + end(0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF)
elif form == "wrapped":  # a count kept modulo 65536, as some writers do past it
    data = many + end(200000 % 65536, len(many), 0)
elif form == "hidden":
    body = many + zip64(200000, len(many), 0, len(many)) + end(0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF)
    local = s.pack("<IHHHHHIIIHH", 0x04034B50, 20, 0, 0, 0, 0x21, 0, 0, 0, 5, 0) + b"a.txt"
    central = entry(b"a.txt", at=len(body))
    data = body + local + central + end(1, len(central), len(body) + len(local))
elif form == "extras":
    directory = b"".join(entry(b"%05d" % i, b"\x77\x77\x00\x00" * 105) for i in range(10000))
    data = directory + end(10000, len(directory), 0)
elif form == "embedded":
    inner = io.BytesIO()
    with zipfile.ZipFile(inner, "w") as z:
        z.writestr("inner.txt", "x")
    data = package(inner.getvalue())
elif form == "chance":  # another disk, counts that differ, a directory past the record
    data = package(end(60000, 0, 0, (1, 0)) + end(60000, 0, 0, m=50000) + end(60000, 0x7FFFFFFF, 0))
elif form == "comment":  # a record that libzip tries, but whose directory has no room for what it claims
    data = package(b"", end(60000, 0, 0))
open(out, "wb").write(data)
if form in ("embedded", "chance"):
    print(" ".join(zipfile.ZipFile(out).namelist()))
)");
    const QString entries = QStringLiteral("The archive holds more than 10000 entries.");
    const QString directory = QStringLiteral("The archive's list of entries is larger than 4 MB.");
    const std::pair<const char *, QString> cases[] = {
        {"zip64", entries},    {"wrapped", directory}, {"hidden", entries},
        {"extras", directory}, {"embedded", QString()}, {"chance", QString()},
        {"comment", QStringLiteral("The archive's end records claim more than 10000 entries.")},
    };
    QTemporaryDir dir;
    for (const auto &[form, refusal] : cases) {
        SCOPED_TRACE(form);
        const QString path = dir.filePath(QLatin1String(form) + QStringLiteral(".xlsx"));
        const std::optional<QString> python = runPython(script, {path, QLatin1String(form)});
        if (!python)
            GTEST_SKIP() << "/usr/bin/python3 is not installed";
        ASSERT_FALSE(python->startsWith(QLatin1String("failed"))) << python->toStdString();
        std::optional<ZipArchiveReader> zip;
        {
            const HangGuard guard(300);
            EXPECT_LT(memoryTakenBy([&] { zip.emplace(path); }), 8 << 20);
        }
        EXPECT_EQ(zip->errorString().toStdString(), refusal.toStdString());
        if (!refusal.isEmpty()) {
            EXPECT_EQ(zip->errorCode(), ZipArchiveReader::Refused);
            continue;
        }
        EXPECT_EQ(zip->entryNames().join(QLatin1Char(' ')).toStdString(), python->toStdString());
        EXPECT_EQ(zip->read(QStringLiteral("xl/worksheets/sheet1.xml")), QByteArray("<worksheet/>"));
    }
}

// A workbook that cannot be read says why in plain words, the system's reason for a file the user
// may not read, and the method's name for an entry compressed in a way not read here; the reason
// reaches the workbook's reader unchanged.
TEST(ZipArchive, SaysWhyAWorkbookCannotBeRead)
{
    QTemporaryDir dir;
    const auto at = [&](const QString &name) { return dir.filePath(name); };
    const QByteArray workbook = fileBytes(dataFile(QStringLiteral("lo-plain.xlsx")));
    ASSERT_FALSE(workbook.isEmpty());
    // A one-sheet workbook whose sheet is said to be compressed with `method`.
    const auto compressedWith = [&](const QString &name, int method) {
        const std::optional<QString> python = runPython(QStringLiteral(R"(
import io, sys, zipfile
b = io.BytesIO()
with zipfile.ZipFile(b, "w") as z:
    z.writestr("xl/worksheets/sheet1.xml", "<worksheet/>")
data = bytearray(b.getvalue())
for signature, field in ((b"PK\x03\x04", 8), (b"PK\x01\x02", 10)):
    i = data.index(signature)
    data[i + field:i + field + 2] = int(sys.argv[2]).to_bytes(2, "little")
open(sys.argv[1], "wb").write(data)
)"), {at(name), QString::number(method)});
        return python && python->isEmpty() ? at(name) : QString();
    };
    const auto written = [&](const QString &name, const QByteArray &bytes) { return writeFileBytes(at(name), bytes) ? at(name) : QString(); };
    const auto notAWorkbook = [](const char *name) { return QStringLiteral("The file \"%1\" is not a workbook or is damaged.").arg(QLatin1String(name)); };
    const auto method = [](const char *name) {
        return QStringLiteral("The entry \"xl/worksheets/sheet1.xml\" is compressed with a method this program does not read (%1).")
            .arg(QLatin1String(name));
    };
    QByteArray damaged = workbook;
    damaged[damaged.indexOf("PK\x01\x02") + 2] = 'x';
    struct Case {
        const char *what;
        std::function<QString()> make;
        QString reason;
        ZipArchiveReader::ErrorCode code;
        bool asPlainUser = false;
    } cases[] = {
        {"a text file", [&] { return written("text.xlsx", "Name,City\n"); }, notAWorkbook("text.xlsx"), ZipArchiveReader::FailedToOpen},
        {"the first half of a workbook", [&] { return written("half.xlsx", workbook.left(workbook.size() / 2)); },
         notAWorkbook("half.xlsx"), ZipArchiveReader::FailedToOpen},
        {"a workbook whose directory is damaged", [&] { return written("damaged.xlsx", damaged); }, notAWorkbook("damaged.xlsx"),
         ZipArchiveReader::FailedToOpen},
        {"an archive without entries", [&] { return written("empty.xlsx", QByteArray("PK\x05\x06", 4) + QByteArray(18, '\0')); },
         notAWorkbook("empty.xlsx"), ZipArchiveReader::FailedToOpenFirst},
        {"a missing file", [&] { return at("missing.xlsx"); },
         QStringLiteral("The file \"missing.xlsx\" cannot be read: No such file or directory."), ZipArchiveReader::FailedToOpen},
        {"a workbook the user may not read",
         [&] {
             const QString path = written("locked.xlsx", workbook);
             return !path.isEmpty() && ::chmod(QFile::encodeName(path).constData(), 0) == 0 ? path : QString();
         },
         QStringLiteral("The file \"locked.xlsx\" cannot be read: Permission denied."), ZipArchiveReader::FailedToOpen, true},
        {"a sheet in Deflate64", [&] { return compressedWith("deflate64.xlsx", 9); }, method("Deflate64"), ZipArchiveReader::FailedToRead},
        {"a sheet in an unknown method", [&] { return compressedWith("method77.xlsx", 77); }, method("method 77"), ZipArchiveReader::FailedToRead},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = c.make();
        ASSERT_FALSE(path.isEmpty());
        const auto readsAsSaid = [&] {
            ZipArchiveReader zip(path);
            zip.read(QStringLiteral("xl/worksheets/sheet1.xml"));
            return zip.errorString() == c.reason && zip.errorCode() == c.code;
        };
        if (c.asPlainUser) {
            // Root reads every file: the check runs in a child that is not root.
            EXPECT_EQ(asPlainUser([&] { return readsAsSaid() ? 0 : 1; }), 0);
            continue;
        }
        EXPECT_TRUE(readsAsSaid()) << ZipArchiveReader(path).errorString().toStdString();
        EXPECT_EQ(SpreadsheetWriter::ReadData(path, 1).error.toStdString(), c.reason.toStdString());
    }
}
