#pragma once

#include <QDate>
#include <QString>

// Dates in the Japanese era calendar.
namespace JapaneseDate {

// The full era name of a date ("令和", "平成", "昭和", "大正", "明治"); "" before 明治.
QString eraName(const QDate &date);
// The year of the era (1 for the era's first year).
int eraYear(const QDate &date);
// The pattern "ggg ee 年 mm 月 dd 日": era name, two-digit era year, month and day.
// Before 明治 the western year stands in for the era.
QString format(const QDate &date);

} // namespace JapaneseDate
