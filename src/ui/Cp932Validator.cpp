#include "ui/Cp932Validator.h"

#include "text/Cp932.h"

#include <QLineEdit>

namespace {

qsizetype nonNumeric(const QString &text)
{
    qsizetype n = 0;
    for (QChar c : text)
        n += !((c >= u'0' && c <= u'9') || c == u' ' || c == u'.');
    return n;
}

} // namespace

Cp932Validator::Cp932Validator(QLineEdit *box, bool numeric, int maxLength)
    : QValidator(box), m_box(box), m_numeric(numeric), m_maxLength(maxLength)
{
    // The box's text is changed before it is validated: keep what it held, typed or set.
    m_before = box->text();
    QObject::connect(box, &QLineEdit::textChanged, this, [this](const QString &text) { m_before = text; });
}

QValidator::State Cp932Validator::validate(QString &input, int &) const
{
    bool ok = false;
    Cp932::encode(input, &ok);
    if (!ok)
        return Invalid;
    // Compared with the text before the edit: an edit may keep what the box held, not add to it.
    const QString &before = m_before;
    if (m_numeric && nonNumeric(input) > nonNumeric(before))
        return Invalid;
    if (m_maxLength > 0 && input.size() > m_maxLength && input.size() > before.size())
        return Invalid;
    return Acceptable;
}
