#pragma once

#include <QDate>
#include <QString>

#include <string_view>

// Dates and times as every spreadsheet reader gives them, whatever form the file keeps them in:
// "2023-07-15", "2023-07-15 14:30", or "14:30" for a time of no day; seconds only where there are
// some. Each function gives "" for what is not a date it can show, so that the cell keeps its text.
namespace spreadsheet {

// What a workbook's number format shows of a number: the number as stored, a date or time, or a
// length of time in hours ("[h]:mm").
enum class NumberFormat : quint8 { Number, Date, Elapsed };

// A workbook's serial number (days since its epoch, the day's time as the fraction) as its format
// shows it, in the 1900 date system or the 1904 one: "" for a number shown as stored.
QString dateOfSerial(double serial, NumberFormat format, bool date1904);
// An ISO 8601 date or date-time as files write it ("2023-07-15T14:30:00.000").
QString dateOfIso(std::string_view text);
// An ISO 8601 duration as a time cell keeps it ("PT14H30M00S"): a time of day, a length of time in
// hours for an Elapsed format, or else from a day on, the date and time so many hours after
// `dayZero`, as a date-time in a clock-only format is kept; a negative one ("-PT…"), the date and
// time as long before it.
QString timeOfDuration(std::string_view text, NumberFormat format, const QDate &dayZero);

// What a workbook's number format shows: a date or time for one of the built-in date and time
// formats, or a format code with day, month, year, hour or second letters outside its quoted
// literals and bracketed colours and locales; a length of time where hours, minutes or seconds
// stand in brackets.
NumberFormat numberFormatOf(int builtinId);
NumberFormat numberFormatOf(std::string_view code);

} // namespace spreadsheet
