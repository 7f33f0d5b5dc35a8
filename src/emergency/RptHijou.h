#pragma once

#include "emergency/EmergencyMaster.h"
#include "emergency/EmergencyRooms.h"
#include "report/BandedReport.h"
#include "report/XlsxOutput.h"

#include <QString>

// The report "非常用照明 照度計算書" (B4 landscape, the frame of the other reports): a line per room
// (階, 室名, 床面積, 器具形式, 光源, 台数, 取付高さ, 基準照度, 最小照度, 判定, 備考), then the rooms'
// plans two a page, then the 配置表 of every luminaire used; the note of the rule on every page.
namespace RptHijou {

const QString &title();

struct Pages {
    QList<EmergencyRooms::Room> rooms;
    EmergencyRooms::Lights lights;
    EmergencyMaster::Master master;
    QString subject, date, company;
};
BandedReport definition(const Pages &pages);
XlsxOutput::Sheet workbook(const QList<QSqlRecord> &rows);

} // namespace RptHijou
