#include "views/SavePath.h"
#include "core/Dialogs.h"
#include "product/ExportName.h"
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

QString FileDialogSavePath(QWidget *parent, const QString &caption, const QString &proposedPath, const QString &filter)
{
    // The dialog's own question would come before the extension is added and could miss the file
    // actually replaced; FinishSavePath asks instead.
    return QFileDialog::getSaveFileName(parent, caption, proposedPath, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString FinishSavePath(const QString &chosenPath, const QString &extension)
{
    const QString path = WithExtension(chosenPath, extension);
    if (path.isEmpty() || !QFileInfo::exists(path))
        return path;
    const QString question = QStringLiteral("The file \"%1\" already exists. Replace it?")
                                 .arg(QDir::toNativeSeparators(path));
    return AskYesNo(question) ? path : QString();
}
