#include "datasource/SeriesGenerator.h"

#include "core/MessageBoxes.h"
#include "core/StringHelpers.h"
#include "datasource/BatchSeriesManager.h"
#include "datasource/SeriesStore.h"
#include "document/DesignFile.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cstring>
#include <limits>

const char *const SeriesGenerator::kNameField = "file_name";
const QString SeriesGenerator::kTooMany = QStringLiteral("This makes %1 values. Do you want to generate them all?");
const QString SeriesGenerator::kTooLarge =
    QStringLiteral("These values would make a series larger than a series file may be. Please generate fewer values.");

namespace {

// Appends n in decimal, its digits padded with zeros (after the sign) to `width` characters.
void appendNumber(QByteArray &out, qint64 n, int width)
{
    char digits[24];
    int used = 0;
    // Through the unsigned magnitude: the most negative number has no positive twin.
    quint64 magnitude = n < 0 ? 0 - static_cast<quint64>(n) : static_cast<quint64>(n);
    do {
        digits[used++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (n < 0)
        out.append('-');
    for (int pad = width - used - (n < 0 ? 1 : 0); pad > 0; --pad)
        out.append('0');
    while (used > 0)
        out.append(digits[--used]);
}

} // namespace

bool SeriesGenerator::Refusal::operator==(const Refusal &other) const
{
    return message == other.message && std::strcmp(field, other.field) == 0;
}

qint64 SeriesGenerator::integerValue(const QString &text)
{
    return DesignFile::leadingInt64(text);
}

QString SeriesGenerator::fieldRule(const QString &typed, int most, int longest)
{
    QString text = typed.trimmed();
    const bool cut = text.size() > longest;
    if (cut)
        text = text.left(longest);
    // After the cut too: "00012" cut to one character is "0", which counts nothing.
    const qint64 value = integerValue(text);
    if (text.isEmpty() || value <= 0)
        return QStringLiteral("1");
    if (value > most)
        return QString::number(most);
    return cut ? text : typed;
}

std::optional<SeriesGenerator::Refusal> SeriesGenerator::check(const Fields &f)
{
    switch (f.mode) {
    case Mode::Sequential:
        if (f.from.isEmpty())
            return Refusal{QStringLiteral("Please enter valid 'From' value."), "from_txt"};
        if (f.to.isEmpty())
            return Refusal{QStringLiteral("Please enter valid 'To' value."), "to_txt"};
        if (integerValue(f.to) <= integerValue(f.from))
            return Refusal{QStringLiteral("'From' value must be smaller than 'To' value."), "from_txt"};
        break;
    case Mode::Constant:
        if (f.value.isEmpty())
            return Refusal{QStringLiteral("Please enter valid 'Value'."), "value_txt"};
        if (f.count.isEmpty())
            return Refusal{QStringLiteral("Please enter valid 'Count' value."), "count_txt"};
        break;
    case Mode::Random:
        if (f.rand_count.isEmpty())
            return Refusal{QStringLiteral("Please enter valid 'Count' value."), "rand_count_txt"};
        if (f.rand_length.isEmpty())
            return Refusal{QStringLiteral("Please enter valid 'Length' value."), "rand_length_txt"};
        break;
    }
    return std::nullopt;
}

quint64 SeriesGenerator::valueCount(const Fields &f)
{
    switch (f.mode) {
    case Mode::Sequential: {
        const qint64 from = integerValue(f.from), to = integerValue(f.to);
        if (to < from)
            return 0;
        const quint64 span = static_cast<quint64>(to) - static_cast<quint64>(from);
        return span == std::numeric_limits<quint64>::max() ? span : span + 1;
    }
    case Mode::Constant:
        return static_cast<quint64>(std::max<qint64>(0, integerValue(f.count)));
    case Mode::Random:
        return static_cast<quint64>(std::max<qint64>(0, integerValue(f.rand_count)));
    }
    return 0;
}

std::optional<QByteArray> SeriesGenerator::generate(const Fields &f, qint64 mostBytes, QRandomGenerator *random)
{
    const quint64 count = valueCount(f);
    QByteArray out;
    const auto fits = [&out, mostBytes] { return out.size() <= mostBytes; };
    switch (f.mode) {
    case Mode::Sequential: {
        const QByteArray prefix = f.prefix.toUtf8(), suffix = f.suffix.toUtf8();
        // Every value is at least its prefix, suffix and line feed long: too many is known at once.
        if (count > static_cast<quint64>(mostBytes) / static_cast<quint64>(prefix.size() + suffix.size() + 2))
            return std::nullopt;
        const int width = f.manage_digit ? static_cast<int>(std::max(f.from.size(), f.to.size())) : 0;
        out.reserve(static_cast<qsizetype>(count) * (prefix.size() + suffix.size() + std::max(width, 8) + 1));
        const quint64 from = static_cast<quint64>(integerValue(f.from));
        for (quint64 made = 0; made < count && fits(); ++made) {
            out.append(prefix);
            // Counted without a signed overflow past the last number, which may be the largest.
            appendNumber(out, static_cast<qint64>(from + made), width);
            out.append(suffix);
            out.append('\n');
        }
        break;
    }
    case Mode::Constant: {
        QByteArray line = f.value.toUtf8();
        line.append('\n');
        if (count > static_cast<quint64>(mostBytes / line.size()))
            return std::nullopt;
        out = line.repeated(static_cast<qsizetype>(count));
        break;
    }
    case Mode::Random: {
        QRandomGenerator *draw = random ? random : QRandomGenerator::system();
        const qint64 digits = std::clamp<qint64>(integerValue(f.rand_length), 1, kMostDigits);
        qint64 low = 1;
        for (qint64 d = 1; d < digits; ++d)
            low *= 10;
        const qint64 high = low * 10 - 1;
        const QByteArray prefix = f.rand_prefix.toUtf8(), suffix = f.rand_suffix.toUtf8();
        if (count > static_cast<quint64>(mostBytes) / static_cast<quint64>(prefix.size() + suffix.size() + 2))
            return std::nullopt;
        for (quint64 made = 0; made < count && fits(); ++made) {
            out.append(prefix);
            appendNumber(out, draw->bounded(low, high + 1), 0);
            out.append(suffix);
            out.append('\n');
        }
        break;
    }
    }
    if (!fits())
        return std::nullopt;
    return out;
}

bool SeriesGenerator::OKPressed(const Fields &fields, const QString &name, int file_name_required,
                                int file_name_Insert, const char **focus, QRandomGenerator *random)
{
    const auto stay = [focus](const QString &message, const char *field) {
        if (!message.isEmpty())
            Show_MessageBox(message);
        if (focus)
            *focus = field;
        return false;
    };
    if (const std::optional<Refusal> refused = check(fields))
        return stay(refused->message, refused->field);
    const bool toFile = file_name_required == 1;
    const QString seriesName = Remove_Reserve_Char_In_File_Name(name);
    if (toFile && seriesName.isEmpty())
        return stay(QStringLiteral("Please enter a name for the series."), kNameField);
    if (const std::optional<QString> refusal = Series_Name_Refusal(seriesName); toFile && refusal)
        return stay(*refusal, kNameField);
    const quint64 count = valueCount(fields);
    if (count > static_cast<quint64>(kConfirmAbove) && !Show_YES_NO_MessageBox(kTooMany.arg(count)))
        return stay(QString(), nullptr);
    const std::optional<QByteArray> lines = generate(fields, kMostSeriesBytes, random);
    if (!lines)
        return stay(kTooLarge, nullptr);
    BatchSeriesManager *manager = BatchWizard_Window();
    if (toFile) {
        // A No to replacing stays silent; a failed write has been said.
        if (!Confirm_Series_Replace(seriesName) || !Write_Series_File(seriesName, *lines))
            return stay(QString(), nullptr);
    } else if (manager) {
        // Every value ends in a line feed: the piece after the last one is no value.
        QList<QByteArray> values = lines->split('\n');
        values.removeLast();
        for (const QByteArray &value : values)
            manager->Create_Value_List(QString::fromUtf8(value));
    } else {
        Show_NSLog_Message(QStringLiteral("No series is being edited to take the generated values."));
    }
    if (file_name_Insert == 1 && manager)
        manager->Fill_List();
    return true;
}
