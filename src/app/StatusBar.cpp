#include "app/StatusBar.h"
#include "core/Dialogs.h"
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QToolButton>
#include <QUrl>

TStatusBar::TStatusBar(QWidget *parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBar"));
    lblPort = new QLabel(this);
    lblState = new QLabel(this);
    lblState->setObjectName(QStringLiteral("lblState"));
    lblMisfit = new QLabel(this);
    lblMisfit->setObjectName(QStringLiteral("lblMisfit"));
    lblMisfit->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    // The warning is longer than a laptop screen is wide: it wraps onto a second line of the bar
    // instead of widening the main window past the screen.
    lblMisfit->setWordWrap(true);
    lblMisfit->hide();
    lblRecording = new QLabel(this);
    lblRecording->setObjectName(QStringLiteral("lblRecording"));
    lblRecording->hide();
    lblHistory = new QLabel(this);
    lblHistory->setObjectName(QStringLiteral("lblHistory"));
    lblHistory->setStyleSheet(QStringLiteral("color: red"));
    lblHistory->hide();
    lblFrames = new QLabel(this);
    lblRun = new QLabel(this);
    btnOpenFolder = new QToolButton(this);
    btnOpenFolder->setText(QStringLiteral("Open folder"));
    btnOpenFolder->setToolTip(QStringLiteral("Open the folder of the saved run in the file manager"));
    btnOpenFolder->setEnabled(false);
    addWidget(lblPort);
    addWidget(lblState);
    addWidget(lblMisfit, 1);
    addPermanentWidget(lblRecording);
    addPermanentWidget(lblHistory);
    addPermanentWidget(lblFrames);
    addPermanentWidget(lblRun);
    addPermanentWidget(btnOpenFolder);
    connect(btnOpenFolder, &QToolButton::clicked, this, &TStatusBar::OpenFolder);
    ShowConnectionState(TConnectionState::NoPort, QString());
    ShowFrames();
}

std::function<bool(const QUrl &)> &TStatusBar::OpenUrl()
{
    static std::function<bool(const QUrl &)> open = [](const QUrl &url) { return QDesktopServices::openUrl(url); };
    return open;
}

void TStatusBar::ShowPort(const QString &name, qint32 bitsPerSecond)
{
    lblPort->setText(QStringLiteral("%1, %2 bit/s").arg(name).arg(bitsPerSecond));
}

QString TStatusBar::StateText(TConnectionState state, const QString &detail)
{
    switch (state) {
    case TConnectionState::NoPort:
        return detail.isEmpty() ? QStringLiteral("No port open") : QStringLiteral("Port %1 not open").arg(detail);
    case TConnectionState::Opening: return QStringLiteral("Opening the port...");
    case TConnectionState::Searching: return QStringLiteral("Searching for the heater...");
    case TConnectionState::Identified: return QStringLiteral("Connected: %1").arg(detail);
    case TConnectionState::Lost: return QStringLiteral("Connection lost, searching again");
    case TConnectionState::AdapterMissing:
        return QStringLiteral("Adapter missing: waiting for %1 to come back").arg(detail);
    }
    return QString();
}

void TStatusBar::ShowConnectionState(TConnectionState state, const QString &detail)
{
    if (state == TConnectionState::Opening) {
        Received = 0;
        Dropped = 0;
        ShowFrames();
        ShowMisfit(QString());
    }
    lblState->setText(StateText(state, detail));
}

void TStatusBar::ShowMisfit(const QString &warning)
{
    lblMisfit->setText(warning);
    lblMisfit->setToolTip(warning);
    lblMisfit->setVisible(!warning.isEmpty());
}

void TStatusBar::CountFrame(TFrameDirection direction, bool valid)
{
    if (direction != TFrameDirection::Received)
        return;
    ++(valid ? Received : Dropped);
    ShowFrames();
}

void TStatusBar::ShowFrames()
{
    lblFrames->setText(QStringLiteral("Frames received: %1, dropped: %2").arg(Received).arg(Dropped));
}

void TStatusBar::ShowSavedRun(const QString &path)
{
    SavedRun = path;
    lblRun->setText(path.isEmpty() ? QString() : QStringLiteral("Last run: %1").arg(QFileInfo(path).fileName()));
    lblRun->setToolTip(QDir::toNativeSeparators(path));
    btnOpenFolder->setEnabled(!path.isEmpty());
}

void TStatusBar::ShowRecording(qint64 seconds, qint64 rows)
{
    const QString elapsed = QStringLiteral("%1:%2:%3")
                                .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
                                .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                                .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    const QString count = rows == 1 ? QStringLiteral("1 row") : QStringLiteral("%1 rows").arg(rows);
    lblRecording->setText(QStringLiteral("Recording: %1, %2").arg(elapsed, count));
    lblRecording->show();
}

void TStatusBar::EndRecording()
{
    lblRecording->clear();
    lblRecording->hide();
}

void TStatusBar::OpenFolder()
{
    if (SavedRun.isEmpty())
        return;
    const QString folder = QFileInfo(SavedRun).absolutePath();
    if (OpenUrl()(QUrl::fromLocalFile(folder)))
        return;
    // No file manager on this desktop (or none that answered): the technician still learns where the file is.
    ShowMessage(QStringLiteral("No file manager could be opened. The run log \"%1\" is in the folder:\n%2")
                    .arg(QFileInfo(SavedRun).fileName(), QDir::toNativeSeparators(folder)));
}

QString TStatusBar::PortText() const { return lblPort->text(); }
QString TStatusBar::StateText() const { return lblState->text(); }
QString TStatusBar::MisfitText() const { return lblMisfit->text(); }
QString TStatusBar::FramesText() const { return lblFrames->text(); }
QString TStatusBar::SavedRunText() const { return lblRun->text(); }
QString TStatusBar::RecordingText() const { return lblRecording->text(); }

void TStatusBar::ShowHistoryOff(const QString &reason)
{
    lblHistory->setText(QStringLiteral("History off"));
    lblHistory->setToolTip(reason);
    lblHistory->show();
}

QString TStatusBar::HistoryText() const { return lblHistory->text(); }
