#include "views/fBB.h"
#include "core/Dialogs.h"
#include "product/RunLogFile.h"
#include "views/EdrPrint.h"
#include "views/SavePath.h"
#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
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
        return FileDialogSavePath(this, QStringLiteral("Save EDR report"), suggested,
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

void TfrmBB::SetReport(const QStringList &lines, const THeaterIdentity &heater, const QDateTime &readAt)
{
    // A report that opens with an empty line (the legacy air family's) shows from its first text line,
    // as the lines appended one by one to an empty text area always did.
    const bool leadingEmpty = !lines.isEmpty() && lines.first().isEmpty();
    mEE->setPlainText((leadingEmpty ? lines.mid(1) : lines).join(QLatin1Char('\n')));
    Heater = heater;
    ReadAt = readAt;
    ShowFromStart();
    StartPending = true;
}

void TfrmBB::ShowFromStart()
{
    // The report is read from its first line: the labels stand at the left of the wide tables, and
    // their first records are the ones written.
    mEE->moveCursor(QTextCursor::Start);
    mEE->verticalScrollBar()->setValue(0);
    mEE->horizontalScrollBar()->setValue(0);
}

QString TfrmBB::ProposedSavePath() const
{
    const QDateTime at = ReadAt.isValid() ? ReadAt : QDateTime::currentDateTime();
    return RunLogFolder() + ExportFileName(Heater.SerialNumber, at, QStringLiteral("EDR"), QStringLiteral("txt"));
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
    PrintEdrReport(printer, Lines(), mEE->font(), EdrPageHeader(Heater, ReadAt));
}

void TfrmBB::SaveClicked()
{
    const QString path = FinishSavePath(AskSavePath(ProposedSavePath()), QStringLiteral("txt"));
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
    // A new report's first show puts its first line in sight again, whatever showing the frame did to
    // the memo; later shows keep where the user scrolled to.
    if (StartPending) {
        StartPending = false;
        ShowFromStart();
    }
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
