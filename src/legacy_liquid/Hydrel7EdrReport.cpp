#include "legacy_liquid/Hydrel7EdrReport.h"
#include "legacy_liquid/Hydrel7Tables.h"
#include "product/NumberText.h"
#include <functional>
#include <vector>

namespace Hydrel7 {

namespace {
constexpr int RecordsAt = 48;
constexpr int RecordSize = 16;
constexpr int RecordCount = 13;
constexpr int LabelWidth = 32;
constexpr int RecordCounterAt = 0;
constexpr int RecordCodeAt = 1;
constexpr int RecordTimeAt = 2;

// The header's numbers: the label as the report writes it before the value, where the value sits,
// and how it is shown and summed up. Duration and Counter are the summary's counters.
enum class TKind { Plain, Counter, Duration, Other };
struct THeaderField {
    const char16_t *Label;
    int Offset;
    int Width;
    TKind Kind;
};
const THeaderField HeaderFields[] = {
    {u"Обучение ДП : ", 0, 1, TKind::Plain},
    {u"Версия: ", 5, 1, TKind::Other},
    {u"Текущая запись: ", 6, 1, TKind::Other},
    {u"Счетчик ошибок: ", 7, 1, TKind::Counter},
    {u"Кол-во успешных розжигов(с 1 раза): ", 8, 2, TKind::Counter},
    {u"Кол-во успешных розжигов(со 2 и более раза): ", 10, 2, TKind::Counter},
    {u"Кол-во неудачных розжигов: ", 12, 1, TKind::Counter},
    {u"Общее время работы : ", 13, 4, TKind::Duration},
    {u"Время работы на малом режиме : ", 17, 4, TKind::Duration},
    {u"Время работы на полном режиме : ", 21, 4, TKind::Duration},
    {u"Время работы на ждущем режиме : ", 25, 4, TKind::Duration},
    {u"Общее кол-во прерываний (кроме ошибки 13): ", 29, 2, TKind::Counter},
    {u"Код изделия: ", 31, 1, TKind::Other},
    {u"Номер изделия: ", 32, 3, TKind::Other},
};

quint32 LittleEndian(const TEepromImage &image, int offset, int width)
{
    quint32 value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | image[size_t(offset + i)];
    return value;
}

QString Cell(const QString &text)
{
    return text.rightJustified(7) + QLatin1Char(' ');
}

QString Cell(qint64 value)
{
    return Cell(QString::number(value));
}
} // namespace

QString DurationText(quint32 seconds)
{
    return QStringLiteral("%1 sec. (%2-%3:%4:%5)")
        .arg(seconds)
        .arg(seconds / 86400)
        .arg(seconds % 86400 / 3600)
        .arg(seconds % 3600 / 60)
        .arg(seconds % 60);
}

QStringList EdrReport(const TEepromImage &image)
{
    auto value = [&image](int offset, int width) { return QString::number(LittleEndian(image, offset, width)); };
    auto counter = [&value](const QString &label, int offset, int width) {
        return label + value(offset, width) + QLatin1Char('.');
    };
    auto duration = [&image](const QString &label, int offset) {
        return label + DurationText(LittleEndian(image, offset, 4));
    };
    QStringList report = {
        QStringLiteral("Обучение ДП : ") + value(0, 1),
        counter(QStringLiteral("Версия: "), 5, 1),
        counter(QStringLiteral("Текущая запись: "), 6, 1),
        counter(QStringLiteral("Счетчик ошибок: "), 7, 1),
        counter(QStringLiteral("Кол-во успешных розжигов(с 1 раза): "), 8, 2),
        counter(QStringLiteral("Кол-во успешных розжигов(со 2 и более раза): "), 10, 2),
        counter(QStringLiteral("Кол-во неудачных розжигов: "), 12, 1),
        duration(QStringLiteral("Общее время работы : "), 13),
        duration(QStringLiteral("Время работы на малом режиме : "), 17),
        duration(QStringLiteral("Время работы на полном режиме : "), 21),
        duration(QStringLiteral("Время работы на ждущем режиме : "), 25),
        counter(QStringLiteral("Общее кол-во прерываний (кроме ошибки 13): "), 29, 2),
        counter(QStringLiteral("Код изделия: "), 31, 1),
        counter(QStringLiteral("Номер изделия: "), 32, 3),
        QString(),
    };

    // One row per record field; a cell per record.
    struct TRow {
        const char16_t *Label;
        std::function<QString(int at)> CellOf;
    };
    const auto byte = [&image](int offset) { return [&image, offset](int at) { return Cell(image[size_t(at + offset)]); }; };
    const std::vector<TRow> rows = {
        {u"Счетчик ошибок", byte(RecordCounterAt)},
        {u"Код ошибки", byte(RecordCodeAt)},
        {u"Время ошибки", [&image](int at) { return Cell(LittleEndian(image, at + RecordTimeAt, 2)); }},
        {u"Режим", byte(4)},
        {u"Напряжение", [&image](int at) { return Cell(FixedText(image[size_t(at + 5)] / 10.0, 1)); }},
        {u"Т пламени", [&image](int at) { return Cell(qint64(LittleEndian(image, at + 6, 2)) - 273); }},
        {u"Т жидкости", byte(8)},
        {u"Т воздуха", byte(9)},
        {u"Т жидкости после 10 сек. горения", byte(10)},
        {u"Попытка розжига", byte(11)},
    };
    QString numbers = QStringLiteral("Номер записи").leftJustified(LabelWidth);
    for (int record = 1; record <= RecordCount; ++record)
        numbers += Cell(record);
    report << numbers;
    for (const TRow &row : rows) {
        QString line = QString::fromUtf16(row.Label).leftJustified(LabelWidth);
        for (int record = 0; record < RecordCount; ++record)
            line += row.CellOf(RecordsAt + RecordSize * record);
        report << line;
    }
    return report;
}

TEdrSummary EdrSummary(const TEepromImage &image)
{
    TEdrSummary summary;
    for (const THeaderField &field : HeaderFields) {
        if (field.Kind != TKind::Counter && field.Kind != TKind::Duration)
            continue;
        // The label without its colon and the blanks around it.
        const QString name = QString::fromUtf16(field.Label).trimmed().chopped(1).trimmed();
        summary.Counters << TEdrCounter{name, field.Kind == TKind::Duration ? QStringLiteral("s") : QString(),
                                        LittleEndian(image, field.Offset, field.Width)};
    }
    for (int record = 0; record < RecordCount; ++record) {
        const int at = RecordsAt + RecordSize * record;
        const quint8 code = image[size_t(at + RecordCodeAt)];
        if (code == 0)
            continue;
        const QString text = FaultText(code);
        summary.Faults << TEdrFault{record + 1, code, text == QString::number(code) ? QString() : text,
                                    qint64(LittleEndian(image, at + RecordTimeAt, 2)), image[size_t(at + RecordCounterAt)]};
    }
    return summary;
}

} // namespace Hydrel7
