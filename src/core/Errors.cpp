#include "core/Errors.h"

QString ErrorClassName(const std::exception &error)
{
    if (auto *own = dynamic_cast<const Exception *>(&error))
        return own->ClassName();
    return QStringLiteral("Exception");
}

QString ErrorMessage(const std::exception &error)
{
    if (auto *own = dynamic_cast<const Exception *>(&error))
        return own->Message;
    return QString::fromLocal8Bit(error.what());
}
