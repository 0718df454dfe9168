#pragma once

#include <QDateTime>
#include <QString>

// Dates and times as text, by the program's Unicode date patterns.

// `when` formatted with a Unicode date pattern ("dd-MMM-yy", "h:mm:ss a"), names in the default
// locale. Text in single quotes is literal, '' is a quote.
QString Format_Date_With_Pattern(const QDateTime &when, const QString &pattern);
// The current date and time formatted with the pattern (the two do the same).
QString Get_date_Value(const QString &pattern);
QString Get_time_Value(const QString &pattern);
