#pragma once

#include <QList>
#include <QString>

#include <optional>

// The four automatic control categories of a kind of luminaire and their factors, spelt as the
// official lighting input sheet spells the choices. Only automatic controls count; a blank choice
// is 無 (1.00).
namespace Controls {

enum Category : int { Occupancy = 0, Daylight = 1, Schedule = 2, InitialCorrection = 3 };
constexpr int kCategories = 4;

struct Choice {
    QString text;      // the input sheet's spelling ("無" for none)
    double factor = 1;
    QString shortText; // the report's short form ("－" for none)
    QString condition; // when the choice may be taken (the button's tool tip)
    bool nonHabitableOnly = false; // for rooms that are no 居室 (便所, 倉庫, 廊下 …) only
    int minWindowRatio = 0;        // the window ratio (%) the choice needs (0: none)
};

// The category's name ("在室検知制御").
QString categoryName(int category);
// Its choices, 無 first.
const QList<Choice> &choices(int category);
// The text as the current input sheet spells it when it is a choice of the category written
// another way (減光 → 減光方式, （LED） → (LED)); the text itself otherwise.
QString currentSpelling(int category, const QString &text);
// The choice a stored text stands for: blank is 無; the older sheets' spellings of the schedule
// (減光, 消灯) and full-width parentheses are read as the current input sheet's spellings.
// nullptr when the text is no choice of the category.
const Choice *find(int category, const QString &text);
// The text stored for a choice: "" for 無, the spelling otherwise.
QString stored(const Choice &choice);

} // namespace Controls
