#pragma once

#include "illuminance/IlluminancePanel.h"

#include <QString>

class MasterTables;

// The lumen-method engine of the illuminance sheet. Works on the panel's texts only.
class IlluminanceCalculation
{
public:
    // Checks and reformats the field just left (fieldName), then recomputes every derived value
    // of the panel. Returns 0 when all went well, 1 when the height check failed, or the field's
    // error number when its value is out of range. Never shows a message.
    static int Data_calculation(IlluminancePanel &panel, const FormState &state, const MasterTables &masters,
                                const QString &fieldName);

    // The figures that follow the row's inputs and its 自動 boxes (steps 7 to 10 and the capacity
    // of 自動計算): the lamp counts, the resulting illuminance, the fitting count and 備考１ worked
    // out from the area, flux, factors and design illuminance as they stand. Without masters the
    // capacity is left as it is.
    static void recalculateFigures(IlluminancePanel &panel, const FormState &state, const MasterTables *masters);

    // Room-index class 1..12 of a room index K (the first class whose lower bound K reaches).
    static int roomIndexClass(double k);
    // The room-index letter "A".."J" of a class.
    static QString roomIndexLetter(int cls);

    struct FieldCheck {
        const char *field;
        int error;
        double low;
        bool lowInclusive;
        double high;
        bool highInclusive;
        const char *pattern;
        const char *caption; // the field as the user knows it
    };
    // The field checks, by control name; nullptr when the name has none.
    static const FieldCheck *fieldCheck(const QString &fieldName);

    // Why a value was refused, for the status bar: `result` as Data_calculation gave it for
    // `fieldName` ("" for 0).
    static QString refusalText(int result, const QString &fieldName);
};
