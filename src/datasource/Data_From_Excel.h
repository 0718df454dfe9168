#pragma once

#include "document/DataBinding.h"
#include "platform/ObserverList.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <optional>

// The rows of the Excel worksheet a design is bound to, kept for the whole run. `ListData` holds one
// Excel row dictionary per loaded row ("Extension" = its number from 1, "Column1" … the bound
// columns' texts by position); the column titles are the names objects are bound under, the
// row-number column's first. The sheet picker fills both, the design file stores and restores both,
// the record engine reads them; the table that shows them (datasource/ui) follows the changes.
// Changed on the main thread only; a run reads it while nothing changes it.
class Data_From_Excel {
public:
    static const QString kRowNumberTitle; // title of the row-number column

    // The one store, made on first use.
    static Data_From_Excel *defaultInstance();

    Data_From_Excel() = default;
    Data_From_Excel(const Data_From_Excel &) = delete;
    Data_From_Excel &operator=(const Data_From_Excel &) = delete;

    // The key under which a row keeps the value of a column: "Extension" for the row-number column
    // 0, "Column%d" for the bound column k from 1.
    static QString columnKey(int column);

    // Back to the start of a run: no rows and the row-number column alone.
    void reset();

    // Appends one row built from the first `count` values (trimmed); a shorter list is logged and
    // adds nothing.
    void Create_List_By_Array(const QStringList &values, int count);
    // Appends a row holding only "Extension" = the trimmed text; nothing for a blank text. Here and in
    // setValue, each character XML cannot carry becomes U+FFFD.
    void Create_Value_List(const QString &text);
    // A new binding in one step: the bound columns' titles and one row per cell list, numbered from
    // 1, each keeping its first titles.size() values (trimmed); a shorter cell list is logged and
    // dropped, as Create_List_By_Array drops it.
    void bind(const QStringList &boundTitles, const QList<QStringList> &rows);

    // A row's value under a key; nothing outside the rows.
    QVariant value(const QString &key, int row) const;
    // Stores an edited value (as text: the design file keeps strings) under a key. A row outside
    // the rows is refused and logged.
    void setValue(const QVariant &value, const QString &key, int row);
    // From the first row: its number for column 0, else that column's value; "" without rows.
    QString Get_First_Value_Of_Excel_Binding(int column) const;

    // The design file's form: the titles of every column, the row-number column's first.
    QStringList columnTitles() const;
    // Keeps the row-number column and binds one column per title after the first. An empty list
    // leaves the columns as they are.
    void setColumnTitles(const QStringList &titles);
    // Replaces the rows.
    void setListData(const QList<QVariantMap> &rows);

    QList<QVariantMap> ListData;

    // Told after rows were added or replaced, and after the columns changed.
    platform::ObserverList<> rowsChanged;
    platform::ObserverList<> columnsChanged;

    // The one way a binding finds its column in the bound sheet, wherever it comes from (an undo, a
    // paste, a template, an open, a placement, a sheet taken again): the column of its number while
    // that column still has its title, else the one column with its title, else none (-1, the
    // title kept, so that a later sheet with that title brings it back). A binding without a title
    // (bound before titles were kept) takes the title of its column. `moves` are a sheet taken in
    // place of the bound one (see columnsRebound): a binding at a column named there goes where it
    // says and takes the title found there. Bindings of other sources are left as they are.
    void findColumn(DataBinding &binding, const QHash<int, int> &moves = {}) const;
    // The column titled `title`, from 0 the row-number column; -1 when no column or more than one
    // has it.
    int columnTitled(const QString &title) const;

    // A field bound to one of the bound columns (from 1), named as messages name it ("Front: Name").
    struct BoundField {
        QString name;
        int column = 0;
    };
    // Whatever holds fields bound to the columns (the design's sides, an open profile dialog)
    // appends its fields when asked; boundFields() gathers them, each name and column once.
    platform::ObserverList<QList<BoundField> &> listBoundFields;
    QList<BoundField> boundFields();
    // Told after a taken sheet replaced the bound one, with the new place of each bound column that
    // moved (from 1), -1 where the new sheet has no column for it, its own number where the user
    // kept a column that its title cannot find; a column not named stays. The holders find their
    // fields' columns (findColumn with these moves) and show the new columns.
    platform::ObserverList<const QHash<int, int> &> columnsRebound;

private:
    void appendRow(const QVariantMap &row);
    // Row `number` made of the first `count` values; nothing (logged) when there are fewer.
    static std::optional<QVariantMap> makeRow(const QStringList &values, int count, qsizetype number);

    void titlesChanged();

    QStringList m_boundTitles; // titles of Column1 …
    // Each title's column, -1 for a title of more than one; made when first asked after a change.
    mutable QHash<QString, int> m_places;
};
