#include "product/NumberText.h"
#include <QLocale>

static QLocale UserLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

QString FixedText(double value, int decimals)
{
    return UserLocale().toString(value, 'f', decimals);
}

QString ShortestText(double value)
{
    return UserLocale().toString(value, 'g', 15);
}
