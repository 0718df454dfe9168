#include "datasource/readers/SheetRowsBuilder.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

QString show(SheetRowsBuilder &builder)
{
    const SpreadsheetRows read = builder.finish(QStringLiteral("sheet"));
    if (!read.ok())
        return QStringLiteral("error");
    QStringList lines;
    for (const QStringList &row : read.rows)
        lines << (row.size() == read.columnCount ? QStringLiteral("[") + row.join(u'|') + u']' : QStringLiteral("unpadded"));
    return lines.join(u' ');
}

} // namespace

// Rows come out padded to the widest; repeated empties at the end of a row or a table take
// nothing; a table that would pass the row, column or cell bounds fails before taking memory.
TEST(SheetRowsBuilder, PadsRowsAndHoldsTablesToTheirBounds)
{
    using Empty = SheetRowsBuilder::EmptyRows;
    const struct {
        const char *what;
        Empty emptyRows;
        std::function<void(SheetRowsBuilder &)> build;
        const char *expected;
    } cases[] = {
        {"written empty rows and a declared width", Empty::Kept,
         [](SheetRowsBuilder &b) {
             b.widen(3);
             b.beginRow();
             b.endRow();
             b.beginRow();
             b.setCell(2, QStringLiteral("x"));
             b.endRow();
         },
         "[||] [|x|]"},
        {"values filled in after the rows", Empty::Kept,
         [](SheetRowsBuilder &b) {
             b.beginRow();
             b.setCell(3, QString());
             b.endRow();
             b.fill(0, 3, QStringLiteral("late"));
         },
         "[||late]"},
        {"empty rows only before a value, repeats expanded", Empty::UpToTheLastValue,
         [](SheetRowsBuilder &b) {
             b.beginRow();
             b.endRow(2);
             b.beginRow();
             b.setCell(2, QStringLiteral("a"), 2);
             b.endRow(2);
             b.beginRow();
             b.endRow(1000000000);
         },
         "[||] [||] [|a|a] [|a|a]"},
        {"a value repeated past the last column", Empty::UpToTheLastValue,
         [](SheetRowsBuilder &b) {
             b.beginRow();
             b.setCell(2, QStringLiteral("a"), SheetRowsBuilder::kMaxColumns);
         },
         "error"},
        {"a row of values repeated past the last row", Empty::UpToTheLastValue,
         [](SheetRowsBuilder &b) {
             b.beginRow();
             b.setCell(1, QStringLiteral("a"));
             b.endRow(SheetRowsBuilder::kMaxRows + 1);
         },
         "error"},
        {"full-width rows past the cell bound", Empty::Kept,
         [](SheetRowsBuilder &b) {
             b.widen(SheetRowsBuilder::kMaxColumns);
             for (int i = 0; i < 300 && !b.failed(); ++i) {
                 b.beginRow();
                 b.endRow();
             }
         },
         "error"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        SheetRowsBuilder builder(c.emptyRows);
        c.build(builder);
        EXPECT_EQ(show(builder), QString::fromUtf8(c.expected));
    }
}
