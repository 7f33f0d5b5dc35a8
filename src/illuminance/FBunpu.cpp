#include "illuminance/FBunpu.h"

#include "io/CheckedFile.h"
#include "photometry/DistributionPlot.h"
#include "report/ReportFont.h"
#include "settings/SettingsStore.h"
#include "ui/Dialogs.h"
#include "ui_F_Bunpu.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>

FBunpu::FBunpu(const QHash<int, QString> &texts, int row, const MasterTables &masters, const QString &masterDir,
               QWidget *parent)
    : QDialog(parent), m_ui(new Ui::F_Bunpu), m_texts(texts), m_row(row), m_masters(masters), m_masterDir(masterDir)
{
    m_ui->setupUi(this);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    connect(m_ui->Btn_Close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->Btn_Png, &QPushButton::clicked, this, &FBunpu::Btn_Png_Click);
    connect(m_ui->Btn_Pdf, &QPushButton::clicked, this, &FBunpu::Btn_Pdf_Click);
    connect(m_ui->Chk_Shade, &QCheckBox::toggled, m_ui->Wid_Plot, &DistributionView::setShaded);
    connect(m_ui->Btn_Default, &QPushButton::clicked, this, [this] { recompute(std::nullopt); });
    for (QSpinBox *box : {m_ui->Spn_Nx, m_ui->Spn_Ny})
        connect(box, &QSpinBox::valueChanged, this, [this] {
            if (!m_updating)
                recompute(Distribution::Layout{m_ui->Spn_Nx->value(), m_ui->Spn_Ny->value()});
        });
    recompute(std::nullopt);
}

FBunpu::~FBunpu()
{
    delete m_ui;
}

void FBunpu::recompute(std::optional<Distribution::Layout> layout)
{
    m_outcome = RoomDistribution::compute([this](int c) { return m_texts.value(c); }, m_row, m_masters, m_masterDir, layout);
    const RoomDistribution::Outcome &o = m_outcome;
    m_ui->Lbl_Room->setText(QStringLiteral("行 %1　%2").arg(o.row).arg(o.name));
    const bool ok = o.ok;
    m_ui->Lbl_Message->setVisible(!ok);
    m_ui->Lbl_Message->setText(o.reason);
    m_ui->Lbl_Figures->setText(ok ? DistributionPlot::figures(o.room, o.result, o.lumenResult).join(u'\n') : QString());
    for (QWidget *w : {static_cast<QWidget *>(m_ui->Spn_Nx), static_cast<QWidget *>(m_ui->Spn_Ny),
                       static_cast<QWidget *>(m_ui->Btn_Default), static_cast<QWidget *>(m_ui->Btn_Png),
                       static_cast<QWidget *>(m_ui->Btn_Pdf)})
        w->setEnabled(ok);
    if (!ok) {
        m_ui->Wid_Plot->clear();
        return;
    }
    m_updating = true;
    // A long corridor's default layout can be one row of more luminaires than the boxes offer.
    m_ui->Spn_Nx->setMaximum(std::max(m_ui->Spn_Nx->maximum(), o.result.layout.nx));
    m_ui->Spn_Ny->setMaximum(std::max(m_ui->Spn_Ny->maximum(), o.result.layout.ny));
    m_ui->Spn_Nx->setValue(o.result.layout.nx);
    m_ui->Spn_Ny->setValue(o.result.layout.ny);
    m_updating = false;
    m_ui->Wid_Plot->show(o.room, o.photometry, o.result);
}

void FBunpu::drawPage(QPainter &painter, const QRectF &area) const
{
    const QStringList figures = DistributionPlot::figures(m_outcome.room, m_outcome.result, m_outcome.lumenResult);
    const double line = area.height() / 34;
    QFont font = ReportFont::font();
    font.setPixelSize(std::max(6, int(line * 0.7)));
    painter.setFont(font);
    painter.setPen(Qt::black);
    QFont bold = font;
    bold.setBold(true);
    painter.setFont(bold);
    painter.drawText(QRectF(area.left(), area.top(), area.width(), line * 1.2), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("照度分布　行 %1　%2").arg(m_outcome.row).arg(m_outcome.name));
    painter.setFont(font);
    const double figuresTop = area.bottom() - figures.size() * line;
    for (int i = 0; i < figures.size(); ++i)
        painter.drawText(QRectF(area.left(), figuresTop + i * line, area.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
                         figures[i]);
    m_ui->Wid_Plot->drawInto(painter, QRectF(area.left(), area.top() + line * 1.5, area.width(),
                                             figuresTop - area.top() - line * 2));
}

namespace {

QString startFor(const QString &suffix, const QString &name)
{
    const QString folder = SettingsStore::readPath(QStringLiteral("LastFolder"));
    const QString file = QStringLiteral("照度分布_%1.%2").arg(name, suffix);
    return folder.isEmpty() ? file : QDir(folder).filePath(file);
}

} // namespace

void FBunpu::Btn_Png_Click()
{
    const QString path = Dialogs::instance().saveFile(this, startFor(QStringLiteral("png"), QString::number(m_row)),
                                                      QStringLiteral("PNG (*.png)|*.png"), 1);
    if (path.isEmpty())
        return;
    QImage image(1600, 1200, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        drawPage(painter, QRectF(40, 30, 1520, 1140));
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QString error;
    if (!image.save(&buffer, "PNG"))
        error = QStringLiteral("画像をPNGにできません。");
    if (!error.isEmpty() || !CheckedFile::write(path, buffer.data(), &error))
        Dialogs::inform(this, QStringLiteral("PNGを保存できませんでした。"), error);
}

void FBunpu::Btn_Pdf_Click()
{
    const QString path = Dialogs::instance().saveFile(this, startFor(QStringLiteral("pdf"), QString::number(m_row)),
                                                      QStringLiteral("PDF (*.pdf)|*.pdf"), 1);
    if (path.isEmpty())
        return;
    QString error;
    if (!CheckedFile::checkTarget(path, &error)) {
        Dialogs::inform(this, QStringLiteral("PDFを保存できませんでした。"), error);
        return;
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Landscape);
        writer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
        writer.setResolution(300);
        writer.setTitle(QStringLiteral("照度分布 %1").arg(m_outcome.name));
        QPainter painter(&writer);
        drawPage(painter, QRectF(0, 0, writer.width(), writer.height()));
    }
    if (!CheckedFile::write(path, buffer.data(), &error))
        Dialogs::inform(this, QStringLiteral("PDFを保存できませんでした。"), error);
}
