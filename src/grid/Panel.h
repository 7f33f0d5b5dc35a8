#pragma once

#include <QString>

// An edit panel as a sheet's rules see it: texts by control name. Boxes are named as on the form
// ("Txt_Maguchi"), check boxes give "1" or "0" ("Chk_Tousu"), labels their caption. The same rules
// run on a form and on a plain table of texts in the tests.
class Panel
{
public:
    virtual ~Panel() = default;

    virtual QString text(const QString &name) const = 0;
    virtual void setText(const QString &name, const QString &text) = 0;

    // Gives the named control the focus with its whole text selected; names that are no single
    // focusable control are ignored.
    virtual void focus(const QString &name) = 0;
    virtual void setVisible(const QString &name, bool visible) = 0;
    virtual void setEnabled(const QString &name, bool enabled) = 0;
};
