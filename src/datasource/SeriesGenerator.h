#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QRandomGenerator;

// The series generator without its window: a numbered sequence with prefix, suffix and optional
// zero padding, one value repeated, or random numbers of a given number of digits. Numbers are
// 64-bit; the values are made as the UTF-8 lines of a series file, bounded by what a series file
// may hold.
class SeriesGenerator {
public:
    enum class Mode { Sequential, Constant, Random };

    // The dialog's fields, as typed.
    struct Fields {
        Mode mode = Mode::Sequential;
        QString prefix, suffix, from, to;
        bool manage_digit = false;
        QString value, count;
        QString rand_prefix, rand_suffix, rand_length, rand_count;
    };

    // A check that failed: the message and the outlet name of the field to give the focus.
    struct Refusal {
        QString message;
        const char *field;
        bool operator==(const Refusal &other) const;
    };

    // Above this many values the user is asked first.
    static constexpr qint64 kConfirmAbove = 1000000;
    // Counts and random lengths the text rules allow.
    static constexpr int kMostCount = 10000;
    static constexpr int kMostDigits = 9;

    // The focus a refused series name asks for: the selected mode's name field.
    static const char *const kNameField;
    static const QString kTooMany;  // the question asked above kConfirmAbove values ("%1": the count)
    static const QString kTooLarge; // the message for values past what a series file may hold

    // The leading decimal integer of a text: blanks skipped, an optional sign, digits; 0 without
    // digits; a number past 64 bits stops at the nearest end.
    static qint64 integerValue(const QString &text);
    // The text-change rules of a count field (`most` kMostCount, `longest` 5) or of the random length
    // (kMostDigits, 1): the text the field is to hold, from the text as typed.
    static QString fieldRule(const QString &typed, int most, int longest);

    // The first check of the mode's fields that fails; nothing when the fields can generate.
    static std::optional<Refusal> check(const Fields &fields);
    // The number of values the fields make (checked fields only).
    static quint64 valueCount(const Fields &fields);
    // The values, each followed by a line feed, as UTF-8; nothing when they would pass `mostBytes`.
    // A padded number has zeros put before its digits (after a sign) up to the longer of the From
    // and To texts as typed. Random numbers are drawn from `random` (the system's when null).
    static std::optional<QByteArray> generate(const Fields &fields, qint64 mostBytes,
                                              QRandomGenerator *random = nullptr);

    // OK: checks the fields, asks above kConfirmAbove values, generates, then writes the series
    // `name` (with `file_name_required` 1; replacing an existing one only when the user agrees; a
    // name that cannot be a series name, or a write that fails, said as Write_Series_File says it)
    // or hands each value to the batch series manager; with `file_name_Insert` 1 the manager then
    // reads its series list again. True when done; false, with the message shown and the outlet
    // name of the field to take the focus in `focus` (null for none), when the dialog stays open.
    static bool OKPressed(const Fields &fields, const QString &name, int file_name_required, int file_name_Insert,
                          const char **focus = nullptr, QRandomGenerator *random = nullptr);
};
