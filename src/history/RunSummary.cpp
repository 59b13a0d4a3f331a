#include "history/RunSummary.h"
#include <QRegularExpression>
#include <QStringList>

namespace {
bool IsTemperature(const QString &caption)
{
    // Latin and Cyrillic capital T: the Russian header writes both. The flame indicator is a
    // temperature too, and the one that shows how hot the run burned.
    return caption.startsWith(QStringLiteral("T ")) || caption.startsWith(QStringLiteral("Т "))
        || caption == QStringLiteral("FI") || caption == QStringLiteral("ИП");
}

bool IsSupplyVoltage(const QString &caption)
{
    return caption == QStringLiteral("Voltage") || caption == QStringLiteral("U");
}

bool IsFaultCode(const QString &caption)
{
    return caption.compare(QStringLiteral("FaultCode"), Qt::CaseInsensitive) == 0
        || caption == QStringLiteral("Неисправность");
}

QString Number(double value)
{
    return QString::number(value, 'f', value == qint64(value) ? 0 : 1);
}

QString Joined(const QList<int> &values)
{
    QStringList texts;
    for (int value : values)
        texts << QString::number(value);
    return texts.join(QStringLiteral(", "));
}
} // namespace

QString TRunSummary::StagesText() const
{
    return Joined(Stages);
}

QString TRunSummary::FaultCodesText() const
{
    return Joined(FaultCodes);
}

QString TRunSummary::TemperaturesText() const
{
    QStringList texts;
    for (const auto &[caption, value] : HighestTemperatures)
        texts << caption + QLatin1Char(' ') + Number(value);
    return texts.join(QStringLiteral(", "));
}

TRunSummary SummariseRun(const TRunLogContent &content)
{
    TRunSummary summary;
    summary.Rows = int(content.Rows.size());
    if (content.Rows.isEmpty() || content.Columns.isEmpty())
        return summary;
    QList<int> temperatures;
    int voltage = -1;
    int fault = -1;
    for (int column = 0; column < content.Columns.size(); ++column) {
        const QString caption = content.Columns[column].trimmed();
        if (IsTemperature(caption))
            temperatures << column;
        else if (IsSupplyVoltage(caption) && voltage < 0)
            voltage = column;
        else if (IsFaultCode(caption) && fault < 0)
            fault = column;
    }
    QList<double> highest(temperatures.size(), 0);
    for (qsizetype i = 0; i < content.Rows.size(); ++i) {
        const QList<double> &row = content.Rows[i];
        const int stage = int(row[0]);
        if (!summary.Stages.contains(stage))
            summary.Stages << stage;
        for (int t = 0; t < temperatures.size(); ++t)
            if (i == 0 || row[temperatures[t]] > highest[t])
                highest[t] = row[temperatures[t]];
        if (voltage >= 0 && (!summary.LowestVoltage || row[voltage] < *summary.LowestVoltage))
            summary.LowestVoltage = row[voltage];
        if (fault >= 0) {
            const int code = int(row[fault]);
            if (code != 0 && !summary.FaultCodes.contains(code))
                summary.FaultCodes << code;
        }
    }
    for (int t = 0; t < temperatures.size(); ++t)
        summary.HighestTemperatures << qMakePair(content.Columns[temperatures[t]].trimmed(), highest[t]);
    return summary;
}

std::optional<TRunLogName> ParseRunLogName(const QString &fileName)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\[([^\\]]+)\\] (\\d{4}-\\d{2}-\\d{2} \\d{2}-\\d{2}-\\d{2})\\.csv$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(fileName);
    if (!match.hasMatch())
        return std::nullopt;
    const QDateTime saved = QDateTime::fromString(match.captured(2), QStringLiteral("yyyy-MM-dd HH-mm-ss"));
    if (!saved.isValid())
        return std::nullopt;
    return TRunLogName{match.captured(1), saved};
}
