#include "views/fBB.h"
#include <QCloseEvent>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

TfrmBB::TfrmBB(QWidget *parent) : QWidget(parent), mEE(new QPlainTextEdit(this))
{
    setWindowTitle(QStringLiteral("EDR"));
    // Sizeable, with the system menu and the close box only.
    setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    resize(844, 610);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mEE);
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
