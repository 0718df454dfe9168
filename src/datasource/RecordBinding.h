#pragma once

#include "canvas/Card_Side_Image.h"
#include "core/Image_Effect_Settings.h"
#include "document/SKTGraphic.h"
#include "platform/PictureReading.h"

#include <QHash>
#include <QSet>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

struct DesignSnapshot;

// Whether an object takes a record's value when it is bound: a text, a picture or a barcode, exactly.
bool takesRecords(const SKTGraphic &graphic);
// How messages name an object at `index` of a side (0 the front, 1 the back, -1 unsaid): a profile
// field by its name ("Front: Unique No."), any other object by its kind and place ("Back: Barcode 2").
QString boundObjectName(const SKTGraphic &graphic, int index, int side);
// "Front" or "Back".
QString sideName(int side);

// What writing one record into a side's objects gave. Every bound object is written whatever
// happens to the others; each one that could not take its value is named in `failures`, with why.
struct RecordOutcome {
    bool ok = true;
    QStringList failures;

    void fail(const QString &reason)
    {
        ok = false;
        failures.append(reason);
    }
};

// Everything a bound run reads of its sources, gathered on the GUI thread before the run and left
// alone afterwards: the values of each series the sides are bound to, by series name; the loaded
// Excel rows; which sources are in use and the record counts.
//
// `apply` reads nothing but this value and the objects it is given, so any thread may call it, at
// the same time, on different objects. Give it copies of a side's objects (a design snapshot),
// never the objects the user edits: it writes texts, pictures and barcode pictures into them.
class RecordBinding {
public:
    // The sources of a design: `front` and `back` are a side's objects, `back` empty for a design
    // of the front alone. Series files are read here, once; a bound series whose file is missing,
    // too large or not UTF-8 text is named in `problems` and gives "" for every record, and so does
    // each field bound to an Excel column that no loaded row has. A bound Excel column that only
    // some rows lack is logged once here and gives "" in those rows.
    // `mainPhotoEffects` are what the main photo object draws a record's picture with.
    // `excelTitles` (the row-number column's first) name the columns in messages.
    static RecordBinding load(const GraphicList &front, const GraphicList &back, const QList<QVariantMap> &excelRows,
                              const Image_Effect_Settings &mainPhotoEffects = {},
                              const QStringList &excelTitles = {});

    // The sources of the design whose sides these are, with the Excel rows loaded for binding. On the
    // GUI thread.
    static RecordBinding Check_Series_Or_Excel_Use_or_not(const GraphicList &front, const GraphicList &back,
                                                          const Image_Effect_Settings &mainPhotoEffects);

    // A run without a source the user switched off; the counts follow.
    void useSources(bool series, bool excel);

    // The value of record `record` (from 0) of the series `name`: "" past its end or for a series
    // that did not load. Untrimmed, as the file holds it.
    QString seriesValue(const QString &name, int record) const;
    // Of the Excel rows: column 0 the row's number from 1, column k the k-th bound column; "" past
    // the rows or for a column the row lacks.
    QString excelValue(int record, int column) const;

    // Writes record `record` into the bound texts, pictures and barcodes among `objects` (each
    // trimmed value, each barcode drawn again in its own settings) and leaves every other object
    // as it is. A record past the end of a source the run uses leaves its fields empty, and the
    // outcome names them. A picture is read only from a regular file, its pixels taken from `spend`
    // before it is decoded (refused: the field shows no picture and the record says why); a barcode
    // whose value cannot be encoded, or that has no value, is drawn as no symbol. An object bound to
    // a series that could not be used, or to a column the sheet lacks, is left empty and named in the
    // outcome, even in a run that does not use that source.
    // Thread-safe; see above.
    RecordOutcome apply(int record, GraphicList &objects, const platform::PixelSpender &spend = {}) const;
    // Record `record` written into copies of a side of the snapshot ("F" the front, any other code
    // the back) and that side drawn; the snapshot's own objects stay as they are. Objects that
    // failed are logged. `print_box` plays no part in the picture.
    Card_Side_Image Set_data_table_value_to_card(const DesignSnapshot &snapshot, int record, const QString &card_side,
                                                 bool print_box) const;
    // The design of a run that draws no records (one file, the same card in every cell or mail):
    // copies of its objects with the fields that cannot be used emptied, as in a run with records,
    // and everything else as the design has it. `design` stays as it is.
    DesignSnapshot withoutUnusableFields(const DesignSnapshot &design) const;

    bool Use_Data_Sheet_Values = false;    // bound to series that give at least one record
    bool Use_Excel_Binding_Values = false; // bound to Excel columns and rows are loaded
    int Data_table_rows = 0;               // the longest bound series, 0 when not in use
    int Excel_table_rows = 0;              // the loaded rows, 0 when not in use
    int Total_Batch_Excel_Card = 0;        // records of the run: the larger of the two

    // Bound series and fields that cannot be used, one message each, for a run's start to show.
    QStringList problems;
    // Asked when a run starts while bound series or fields cannot be used: they are named, and the
    // fields come out empty. False when the user does not go on; true when nothing is missing.
    bool Continue_Without_Missing_Series() const;

private:
    void count();
    // Bound to a column no loaded row has, or to a title the sheet no longer has at that column.
    bool missingColumn(const DataBinding &binding) const;

    QHash<QString, QStringList> m_series; // bound series that loaded, by name
    QSet<int> m_missingColumns;           // bound columns that no loaded row has
    QList<QVariantMap> m_rows;
    QStringList m_titles;
    Image_Effect_Settings m_mainPhotoEffects;
    bool m_seriesBound = false;
    bool m_excelBound = false;
    bool m_seriesAllowed = true;
    bool m_excelAllowed = true;
};
