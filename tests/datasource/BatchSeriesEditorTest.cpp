#include "CorpusTables.h"
#include "PythonReader.h"

#include "core/AppState.h"
#include "datasource/BatchSeriesEditor.h"
#include "datasource/SeriesImporter.h"
#include "datasource/SpreadsheetWriter.h"
#include "fixtures/ScriptedServices.h"
#include "fixtures/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

class BatchSeriesEditorTest : public ::testing::Test {
protected:
    AppFixture app;
    ScopedScriptedServices ui;
    BatchSeriesEditor editor;
    BatchSeriesManager *previous = installBatchWizard_Window(&editor);
    QDir folder{App().Data_Folder_Path};

    BatchSeriesEditorTest() { QDir().mkpath(folder.path()); }
    ~BatchSeriesEditorTest() override { installBatchWizard_Window(previous); }

    void write(const QString &name, const QByteArray &bytes)
    {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray read(const QString &name) const
    {
        QFile file(folder.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
    }
    QStringList names() const
    {
        QStringList found;
        for (const QVariantMap &row : editor.ListData)
            found << row.value(BatchSeriesEditor::kListKey).toString();
        return found;
    }
    QStringList values() const
    {
        QStringList found;
        for (int row = 0; row < editor.ListData_value.size(); ++row)
            found << editor.Get_Value_Text(row);
        return found;
    }
};

} // namespace

// A series opens, is edited value by value and saved back; under a new name it moves there, onto
// another series only after Yes, which keeps the opened one.
TEST_F(BatchSeriesEditorTest, OpenEditAndSave)
{
    write("Guests.txt", "a\n\n  b \nc\n");
    write("Other.txt", "x\n");
    editor.Fill_List();
    ASSERT_EQ(names(), (QStringList{"Guests", "Other"}));
    ASSERT_TRUE(editor.On_Update(0));
    EXPECT_EQ(values(), (QStringList{"a", "b", "c"}));
    EXPECT_FALSE(editor.modified);
    editor.Create_Value_List(QStringLiteral(" two\r\nlines "));
    EXPECT_TRUE(editor.Update_Value(0, QStringLiteral(" A "), QStringLiteral("a")));
    EXPECT_FALSE(editor.Update_Value(0, QStringLiteral("  "), QStringLiteral("A")));
    EXPECT_EQ(editor.Delete_Rows({2}, 2), 1);
    ASSERT_TRUE(editor.Save());
    EXPECT_EQ(read("Guests.txt"), "A\nb\ntwo lines\n");

    ASSERT_TRUE(editor.On_Update(0));
    editor.batch_list_name = QStringLiteral("/Friends?");
    ASSERT_TRUE(editor.Save());
    EXPECT_EQ(names(), (QStringList{"Friends", "Other"}));
    ASSERT_TRUE(editor.On_Update(0));
    editor.batch_list_name = QStringLiteral("Other");
    ui->yesNoAnswers = {false, true};
    EXPECT_FALSE(editor.Save());
    EXPECT_EQ(read("Other.txt"), "x\n");
    EXPECT_TRUE(editor.Save());
    EXPECT_EQ(read("Other.txt"), "A\nb\ntwo lines\n");
    EXPECT_EQ(read("Friends.txt"), "A\nb\ntwo lines\n");
    EXPECT_EQ(ui->questions, QStringList(2, "Batch Processing Series already exists. Do you want to replace it?"));
    EXPECT_EQ(ui->messages, QStringList{"\nPlease enter a valid value."});
}

// A series that cannot be saved back as read opens for viewing and keeps its file.
TEST_F(BatchSeriesEditorTest, ReadOnlyAndNonUtf8SeriesOpenForViewing)
{
    write("Latin.txt", "Caf\xE9\n");
    write("Locked.txt", "kept\n");
    ASSERT_TRUE(QFile::setPermissions(folder.filePath("Locked.txt"), QFile::ReadOwner | QFile::ReadUser));
    editor.Fill_List();
    ASSERT_TRUE(editor.On_Update(0));
    EXPECT_EQ(values(), QStringList{"Café"});
    editor.Create_Value_List(QStringLiteral("more"));
    EXPECT_FALSE(editor.Save());
    editor.batch_list_name = QStringLiteral("Latin copy");
    EXPECT_TRUE(editor.Save());
    EXPECT_EQ(read("Latin.txt"), "Caf\xE9\n");
    EXPECT_EQ(read("Latin copy.txt"), "Café\nmore\n");

    ASSERT_TRUE(editor.On_Update(names().indexOf("Locked")));
    editor.Create_Value_List(QStringLiteral("lost?"));
    EXPECT_FALSE(editor.Save());
    EXPECT_EQ(read("Locked.txt"), "kept\n");
    const QString notUtf8 = "The series \"Latin\" is not UTF-8 text. Its values are shown as read, but it can only be "
                            "saved under another name.";
    EXPECT_EQ(ui->messages, (QStringList{"\n" + notUtf8, "\nError in file accessing.\n\n" + notUtf8,
                                         "\nError in file accessing.\n\nThe file of the series \"Locked\" is read-only."}));
}

// Delete asks once, deletes what no design uses, says which stayed and reads the folder again.
TEST_F(BatchSeriesEditorTest, DeleteKeepsSeriesInUse)
{
    for (const char *name : {"A.txt", "B.txt", "C.txt", "D.txt"})
        write(QLatin1String(name), "v\n");
    editor.inUse = [](const QString &name) { return name == QLatin1String("B"); };
    editor.Fill_List();
    EXPECT_EQ(editor.Delete_Series({1, 2}, 1), std::nullopt);
    ui->yesNoAnswers = {std::nullopt, true, true};
    EXPECT_EQ(editor.Delete_Series({0, 2}, 2), std::nullopt);
    EXPECT_EQ(editor.Delete_Series({2}, 2), 1);
    EXPECT_EQ(names(), (QStringList{"A", "B", "D"}));
    EXPECT_EQ(editor.Delete_Series({0, 1, 2}, 0), -1);
    EXPECT_EQ(names(), QStringList{"B"});
    EXPECT_EQ(ui->messages, (QStringList{"\nBatch Processing Series can't be delete because it is currently in use.",
                                         "\nBatch Processing Series can't be delete because it is currently in use.\n\nB"}));
}

// Values leave only after a question when they changed; imports ask whether to keep the old ones.
TEST_F(BatchSeriesEditorTest, UnsavedValuesAreAskedAbout)
{
    editor.Add_New();
    EXPECT_TRUE(editor.Confirm_Leave());
    editor.Create_Value_List(QStringLiteral("one"));
    ui->yesNoAnswers = {std::nullopt, std::nullopt, false, true};
    EXPECT_FALSE(editor.Confirm_Leave());
    EXPECT_FALSE(editor.Prepare_Value_Import());
    EXPECT_EQ(values(), QStringList{"one"});
    EXPECT_TRUE(editor.Prepare_Value_Import());
    EXPECT_EQ(values(), QStringList{"one"});
    EXPECT_TRUE(editor.Confirm_Leave());
    EXPECT_EQ(read("Untitled.txt"), "one\n");
}

// Export writes the chosen format under its extension, asks before replacing a file the panel
// did not name, and reports failure instead of success.
TEST_F(BatchSeriesEditorTest, ExportWritesTheChosenFormat)
{
    QTemporaryDir out;
    editor.Add_New();
    for (const char *value : {"007", "Zoë", "A&B <c>", "12.5"})
        editor.Create_Value_List(QString::fromUtf8(value));
    ui->fileAnswers = {out.filePath("list.xlsx"), out.filePath("list.xlsx"), out.filePath("sub/x")};
    ui->formatAnswers = {1, 1, 0};
    EXPECT_EQ(editor.Export_Values(), out.filePath("list.txt"));
    ui->yesNoAnswers = {false};
    EXPECT_EQ(editor.Export_Values(), std::nullopt);
    EXPECT_EQ(editor.Export_Values(), std::nullopt);
    const QString workbook = out.filePath("list.xlsx");
    EXPECT_EQ(editor.Export_To(out.filePath("list.TXT"), QStringLiteral("xlsx")), workbook);
    QFile text(out.filePath("list.txt"));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_EQ(text.readAll(), "007\nZoë\nA&B <c>\n12.5\n");
    EXPECT_EQ(ui->questions, QStringList{"\"list.txt\" already exists. Do you want to replace it?"});
    EXPECT_TRUE(ui->messages.value(0).startsWith("\nError in file accessing.\n\n"));
    const QList<QStringList> expected{{"Batch Value"}, {"007"}, {"Zoë"}, {"A&B <c>"}, {"12.5"}};
    EXPECT_EQ(SpreadsheetWriter::ReadData(workbook, 1).rows, expected);

    const std::optional<QString> openpyxl = runPython(
        QStringLiteral("import json, sys, openpyxl\n"
                       "print(json.dumps([[str(v) for v in r] for r in openpyxl.load_workbook(sys.argv[1]).active.iter_rows(values_only=True)]))"),
        {workbook}, {QStringLiteral("openpyxl")});
    if (openpyxl) {
        EXPECT_EQ(*openpyxl, QStringLiteral(R"([["Batch Value"], ["007"], ["Zo\u00eb"], ["A&B <c>"], ["12.5"]])"));
    }
    const QString office = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    if (office.isEmpty())
        GTEST_SKIP() << "libreoffice is not installed";
    QProcess convert;
    convert.start(office, {"-env:UserInstallation=" + QUrl::fromLocalFile(out.filePath("profile")).toString(), "--headless",
                           "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76", "--outdir", out.path(), workbook});
    ASSERT_TRUE(convert.waitForFinished(180000));
    QFile csv(out.filePath("list.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll(), "Batch Value\n007\nZoë\nA&B <c>\n12.5\n");
}

// Each source becomes a new series file, or values of the series being edited.
TEST_F(BatchSeriesEditorTest, ImportsWriteASeriesOrFillTheEditedOne)
{
    SeriesImporter importer;
    importer.file_name_required = 1;
    EXPECT_TRUE(importer.Create_And_Save_Text_Data_Sheet(dataFile("list-styled.rtf"), QStringLiteral(" Styled ")));
    EXPECT_EQ(read("Styled.txt"), "Alpha\nBeta gamma\nCafé crème\nΕλληνικά\n東京\nPrice 5 €\nSet A\nLast\n");
    EXPECT_TRUE(importer.Create_And_Save_Manual_Paste_data_Sheet(QStringLiteral("\n a \n\n b\n"), QStringLiteral("Pasted")));
    EXPECT_EQ(read("Pasted.txt"), "a \n b\n");
    ui->yesNoAnswers = {false};
    EXPECT_FALSE(importer.Create_And_Save_Manual_Paste_data_Sheet(QStringLiteral("new"), QStringLiteral("Pasted")));
    EXPECT_FALSE(importer.Create_And_Save_Text_Data_Sheet(dataFile("missing.csv"), QStringLiteral("Gone")));
    EXPECT_EQ(read("Pasted.txt"), "a \n b\n");
    EXPECT_EQ(read("Gone.txt"), "<none>");

    importer.file_name_required = 0;
    importer.file_name_Insert = 1;
    editor.Add_New();
    EXPECT_TRUE(importer.Create_And_Save_Text_Data_Sheet(dataFile("csv-crlf.csv"), QString()));
    EXPECT_TRUE(importer.Create_And_Save_Image_data_Sheet(QStringLiteral(CARD_DATASOURCE_TEST_DATA), QString()));
    EXPECT_EQ(values(), (QStringList{"Name", "Comment", "Amount", "Smith, John", "He said \"hi\"", "12.50", "Plain", "7",
                                     "Multi line", "x", "3", "spaced", "x", "Last", "quoted only", "-1"}));
    EXPECT_EQ(names(), (QStringList{"Pasted", "Styled"}));
}
