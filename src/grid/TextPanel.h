#pragma once

#include "grid/Panel.h"

#include <QHash>
#include <QSet>
#include <QStringList>

// A panel as a plain table of texts: the form's stand-in for the rules in tests and tools.
class TextPanel : public Panel
{
public:
    QString text(const QString &name) const override { return m_texts.value(name); }
    void setText(const QString &name, const QString &text) override { m_texts.insert(name, text); }
    void focus(const QString &name) override { focused.append(name); }
    void setVisible(const QString &name, bool visible) override
    {
        if (visible)
            hidden.remove(name);
        else
            hidden.insert(name);
    }
    void setEnabled(const QString &name, bool enabled) override
    {
        if (enabled)
            disabled.remove(name);
        else
            disabled.insert(name);
    }

    QStringList focused; // every focus request, in order
    QSet<QString> hidden;
    QSet<QString> disabled;

private:
    QHash<QString, QString> m_texts;
};
