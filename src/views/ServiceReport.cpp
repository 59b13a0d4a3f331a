#include "views/ServiceReport.h"
#include "core/Dialogs.h"
#include "product/RunLogFile.h"
#include "views/GraphPresentation.h"
#include "views/SavePath.h"
#include "views/fGraph.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMessageBox>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QTextDocument>
#include <QUrl>

namespace {
// The page in the document's own units (pixels at 96 per inch): A4, and the graphs as wide as the
// text between the margins.
const QSizeF PageSize(794, 1123);
constexpr double Margin = 48;
constexpr int ChartWidth = 690;

QString Escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

QString IdentityLine(const THeaterIdentity &heater)
{
    QStringList parts{heater.Model.isEmpty() ? QStringLiteral("Unknown model") : heater.Model};
    parts << QStringLiteral("serial number ")
                 + (heater.SerialNumber.isEmpty() ? QStringLiteral("not identified") : heater.SerialNumber);
    if (!heater.Firmware.isEmpty())
        parts << QStringLiteral("firmware ") + heater.Firmware;
    return parts.join(QStringLiteral(" &nbsp; &middot; &nbsp; "));
}

QString CounterValue(const TEdrCounter &counter)
{
    if (counter.Unit == QLatin1String("s"))
        return QString::number(counter.Value / 3600.0, 'f', 1) + QStringLiteral(" h");
    return QString::number(counter.Value);
}

QString FaultWords(int code, const QString &name)
{
    QString text = QStringLiteral("fault ") + QString::number(code);
    if (!name.isEmpty())
        text += QStringLiteral(" '") + name + QLatin1Char('\'');
    return text;
}

// The counters two to a row, so that twenty of them take ten lines.
QString CountersTable(const QList<TEdrCounter> &counters)
{
    QString html = QStringLiteral("<table cellspacing='0' cellpadding='1' width='100%'>");
    for (qsizetype i = 0; i < counters.size(); i += 2) {
        html += QStringLiteral("<tr>");
        for (qsizetype k = i; k < i + 2; ++k) {
            if (k < counters.size())
                html += QStringLiteral("<td width='38%'>%1</td><td width='12%' align='right'>%2&nbsp;&nbsp;</td>")
                            .arg(Escaped(counters[k].Name), CounterValue(counters[k]));
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

QString EdrSection(const TServiceReportInput &input)
{
    if (!input.EdrReadAt.isValid())
        return QStringLiteral("<h3>EDR</h3><p>No EDR was read on this day.</p>");
    QString html = QStringLiteral("<h3>EDR read at %1</h3>").arg(input.EdrReadAt.toString(QStringLiteral("HH:mm")));
    html += QStringLiteral("<p>%1</p>")
                .arg(input.EdrChanges.isEmpty() ? QStringLiteral("The first EDR read of this heater.")
                                                : Escaped(input.EdrChanges));
    return html + CountersTable(input.Edr.Counters);
}

// The name the EDR's records give a fault code, for the faults the runs show.
QString NameOf(const TEdrSummary &edr, int code)
{
    for (const TEdrFault &fault : edr.Faults)
        if (fault.Code == code)
            return fault.Name;
    return QString();
}

// The column of a run log that holds the heater's fault code, or -1.
int FaultColumn(const TRunLogContent &content)
{
    for (qsizetype i = 0; i < content.Columns.size(); ++i) {
        const QString caption = content.Columns[i];
        if (caption.contains(QLatin1String("fault"), Qt::CaseInsensitive)
            || caption == QStringLiteral("Неисправность"))
            return int(i);
    }
    return -1;
}

QList<int> FaultCodesOf(const TRunLogContent &content)
{
    QList<int> codes;
    const int column = FaultColumn(content);
    if (column < 0)
        return codes;
    for (const QList<double> &row : content.Rows) {
        const int code = int(row.value(column));
        if (code != 0 && !codes.contains(code))
            codes << code;
    }
    return codes;
}

// The run drawn in a graphs window of its own, off the screen, as a picture twice the window's size.
QImage RunChart(const TServiceReportInput &input, const TRunLogContent &content, const QString &fileName)
{
    TfrmGraph graph;
    graph.setAttribute(Qt::WA_DontShowOnScreen);
    TGraphPresentation view(graph);
    if (input.DrawRun)
        input.DrawRun(content, view);
    graph.SetSavePath(fileName);
    // Paper cannot be zoomed.
    graph.btn1->hide();
    graph.btn2->hide();
    graph.show();
    graph.ReplotNow();
    QImage image(graph.size() * 2, QImage::Format_RGB32);
    image.setDevicePixelRatio(2);
    image.fill(Qt::white);
    graph.render(&image);
    return image;
}

TRunLogContent ReadRun(const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        return ReadRunLogBytes(file.readAll());
    TRunLogContent content;
    content.Error = file.errorString();
    return content;
}

QString Duration(qsizetype seconds)
{
    return QString::asprintf("%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                             static_cast<long long>(seconds % 3600 / 60), static_cast<long long>(seconds % 60));
}

QString FaultsSection(const TServiceReportInput &input, const QList<QPair<QString, QList<int>>> &runFaults)
{
    QStringList seen;
    for (const auto &[run, codes] : runFaults)
        for (int code : codes)
            seen << Escaped(FaultWords(code, NameOf(input.Edr, code))) + QStringLiteral(" during ") + Escaped(run);
    QString html = QStringLiteral("<h3>Faults seen</h3>");
    html += seen.isEmpty() ? QStringLiteral("<p>No fault during the day's runs.</p>")
                           : QStringLiteral("<ul><li>") + seen.join(QStringLiteral("</li><li>"))
                                 + QStringLiteral("</li></ul>");
    if (!input.EdrReadAt.isValid())
        return html;
    QStringList held;
    for (const TEdrFault &fault : input.Edr.Faults) {
        QString words = FaultWords(fault.Code, fault.Name) + QStringLiteral(" (record ") + QString::number(fault.Record);
        if (fault.Time >= 0)
            words += QStringLiteral(", at operating time ") + QString::number(fault.Time);
        if (fault.Count >= 0)
            words += QStringLiteral(", count ") + QString::number(fault.Count);
        held << Escaped(words + QLatin1Char(')'));
    }
    html += held.isEmpty() ? QStringLiteral("<p>The EDR holds no fault record.</p>")
                           : QStringLiteral("<p>The EDR holds these fault records:</p><ul><li>")
                                 + held.join(QStringLiteral("</li><li>")) + QStringLiteral("</li></ul>");
    return html;
}
} // namespace

std::unique_ptr<QTextDocument> ServiceReportDocument(const TServiceReportInput &input)
{
    auto document = std::make_unique<QTextDocument>();
    document->setPageSize(PageSize);
    document->setDocumentMargin(Margin);
    QFont font = document->defaultFont();
    font.setPointSizeF(8.5);
    document->setDefaultFont(font);

    QString html = QStringLiteral("<h2>Service report %1</h2><p><b>%2</b></p>")
                       .arg(input.Day.toString(QStringLiteral("yyyy-MM-dd")), IdentityLine(input.Heater));
    html += EdrSection(input);

    html += QStringLiteral("<h3>Runs</h3>");
    if (input.RunLogPaths.isEmpty())
        html += QStringLiteral("<p>No run was recorded on this day.</p>");
    QList<QPair<QString, QList<int>>> runFaults;
    for (qsizetype i = 0; i < input.RunLogPaths.size(); ++i) {
        const QString &path = input.RunLogPaths[i];
        const QString fileName = QFileInfo(path).fileName();
        const TRunLogContent content = ReadRun(path);
        if (!content.Error.isEmpty()) {
            html += QStringLiteral("<p>Run %1: \"%2\" could not be read: %3</p>")
                        .arg(i + 1)
                        .arg(Escaped(QDir::toNativeSeparators(path)), Escaped(content.Error));
            continue;
        }
        const QString run = QStringLiteral("run %1").arg(i + 1);
        runFaults << qMakePair(run, FaultCodesOf(content));
        const QImage chart = RunChart(input, content, fileName);
        const QString name = QStringLiteral("run%1.png").arg(i);
        document->addResource(QTextDocument::ImageResource, QUrl(name), chart);
        const int height = int(ChartWidth * double(chart.height()) / chart.width());
        html += QStringLiteral("<p>Run %1: %2, %3 (%4 rows)<br/><img src='%5' width='%6' height='%7'/></p>")
                    .arg(i + 1)
                    .arg(Escaped(fileName), Duration(content.Rows.size()))
                    .arg(content.Rows.size())
                    .arg(name)
                    .arg(ChartWidth)
                    .arg(height);
    }
    html += FaultsSection(input, runFaults);
    document->setHtml(html);
    return document;
}

QString WriteServiceReportPdf(const TServiceReportInput &input, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("Cannot create file \"%1\". %2").arg(QDir::toNativeSeparators(path), file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setTitle(QStringLiteral("Service report"));
        ServiceReportDocument(input)->print(&writer);
    }
    if (!file.commit())
        return QStringLiteral("Cannot write file \"%1\". %2").arg(QDir::toNativeSeparators(path), file.errorString());
    return QString();
}

QString ProposedServiceReportPath(const TServiceReportInput &input)
{
    return RunLogFolder()
           + DayExportFileName(input.Heater.SerialNumber, input.Day, QStringLiteral("service report"),
                               QStringLiteral("pdf"));
}

void OfferServiceReport(QWidget *parent, const TServiceReportInput &input)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Service report"),
                    QStringLiteral("The service report of %1 on %2.")
                        .arg(input.Heater.SerialNumber.isEmpty() ? input.Heater.Model : input.Heater.SerialNumber,
                             input.Day.toString(QStringLiteral("yyyy-MM-dd"))),
                    QMessageBox::Cancel, parent);
    QPushButton *print = box.addButton(QStringLiteral("Print..."), QMessageBox::AcceptRole);
    QPushButton *save = box.addButton(QStringLiteral("Save PDF..."), QMessageBox::AcceptRole);
    box.exec();
    if (box.clickedButton() == print) {
        QPrinter printer;
        QPrintDialog dialog(&printer, parent);
        if (dialog.exec() == QDialog::Accepted)
            ServiceReportDocument(input)->print(&printer);
    } else if (box.clickedButton() == save) {
        const QString path = FinishSavePath(
            FileDialogSavePath(parent, QStringLiteral("Save service report"), ProposedServiceReportPath(input),
                               QStringLiteral("PDF files (*.pdf)")),
            QStringLiteral("pdf"));
        if (path.isEmpty())
            return;
        const QString error = WriteServiceReportPdf(input, path);
        if (!error.isEmpty())
            ShowMessage(error);
    }
}
