#include "datasource/SeriesStore.h"

#include "core/AppState.h"
#include "datasource/BatchSeriesEditor.h"
#include "datasource/RecordBinding.h"
#include "datasource/SeriesGenerator.h"
#include "datasource/SeriesImporter.h"
#include "document/SKTText.h"
#include "fixtures/ScriptedServices.h"
#include "fixtures/TestSupport.h"
#include "platform/SafeFileWriter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <vector>

#include <sys/stat.h>

namespace {

void writeFile(const QString &path, const QByteArray &data = QByteArray("x"))
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(data);
}

// Each writer that makes a series of its own, writing `values` under the series `name`.
struct SeriesWriter {
    const char *what;
    std::function<bool(const QString &name, const QStringList &values)> write;
};

const SeriesWriter kWriters[] = {
    {"the generator",
     [](const QString &name, const QStringList &values) {
         SeriesGenerator::Fields constant;
         constant.mode = SeriesGenerator::Mode::Constant;
         constant.value = values.value(0);
         constant.count = QString::number(values.size());
         return SeriesGenerator::OKPressed(constant, name, 1, 0);
     }},
    {"the import wizard",
     [](const QString &name, const QStringList &values) {
         SeriesImporter importer;
         importer.file_name_required = 1;
         return importer.Create_And_Save_Manual_Paste_data_Sheet(values.join(u'\n'), name);
     }},
    {"the series manager",
     [](const QString &name, const QStringList &values) {
         BatchSeriesEditor editor;
         editor.Add_New();
         editor.batch_list_name = name;
         for (const QString &value : values)
             editor.Create_Value_List(value);
         return editor.Save();
     }},
};

class SeriesStoreTest : public ::testing::Test {
protected:
    AppFixture app;
    QTemporaryDir dir;

    QString path(const QString &name) const { return dir.filePath(name); }
};

} // namespace

TEST_F(SeriesStoreTest, SeriesAreTheRegularTextFilesOfTheSeriesFolderEachOnce)
{
    EXPECT_TRUE(Get_datasheet_File_Name_Array().isEmpty());
    const QDir folder(App().Data_Folder_Path);
    ASSERT_TRUE(QDir().mkpath(folder.path()));
    // Files other programs leave beside a series are no second series.
    for (const char *name : {"Guests.txt", "Numbers.csv", "A.txt", "A.csv", "Guests.txt~", ".hidden.txt", "B.TXT",
                             "Zebra.txt", "a.txt"})
        writeFile(folder.filePath(QLatin1String(name)));
    ASSERT_TRUE(folder.mkdir(QStringLiteral("Folder.txt")));
    ASSERT_EQ(mkfifo(QFile::encodeName(folder.filePath(QStringLiteral("Pipe.txt"))).constData(), 0600), 0);
    EXPECT_EQ(Get_datasheet_File_Name_Array(), (QStringList{"A", "Guests", "Zebra", "a"}));
}

TEST_F(SeriesStoreTest, TheFirstValueOfASeriesIsItsFirstLineAsWritten)
{
    ASSERT_TRUE(QDir().mkpath(App().Data_Folder_Path));
    writeFile(App().Data_Folder_Path + QStringLiteral("/Guests.txt"), "  Ann Lee \nBob\n");
    writeFile(App().Data_Folder_Path + QStringLiteral("/Windows.txt"), "Row one\r\nRow two\r\n");
    writeFile(App().Data_Folder_Path + QStringLiteral("/Single.txt"), "only");
    writeFile(App().Data_Folder_Path + QStringLiteral("/Empty.txt"), "");
    writeFile(App().Data_Folder_Path + QStringLiteral("/Accents.txt"), "Gr\xC3\xBC\xC3\x9F Gott\n");
    writeFile(App().Data_Folder_Path + QStringLiteral("/Latin1.txt"), "Gr\xFC\xDF Gott\n");
    ASSERT_EQ(mkfifo(QFile::encodeName(App().Data_Folder_Path + QStringLiteral("/Pipe.txt")).constData(), 0600), 0);
    writeFile(app.resourcePath() + QStringLiteral("outside.txt"), "secret\n");
    const struct {
        const char *name;
        const char *first;
    } cases[] = {{"Guests", "  Ann Lee "}, {"Windows", "Row one\r"}, {"Single", "only"}, {"Empty", ""},
                 {"Accents", "Gr\xC3\xBC\xC3\x9F Gott"}, {"Missing", ""}, {"", ""},
                 // Not UTF-8, or a FIFO that would never end.
                 {"Latin1", ""}, {"Pipe", ""},
                 // Names lead to files of the series folder only.
                 {"../outside", ""}, {"..", ""}};
    for (const auto &c : cases)
        EXPECT_EQ(Get_First_Value_Of_Dataset(QString::fromUtf8(c.name)), QString::fromUtf8(c.first)) << c.name;
}

TEST_F(SeriesStoreTest, SeriesAreWrittenWholeUnderSafeNamesAndReadBackInEachForm)
{
    ScopedScriptedServices services;
    ASSERT_TRUE(QDir().mkpath(App().Data_Folder_Path));
    // A refused name would have written into the series folder or the one above it.
    const auto everything = [this] {
        return QDir(app.resourcePath()).entryList(QDir::AllEntries | QDir::Hidden)
               + QDir(App().Data_Folder_Path).entryList(QDir::AllEntries | QDir::Hidden);
    };
    const QString file = Series_File_Path(QStringLiteral("Guests"));
    const QString separator = QStringLiteral("hold \"/\" or \"\\\", which separate folders."),
                  breaks = QStringLiteral("hold line breaks, tabs or other control characters.");
    const struct {
        QString name;
        QStringList values;
        bool append;
        QByteArray bytes;            // the file afterwards
        QStringList records, listed; // as a bound run counts them, as lists show them
        QString refused;             // why the name is refused, after "A series name cannot "
    } steps[] = {
        {"Guests", {"Ann", "", " Bob "}, false, "Ann\n\n Bob \n", {"Ann", "", " Bob"}, {"Ann", "Bob"}, {}},
        {"Guests", {"Cy"}, true, "Ann\n\n Bob \nCy\n", {"Ann", "", " Bob ", "Cy"}, {"Ann", "Bob", "Cy"}, {}},
        {"Guests", {}, false, "", {""}, {}, {}},
        // Names that lead out of the folder, are cut short or split, or would never be listed, write
        // nothing anywhere.
        {"", {"x"}, false, "", {""}, {}, "be empty."},
        {"..", {"x"}, true, "", {""}, {}, "be \".\" or \"..\", which name folders."},
        {"../Guests", {"x"}, false, "", {""}, {}, separator},
        {"A\\Guests", {"x"}, false, "", {""}, {}, separator},
        {QStringLiteral("Guests") + QChar(0) + "B", {"x"}, true, "", {""}, {}, breaks},
        {"Guests\r\nB", {"x"}, false, "", {""}, {}, breaks},
        {"Guests\tB", {"x"}, false, "", {""}, {}, breaks},
        {QStringLiteral("Guests\u2028B"), {"x"}, false, "", {""}, {}, breaks},
        {QStringLiteral("Guests\u2029B"), {"x"}, false, "", {""}, {}, breaks},
        {".Guests", {"x"}, false, "", {""}, {}, "begin with \".\", which would hide it from the list of series."},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.name.toStdString());
        const QStringList before = everything();
        const bool safe = step.refused.isEmpty();
        EXPECT_EQ(Write_Series_File(step.name, step.values, step.append), safe);
        EXPECT_EQ(services->messages,
                  safe ? QStringList() : QStringList{"\nThis series name cannot be used.\n\nA series name cannot " + step.refused});
        services->messages.clear();
        EXPECT_EQ(everything(), safe ? everything() : before);
        const std::optional<QString> text = Read_Series_Text(file);
        ASSERT_TRUE(text.has_value());
        EXPECT_EQ(text->toUtf8(), step.bytes);
        EXPECT_EQ(Series_Record_Values(*text), step.records);
        EXPECT_EQ(Series_List_Values(*text), step.listed);
    }
    EXPECT_TRUE(platform::leftoverTemporaryFiles(file).isEmpty());

    // A series that does not read as one is not appended to: its bytes stay as they were.
    writeFile(file, "caf\xE9\n");
    EXPECT_FALSE(Write_Series_File(QStringLiteral("Guests"), {QStringLiteral("more")}, true));
    EXPECT_FALSE(Read_Series_Text(file).has_value());
    EXPECT_EQ(QFileInfo(file).size(), 5);
}

// One check of the limits serves every writer and reader: a series past them is refused, named,
// with the limit said, and neither written nor read.
TEST_F(SeriesStoreTest, ASeriesPastItsLimitsIsNeitherWrittenNorRead)
{
    ScopedScriptedServices services;
    ASSERT_TRUE(QDir().mkpath(App().Data_Folder_Path));
    const QString file = Series_File_Path(QStringLiteral("Big")), tooMany = QStringLiteral("it has more than 1,000,000 "
                                                                                          "values, the most a series may have");
    const QByteArray one("1\n"), mb(1 << 20, 'x');
    const struct {
        QByteArray old, added;
        QString problem; // none: within the limits
    } cases[] = {{{}, one.repeated(1000000), {}}, {{}, one.repeated(1000001), tooMany},
                 {one.repeated(600000), one.repeated(400001), tooMany}, {mb.repeated(15).chopped(1) + '\n', mb.chopped(1) + '\n', {}},
                 {mb.repeated(10).chopped(1) + '\n', mb.repeated(6) + '\n', QStringLiteral("it is larger than 16 MB, the most a series may be")}};
    for (const auto &c : cases) {
        writeFile(file, c.old);
        services->messages.clear();
        EXPECT_EQ(Write_Series_File(QStringLiteral("Big"), c.added, true), c.problem.isEmpty());
        EXPECT_EQ(services->messages.join(u'|'),
                  c.problem.isEmpty() ? QString() : "\nThe series \"Big\" cannot be written: " + c.problem + '.');
        QFile written(file);
        EXPECT_TRUE(written.open(QIODevice::ReadOnly) && written.readAll() == (c.problem.isEmpty() ? c.old + c.added : c.old));
        // The same bytes put there by another program are not read.
        writeFile(file, c.old + c.added);
        QString error;
        EXPECT_EQ(Read_Series_Text(file, &error).has_value(), c.problem.isEmpty());
        EXPECT_EQ(error, c.problem);
    }
}

// A series file the user may not write is refused by every writer: the box names the series, its
// file and why, and the file keeps its values. Run as a plain user: root writes anything.
TEST_F(SeriesStoreTest, ASeriesThatCannotBeWrittenIsSaidWithItsFileAndWhy)
{
    ScopedScriptedServices services;
    ASSERT_TRUE(QDir().mkpath(App().Data_Folder_Path));
    // Folders the plain user may write in, so that only the file's own protection stands in the way.
    for (const QString &folder : {app.resourcePath(), App().Data_Folder_Path})
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 01777), 0);
    const QString file = Series_File_Path(QStringLiteral("Locked"));
    ASSERT_TRUE(writeFileBytes(file, "kept\n"));
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0444), 0);
    std::vector<SeriesWriter> writers(std::begin(kWriters), std::end(kWriters));
    writers.push_back({"the store, extending", [](const QString &name, const QStringList &values) {
                           return Write_Series_File(name, values, true);
                       }});
    for (const SeriesWriter &writer : writers) {
        SCOPED_TRACE(writer.what);
        const int outcome = asPlainUser([&] {
            services->messages.clear();
            services->yesNoAnswers = {true};
            if (writer.write(QStringLiteral("Locked"), {QStringLiteral("new"), QStringLiteral("new")}))
                return 1;
            const QString shown = services->messages.join(u'|');
            if (!shown.startsWith(QStringLiteral("\nError in file accessing.\n\nThe series \"Locked\" cannot be written"))
                || !shown.contains(file) || !shown.contains(QStringLiteral("read-only"))) {
                std::fprintf(stderr, "shown: %s\n", qPrintable(shown));
                return 2;
            }
            return fileBytes(file) == "kept\n" && platform::leftoverTemporaryFiles(file).isEmpty() ? 0 : 3;
        });
        EXPECT_EQ(outcome, 0) << "1: written, 2: the box does not say which file and why, 3: the file changed";
    }
}

// Series stored under a name that holds U+2028 or U+2029, before such names were refused, keep it:
// listed, read, written back and used by a run without a question. No series is given such a name
// now, whether new or over the stored one: each writer says why.
TEST_F(SeriesStoreTest, SeriesStoredUnderANameNoLongerGivenKeepIt)
{
    ScopedScriptedServices services;
    const QDir folder(App().Data_Folder_Path);
    ASSERT_TRUE(QDir().mkpath(folder.path()));
    const QString line = QStringLiteral("Guests\u2028Table 1"), paragraph = QStringLiteral("Menu\u2029Card");
    for (const QString &name : {line, paragraph, QStringLiteral(".Hidden")})
        writeFile(folder.filePath(name + QStringLiteral(".txt")), "Ann\n Bob \n");
    EXPECT_EQ(Get_datasheet_File_Name_Array(), (QStringList{line, paragraph}));
    EXPECT_EQ(Get_First_Value_Of_Dataset(line), QStringLiteral("Ann"));

    auto text = std::make_shared<SKTText>();
    text->binding.data_source_type = 1;
    text->binding.batch_list_name = line;
    const RecordBinding binding = RecordBinding::load({text}, {}, {});
    EXPECT_EQ(binding.problems, QStringList());
    EXPECT_TRUE(binding.Continue_Without_Missing_Series());
    EXPECT_EQ(binding.Data_table_rows, 2);

    // The manager saves the opened series back under its name.
    BatchSeriesEditor editor;
    editor.Fill_List();
    ASSERT_TRUE(editor.On_Update(0));
    editor.Create_Value_List(QStringLiteral("Cy"));
    EXPECT_TRUE(editor.Save());
    EXPECT_EQ(fileBytes(folder.filePath(line + QStringLiteral(".txt"))), "Ann\nBob\nCy\n");
    EXPECT_EQ(services->messages, QStringList());
    EXPECT_EQ(services->questions, QStringList());

    const QString refusal = QStringLiteral("\nThis series name cannot be used.\n\nA series name cannot hold line breaks, tabs "
                                           "or other control characters.");
    for (const SeriesWriter &writer : kWriters) {
        for (const QString &name : {paragraph, QStringLiteral("New\u2028Series")}) {
            SCOPED_TRACE(std::string(writer.what) + " " + name.toStdString());
            services->messages.clear();
            services->yesNoAnswers = {true};
            EXPECT_FALSE(writer.write(name, {QStringLiteral("X"), QStringLiteral("X")}));
            EXPECT_EQ(services->messages, QStringList{refusal});
            EXPECT_EQ(services->questions, QStringList());
        }
    }
    EXPECT_EQ(fileBytes(folder.filePath(paragraph + QStringLiteral(".txt"))), "Ann\n Bob \n");
    EXPECT_EQ(Get_datasheet_File_Name_Array(), (QStringList{line, paragraph}));
}
