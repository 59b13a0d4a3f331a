#include "app/Application.h"
#include "core/Dialogs.h"

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        ReportError(error);
    }
    return false;
}
