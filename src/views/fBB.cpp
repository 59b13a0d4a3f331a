#include "views/fBB.h"
#include "core/Dialogs.h"
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QTextDocument>
#include <QVBoxLayout>

TfrmBB::TfrmBB(QWidget *parent)
    : QWidget(parent), mEE(new QPlainTextEdit(this)), btnSave(new QPushButton(QStringLiteral("Save..."), this)),
      btnPrint(new QPushButton(QStringLiteral("Print..."), this))
{
    setWindowTitle(QStringLiteral("EDR"));
    // Sizeable, with the system menu and the close box only.
    setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    resize(844, 610);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mEE);
    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(4, 4, 4, 4);
    buttons->addStretch();
    buttons->addWidget(btnSave);
    buttons->addWidget(btnPrint);
    layout->addLayout(buttons);
    connect(btnSave, &QPushButton::clicked, this, &TfrmBB::SaveClicked);
    connect(btnPrint, &QPushButton::clicked, this, &TfrmBB::PrintClicked);
    AskSavePath = [this](const QString &suggested) {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Save EDR report"), suggested,
                                            QStringLiteral("Text files (*.txt);;All files (*)"));
    };
    AskPrinter = [this](QPrinter &printer) {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(15);
    mEE->setFont(font);
    mEE->setLineWrapMode(QPlainTextEdit::NoWrap);
}

void TfrmBB::Clear()
{
    mEE->clear();
}

void TfrmBB::Append(const QString &line)
{
    mEE->appendPlainText(line);
}

QStringList TfrmBB::Lines() const
{
    const QString text = mEE->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

QString TfrmBB::SaveReport(const QString &path) const
{
    QByteArray bytes;
    for (const QString &line : Lines())
        bytes += line.toUtf8() + "\r\n";
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("Cannot create file \"%1\". %2").arg(QDir::toNativeSeparators(path), file.errorString());
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return QStringLiteral("Cannot write file \"%1\". %2").arg(QDir::toNativeSeparators(path), error);
    }
    return QString();
}

void TfrmBB::PrintReport(QPrinter &printer) const
{
    QTextDocument document;
    document.setDefaultFont(mEE->font());
    document.setPlainText(Lines().join(QLatin1Char('\n')));
    document.print(&printer);
}

void TfrmBB::SaveClicked()
{
    const QString path = AskSavePath(QDir::home().filePath(QStringLiteral("EDR.txt")));
    if (path.isEmpty())
        return;
    const QString error = SaveReport(path);
    if (!error.isEmpty())
        ShowMessage(error);
}

void TfrmBB::PrintClicked()
{
    QPrinter printer;
    if (AskPrinter(printer))
        PrintReport(printer);
}

void TfrmBB::BringUp()
{
    emit ViewItemCheckWanted(true);
    emit ShowWanted(Qt::WindowMinimized);
    emit ShowWanted(Qt::WindowNoState);
}

void TfrmBB::PutAway()
{
    emit HideWanted();
    emit ViewItemCheckWanted(false);
}

void TfrmBB::Minimise()
{
    QWidget *frame = parentWidget();
    if (frame && !frame->isHidden())
        emit ShowWanted(Qt::WindowMinimized);
}

void TfrmBB::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The window starts out of sight: the first show minimises and hides it.
    if (!ShownOnce) {
        ShownOnce = true;
        emit HideWanted();
    }
}

void TfrmBB::closeEvent(QCloseEvent *event)
{
    // Closing only puts the report away; View > "EDR" shows it again.
    event->ignore();
    try {
        PutAway();
    } catch (...) {
        // Putting the window away is best effort; the report stays either way.
    }
}
