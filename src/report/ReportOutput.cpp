#include "report/ReportOutput.h"
#include "ui/ModalScope.h"

#include "io/CheckedFile.h"
#include "ui/Dialogs.h"

#include <QAction>
#include <QBoxLayout>
#include <QCheckBox>
#include <QLabel>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QCoreApplication>
#include <QPrinter>
#include <QPrinterInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalBlocker>
#include <QToolBar>

namespace ReportOutput {

bool writePdf(const BandedReport &report, const QList<QSqlRecord> &rows, const QString &path,
              const QString &title, QString *error)
{
    // Refused before any drawing: a device or a folder of that name is never replaced.
    if (!CheckedFile::checkTarget(path, error))
        return false;
    // Drawn in memory, then written through a checked temporary file and a rename.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(1200);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("ゼルティカとドルネア"));
        report.preparePaper(writer);
        report.render(writer, rows);
    }
    buffer.close();
    if (buffer.data().isEmpty()) {
        *error = QStringLiteral("PDFを作成できませんでした。");
        return false;
    }
    return CheckedFile::write(path, buffer.data(), error);
}

// The report's paper on a printer, drawn from the paper's corner; the page set-up shows the
// report's own margins. The job's name is a valid file name ("CEC/L計算書" names no folder).
void preparePrinter(QPrinter &printer, const BandedReport &report, const QString &title)
{
    QString job = title;
    job.replace(u'/', QChar(0xFF0F));
    printer.setDocName(job);
    report.preparePaper(printer);
    const double mm = 25.4 / BandedReport::kTwipsPerInch;
    const QMarginsF margins = report.marginsTwips;
    printer.setPageMargins(QMarginsF(margins.left() * mm, margins.top() * mm, margins.right() * mm, margins.bottom() * mm),
                           QPageLayout::Millimeter);
    printer.setFullPage(true);
}

Placement previewPlacement(const QRect &available)
{
    // A B4 page wants room: below 1100 x 800 the window takes the whole free area.
    if (available.width() < 1100 || available.height() < 800)
        return {available.size(), true};
    return {QSize(std::min(1400, available.width() * 9 / 10), available.height() * 9 / 10), false};
}

QList<bool> Option::states() const
{
    QList<bool> out;
    for (const Choice &c : choices)
        out.append(c.checked);
    return out;
}

void preview(QWidget *parent, const BandedReport &base, const QList<QSqlRecord> &rows, const QString &title,
             const QString &pdfName, const QString &notice, const Option *option, const ExcelWriter &excel)
{
    QList<bool> states = option ? option->states() : QList<bool>();
    const std::optional<BandedReport> made = option ? option->report(states) : base;
    if (!made)
        return; // the work was cancelled: no preview
    BandedReport report = *made;
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer, report, title);
    QPrintPreviewDialog dialog(&printer, parent);
    // The reports are B4 landscape: no buttons that would turn the page.
    for (QAction *action : dialog.findChildren<QAction *>()) {
        const QString text = action->text();
        if (text == QCoreApplication::translate("QPrintPreviewDialog", "Portrait")
            || text == QCoreApplication::translate("QPrintPreviewDialog", "Landscape"))
            action->setVisible(false);
    }
    dialog.setWindowTitle(title + QStringLiteral(" - 印刷プレビュー"));
    QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const Placement place = previewPlacement(screen ? screen->availableGeometry() : QRect(0, 0, 1200, 860));
    dialog.resize(place.size);
    if (place.maximised)
        dialog.setWindowState(dialog.windowState() | Qt::WindowMaximized);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter *p) {
        preparePrinter(*p, report, title);
        report.render(*p, rows);
    });
    if (QToolBar *bar = dialog.findChild<QToolBar *>(); bar && option) {
        bar->addSeparator();
        for (qsizetype i = 0; i < option->choices.size(); ++i) {
            const Option::Choice &c = option->choices[i];
            QAction *choice = bar->addAction(c.text);
            choice->setObjectName(i == 0 ? QStringLiteral("Action_Option") : QStringLiteral("Action_Option_%1").arg(i));
            choice->setCheckable(true);
            choice->setChecked(c.checked);
            QObject::connect(choice, &QAction::toggled, &dialog, [&, i, choice](bool on) {
                states[i] = on;
                const std::optional<BandedReport> again = option->report(states);
                if (!again) {
                    // Cancelled: the report and the choice stay as they were.
                    states[i] = !on;
                    const QSignalBlocker quiet(choice);
                    choice->setChecked(!on);
                    return;
                }
                option->choices[i].remember(on);
                report = *again;
                if (auto *pages = dialog.findChild<QPrintPreviewWidget *>())
                    pages->updatePreview();
            });
        }
    }
    if (QToolBar *bar = dialog.findChild<QToolBar *>()) {
        bar->addSeparator();
        QAction *pdf = bar->addAction(QStringLiteral("PDFに保存..."));
        pdf->setObjectName(QStringLiteral("Action_SavePdf"));
        QObject::connect(pdf, &QAction::triggered, &dialog, [&] {
            const QString path = Dialogs::instance().saveFile(&dialog, pdfName.isEmpty() ? QStringLiteral("*.pdf") : pdfName,
                                                              QStringLiteral("PDF (*.pdf)|*.pdf"), 1);
            if (path.isEmpty())
                return;
            QString error;
            if (!writePdf(report, rows, path, title, &error))
                Dialogs::inform(&dialog, QStringLiteral("PDFを保存できませんでした。\n%1").arg(error));
        });
        if (excel) {
            QAction *xlsx = bar->addAction(QStringLiteral("Excelに保存..."));
            xlsx->setObjectName(QStringLiteral("Action_SaveExcel"));
            QObject::connect(xlsx, &QAction::triggered, &dialog, [&] {
                const QFileInfo pdf(pdfName);
                const QString proposed = pdfName.isEmpty() ? QStringLiteral("*.xlsx")
                                                           : pdf.dir().filePath(pdf.completeBaseName() + QStringLiteral(".xlsx"));
                const QString path = Dialogs::instance().saveFile(&dialog, proposed, QStringLiteral("Excel (*.xlsx)|*.xlsx"), 1);
                if (path.isEmpty())
                    return;
                QString error;
                if (!excel(path, &error))
                    Dialogs::inform(&dialog, QStringLiteral("Excelのファイルを保存できませんでした。\n%1").arg(error));
            });
        }
    }
    if (!notice.isEmpty()) {
        auto *line = new QLabel(notice, &dialog);
        line->setObjectName(QStringLiteral("Lbl_Notice"));
        line->setWordWrap(true);
        line->setTextInteractionFlags(Qt::TextSelectableByMouse);
        line->setStyleSheet(QStringLiteral("QLabel { background: #fff8d0; padding: 4px; }"));
        auto *box = qobject_cast<QBoxLayout *>(dialog.layout());
        auto *pages = dialog.findChild<QPrintPreviewWidget *>();
        if (box && pages && box->indexOf(pages) >= 0)
            box->insertWidget(box->indexOf(pages), line);
    }
    const ModalScope running(dialog.parentWidget());
    dialog.exec();
}

void print(QWidget *parent, const BandedReport &base, const QList<QSqlRecord> &rows, const QString &title,
           const QString &pdfName, const Option *option)
{
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer, base, title);
    // With no printer the dialog prints to a file: the PDF beside the work file.
    if (QPrinterInfo::availablePrinters().isEmpty())
        printer.setOutputFileName(pdfName);
    QPrintDialog dialog(&printer, parent);
    QList<QCheckBox *> choices;
    if (option) {
        auto *tab = new QWidget;
        tab->setWindowTitle(QStringLiteral("帳票"));
        auto *layout = new QVBoxLayout(tab);
        for (qsizetype i = 0; i < option->choices.size(); ++i) {
            auto *choice = new QCheckBox(option->choices[i].text, tab);
            choice->setObjectName(i == 0 ? QStringLiteral("Chk_Option") : QStringLiteral("Chk_Option_%1").arg(i));
            choice->setChecked(option->choices[i].checked);
            layout->addWidget(choice);
            choices.append(choice);
        }
        layout->addStretch();
        dialog.setOptionTabs({tab});
    }
    const ModalScope running(dialog.parentWidget());
    if (dialog.exec() != QDialog::Accepted)
        return;
    QList<bool> states;
    for (qsizetype i = 0; i < choices.size(); ++i) {
        states.append(choices[i]->isChecked());
        option->choices[i].remember(states.last());
    }
    const std::optional<BandedReport> made = option ? option->report(states) : base;
    if (!made)
        return; // cancelled: nothing printed
    const BandedReport &report = *made;
    // Printed to a file: through the checked write like every other file, and said when it fails.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        QString error;
        if (!writePdf(report, rows, printer.outputFileName(), title, &error))
            Dialogs::inform(parent, QStringLiteral("PDFを保存できませんでした。\n%1").arg(error));
        return;
    }
    printer.setFullPage(true);
    report.render(printer, rows);
}

} // namespace ReportOutput
