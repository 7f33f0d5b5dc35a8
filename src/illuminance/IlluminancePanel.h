#pragma once

#include <QString>

// The edit panel of the illuminance sheet as the calculation sees it: texts by control name.
// Boxes are named as on the form ("Txt_Maguchi"), check boxes give "1" or "0" ("Chk_Tousu"),
// the maintenance labels are "Lbl_Hosyu_0" to "Lbl_Hosyu_2". The same calculation runs on the
// form and on a plain table of texts in the tests.
class IlluminancePanel
{
public:
    virtual ~IlluminancePanel() = default;

    virtual QString text(const QString &name) const = 0;
    virtual void setText(const QString &name, const QString &text) = 0;

    // Gives the named control the focus with its whole text selected; names that are no single
    // focusable control are ignored.
    virtual void focus(const QString &name) = 0;
    virtual void setVisible(const QString &name, bool visible) = 0;
    virtual void setEnabled(const QString &name, bool enabled) = 0;
};

// The form integers of the sheet beside its boxes.
struct FormState {
    int luminaireIndex = 0;    // slot of the picked luminaire, 0 = none
    int lampIndex = 0;         // slot of the picked lamp, 0 = typed by hand
    int reflectanceChoice = 0; // 0 none, 1..3 pattern
    int maintenanceChoice = 0; // index 0..2 of the last maintenance button
    int capacityMode = 0;      // 0 unset, 1 automatic, 2 manual, 3 none
    int reserved = 0;
};
