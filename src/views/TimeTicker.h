#pragma once
#include <qcustomplot.h>

// Bottom-axis ticks for x values in days (tick count / 86400), labelled "nn:ss": minutes and seconds
// of the time of day, on whole-second steps that read well (1 s, 5 s, 15 s, 1 min, ...).
class TTimeTicker : public QCPAxisTicker {
public:
    // The label of an x value: 75 / 86400 reads "01:15".
    static QString Label(double days);
    // The whole time of an x value, hours not wrapped at a day: 90075 / 86400 reads "25:01:15".
    static QString FullLabel(double days);

protected:
    double getTickStep(const QCPRange &range) override;
    int getSubTickCount(double tickStep) override;
    QVector<double> createTickVector(double tickStep, const QCPRange &range) override;
    QString getTickLabel(double tick, const QLocale &locale, QChar formatChar, int precision) override;
};
