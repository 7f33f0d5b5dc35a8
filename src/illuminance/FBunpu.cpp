#include "illuminance/FBunpu.h"
#include <QMenu>
#include "grid/RoomFloors.h"
#include "illuminance/DistributionDxf.h"

#include "illuminance/RoomRecord.h"
#include "illuminance/RptSyoudo.h"
#include "io/CheckedFile.h"
#include "photometry/DistributionPlot.h"
#include "report/ReportOutput.h"
#include "settings/SettingsStore.h"
#include "ui/Dialogs.h"
#include "ui_F_Bunpu.h"

#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QSignalBlocker>

namespace {

const QString kValuesSetting = QStringLiteral("DistributionPointValues");

} // namespace

FBunpu::FBunpu(const RecordGrid &sheet, int row, const MasterTables &masters, const QString &masterDir,
               const RoomDistribution::Headings &headings, const QString &saveFolder, QWidget *parent)
    : QDialog(parent), m_ui(new Ui::F_Bunpu), m_sheet(sheet), m_row(row), m_masters(masters), m_masterDir(masterDir),
      m_headings(headings), m_saveFolder(saveFolder)
{
    m_ui->setupUi(this);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    m_rows = RoomDistribution::roomRows(m_sheet, m_row);
    // Every room of the sheet, one after another, without closing the window.
    m_rooms = RoomDistribution::rooms(m_sheet);
    for (const QList<int> &rows : std::as_const(m_rooms)) {
        const int first = rows.first();
        QString rowsText = QString::number(first);
        if (rows.size() > 1)
            rowsText += u'-' + QString::number(rows.last());
        m_ui->Cmb_Room->addItem(QStringLiteral("%1 行目　%2　%3 %4")
                                    .arg(rowsText, m_sheet.text(first, RoomRecord::Floor), m_sheet.text(first, RoomRecord::RoomName1),
                                         m_sheet.text(first, RoomRecord::RoomName2))
                                    .trimmed(),
                                first);
    }
    showRoomInList();
    connect(m_ui->Cmb_Room, &QComboBox::activated, this, [this](int index) { goToRoom(index); });
    connect(m_ui->Btn_PrevRoom, &QPushButton::clicked, this, [this] { goToRoom(m_ui->Cmb_Room->currentIndex() - 1); });
    connect(m_ui->Btn_NextRoom, &QPushButton::clicked, this, [this] { goToRoom(m_ui->Cmb_Room->currentIndex() + 1); });
    connect(m_ui->Btn_Close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->Btn_Png, &QPushButton::clicked, this, &FBunpu::Btn_Png_Click);
    connect(m_ui->Btn_Pdf, &QPushButton::clicked, this, &FBunpu::Btn_Pdf_Click);
    auto *dxf = new QMenu(m_ui->Btn_Dxf);
    dxf->addAction(QStringLiteral("この室(&R)..."), this, [this] { writeDxf(false); })->setObjectName(QStringLiteral("Act_DxfRoom"));
    dxf->addAction(QStringLiteral("ファイルの全室(&A)..."), this, [this] { writeDxf(true); })->setObjectName(QStringLiteral("Act_DxfAll"));
    m_ui->Btn_Dxf->setMenu(dxf);
    connect(m_ui->Chk_Shade, &QCheckBox::toggled, m_ui->Wid_Plot, &DistributionView::setShaded);
    m_ui->Chk_Values->setChecked(SettingsStore::ReadSetting(kValuesSetting) == u"1");
    m_ui->Wid_Plot->setPointValues(m_ui->Chk_Values->isChecked());
    connect(m_ui->Chk_Values, &QCheckBox::toggled, this, [this](bool on) {
        SettingsStore::WriteSetting(kValuesSetting, on ? QStringLiteral("1") : QStringLiteral("0"));
        m_ui->Wid_Plot->setPointValues(on);
    });
    connect(m_ui->Btn_Default, &QPushButton::clicked, this, [this] { recompute(std::nullopt); });
    // The inter-reflection: remembered for the next room, the report and the batch's default.
    m_ui->Cmb_Sougo->setCurrentIndex(RoomDistribution::savedMethod() == Distribution::InterReflection::Uniform ? 1 : 0);
    connect(m_ui->Cmb_Sougo, &QComboBox::currentIndexChanged, this, [this](int index) {
        RoomDistribution::saveMethod(index == 1 ? Distribution::InterReflection::Uniform : Distribution::InterReflection::Radiosity);
        const qsizetype mine = m_rows.indexOf(m_row);
        const bool own = m_outcome.ok && mine >= 0 && mine < m_outcome.room.sources.size();
        recompute(own ? std::optional<Distribution::Layout>(m_outcome.room.sources[mine].layout) : std::nullopt);
    });
    // The glare observers' eye: remembered for the report and the batch as well.
    m_ui->Chk_Standing->setChecked(RoomDistribution::savedEyeHeight() == RoomGlare::kStanding);
    connect(m_ui->Chk_Standing, &QCheckBox::toggled, this, [this](bool on) {
        RoomDistribution::saveEyeHeight(on ? RoomGlare::kStanding : RoomGlare::kSeated);
        const qsizetype mine = m_rows.indexOf(m_row);
        const bool own = m_outcome.ok && mine >= 0 && mine < m_outcome.room.sources.size();
        recompute(own ? std::optional<Distribution::Layout>(m_outcome.room.sources[mine].layout) : std::nullopt);
    });
    for (QSpinBox *box : {m_ui->Spn_Nx, m_ui->Spn_Ny})
        connect(box, &QSpinBox::valueChanged, this, [this] {
            if (!m_updating)
                recompute(Distribution::Layout::grid(m_ui->Spn_Nx->value(), m_ui->Spn_Ny->value()));
        });
    recompute(std::nullopt);
}

FBunpu::~FBunpu()
{
    delete m_ui;
}

void FBunpu::showEvent(QShowEvent *event)
{
    // The drawing grows with the window: it opens at most of the screen, not at its least size.
    if (!m_sized) {
        m_sized = true;
        if (const QScreen *s = screen()) {
            const QRect free = s->availableGeometry();
            resize(std::max(minimumWidth(), free.width() * 3 / 4), std::max(minimumHeight(), free.height() * 85 / 100));
        }
    }
    QDialog::showEvent(event);
}

void FBunpu::showRoomInList()
{
    int at = -1;
    for (qsizetype i = 0; i < m_rooms.size(); ++i)
        if (m_rooms[i].contains(m_row))
            at = int(i);
    const QSignalBlocker quiet(m_ui->Cmb_Room);
    m_ui->Cmb_Room->setCurrentIndex(at);
    m_ui->Btn_PrevRoom->setEnabled(at > 0);
    m_ui->Btn_NextRoom->setEnabled(at >= 0 && at + 1 < m_rooms.size());
}

void FBunpu::goToRoom(int index)
{
    if (index < 0 || index >= m_rooms.size())
        return;
    m_row = m_rooms[index].first();
    m_rows = m_rooms[index];
    showRoomInList();
    recompute(std::nullopt);
}

void FBunpu::recompute(std::optional<Distribution::Layout> layout)
{
    QList<RoomDistribution::Texts> texts;
    for (int r : std::as_const(m_rows))
        texts.append([this, r](int c) { return m_sheet.text(r, c); });
    QHash<int, Distribution::Layout> tried;
    if (layout)
        tried.insert(m_row, *layout);
    m_outcome = m_rows.isEmpty() ? RoomDistribution::Outcome{}
                                 : RoomDistribution::compute(texts, m_rows, m_masters, m_masterDir, tried, nullptr, nullptr,
                                                             RoomDistribution::savedMethod());
    if (m_rows.isEmpty()) {
        m_outcome.row = m_row;
        m_outcome.reason = QStringLiteral("室名も照明器具もない行です。");
    }
    const RoomDistribution::Outcome &o = m_outcome;
    m_ui->Lbl_Room->setText(QStringLiteral("%1 行目　%2").arg(o.rows.isEmpty() ? QString::number(m_row) : o.rowsText(), o.name));
    const bool ok = o.ok;
    m_ui->Lbl_Message->setVisible(!ok || !RoomDistribution::warnings(o).isEmpty());
    m_ui->Lbl_Message->setText(ok ? RoomDistribution::warnings(o).join(u'\n') : o.reason);
    m_ui->Lbl_Figures->setText(ok ? RoomDistribution::figures(o).join(u'\n') : QString());
    for (QWidget *w : {static_cast<QWidget *>(m_ui->Spn_Nx), static_cast<QWidget *>(m_ui->Spn_Ny),
                       static_cast<QWidget *>(m_ui->Btn_Default), static_cast<QWidget *>(m_ui->Btn_Png),
                       static_cast<QWidget *>(m_ui->Btn_Pdf)})
        w->setEnabled(ok);
    if (!ok) {
        m_ui->Wid_Plot->clear();
        return;
    }
    // The boxes show the layout of the room's own row: its longest row by the number of rows.
    const qsizetype mine = m_rows.indexOf(m_row);
    const Distribution::Layout &l = o.room.sources.value(mine < 0 ? 0 : mine).layout;
    m_updating = true;
    m_ui->Spn_Nx->setMaximum(std::max(m_ui->Spn_Nx->maximum(), l.longest()));
    m_ui->Spn_Ny->setMaximum(std::max(m_ui->Spn_Ny->maximum(), int(l.rows.size())));
    m_ui->Spn_Nx->setValue(l.longest());
    m_ui->Spn_Ny->setValue(int(l.rows.size()));
    m_updating = false;
    m_ui->Wid_Plot->show(o.room, o.result, RoomDistribution::observerMarks(o));
}

QString FBunpu::startFor(const QString &suffix) const
{
    // Beside the work file, else where files were last saved.
    const QString folder = !m_saveFolder.isEmpty() ? m_saveFolder : SettingsStore::readPath(QStringLiteral("LastFolder"));
    // Named for the room; characters no file name may hold are written full width.
    QString room = m_outcome.name.trimmed();
    if (room.isEmpty())
        room = m_outcome.rows.isEmpty() ? QString::number(m_row) : m_outcome.rowsText();
    static const QString from = QStringLiteral("/\\:*?\"<>|"), to = QStringLiteral("／＼：＊？＂＜＞｜");
    for (qsizetype i = 0; i < from.size(); ++i)
        room.replace(from[i], to[i]);
    const QString file = QStringLiteral("照度分布_%1.%2").arg(room, suffix);
    return folder.isEmpty() || !QFileInfo(folder).isDir() ? file : QDir(folder).filePath(file);
}

void FBunpu::Btn_Png_Click()
{
    const QString path = Dialogs::instance().saveFile(this, startFor(QStringLiteral("png")), QStringLiteral("PNG (*.png)|*.png"), 1);
    if (path.isEmpty())
        return;
    // The drawing and its figures, as the window shows them.
    const QStringList lines = RoomDistribution::warnings(m_outcome) + RoomDistribution::figures(m_outcome);
    QImage image(1600, 1200, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        const QRectF area(40, 30, 1520, 1140);
        const double line = 28;
        QFont font = painter.font();
        font.setPixelSize(20);
        painter.setFont(font);
        painter.drawText(QRectF(area.left(), area.top(), area.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("照度分布　%1 行目　%2").arg(m_outcome.rowsText(), m_outcome.name));
        const double figuresTop = area.bottom() - lines.size() * line;
        for (int i = 0; i < lines.size(); ++i)
            painter.drawText(QRectF(area.left(), figuresTop + i * line, area.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
                             lines[i]);
        m_ui->Wid_Plot->drawInto(painter, QRectF(area.left(), area.top() + line * 1.5, area.width(),
                                                 figuresTop - area.top() - line * 2));
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QString error;
    if (!image.save(&buffer, "PNG"))
        error = QStringLiteral("画像をPNGにできません。");
    if (!error.isEmpty() || !CheckedFile::write(path, buffer.data(), &error)) {
        Dialogs::inform(this, QStringLiteral("PNGを保存できませんでした。"), error);
        return;
    }
    m_ui->Lbl_Status->setText(QStringLiteral("PNG を保存しました: %1").arg(QDir::toNativeSeparators(path)));
}

void FBunpu::writeDxf(bool all)
{
    QString start = startFor(QStringLiteral("dxf"));
    if (all)
        start = QFileInfo(start).dir().filePath(QStringLiteral("照度分布.dxf"));
    const QString path = Dialogs::instance().saveFile(this, start, QStringLiteral("DXF (*.dxf)|*.dxf"), 1);
    if (path.isEmpty())
        return;
    QList<RoomDistribution::Outcome> rooms{m_outcome};
    if (all) {
        const auto computed = RoomDistribution::computeAll(m_sheet, m_masters, m_masterDir, RoomDistribution::savedMethod(),
                                                           [this](int done, int total) {
                                                               return Dialogs::instance().progress(
                                                                   this, QStringLiteral("照度分布を計算しています（%1 / %2 室）").arg(done).arg(total),
                                                                   done, total);
                                                           });
        if (!computed)
            return;
        rooms = *computed;
    }
    const QVector<QString> floors = RoomFloors::of(m_sheet);
    QStringList floorOf;
    for (const RoomDistribution::Outcome &o : std::as_const(rooms))
        floorOf.append(floors.value(o.rows.value(0, o.row)));
    QString error;
    // The points' values as the window shows them: their layer on or off.
    if (!CheckedFile::write(path, DistributionDxf::drawing(rooms, floorOf, m_ui->Chk_Values->isChecked()), &error)) {
        Dialogs::inform(this, QStringLiteral("DXF を書き出せませんでした。"), error);
        return;
    }
    m_ui->Lbl_Status->setText(QStringLiteral("DXF を書き出しました（%1 室）: %2").arg(rooms.size()).arg(QDir::toNativeSeparators(path)));
}

void FBunpu::Btn_Pdf_Click()
{
    const QString path = Dialogs::instance().saveFile(this, startFor(QStringLiteral("pdf")), QStringLiteral("PDF (*.pdf)|*.pdf"), 1);
    if (path.isEmpty())
        return;
    // A page of its own, B4 landscape under the sheet's 件名 and 日付, as the report's pages.
    BandedReport report = RptSyoudo::definition();
    report.extraPages = RoomDistribution::pages({m_outcome}, m_headings,
                                                {m_ui->Chk_Shade->isChecked(), m_ui->Chk_Values->isChecked()}, 1);
    QString error;
    if (!ReportOutput::writePdf(report, {}, path, QStringLiteral("照度分布 %1").arg(m_outcome.name), &error)) {
        Dialogs::inform(this, QStringLiteral("PDFを保存できませんでした。"), error);
        return;
    }
    m_ui->Lbl_Status->setText(QStringLiteral("PDF を保存しました: %1").arg(QDir::toNativeSeparators(path)));
}
