#pragma once

#include <QValidator>

class QLineEdit;

// Refuses characters that a work file (code page 932) cannot hold, as they are typed or pasted,
// so that everything on a sheet can be saved. For a numeric box it also refuses anything but
// digits, blanks and the point, and for a box with a length it refuses text beyond it, pasted as
// well as typed; text already in the box (loaded from a file) is never cut or refused.
class Cp932Validator : public QValidator
{
public:
    explicit Cp932Validator(QObject *parent = nullptr) : QValidator(parent) {}
    Cp932Validator(QLineEdit *box, bool numeric, int maxLength);
    State validate(QString &input, int &pos) const override;

private:
    QLineEdit *m_box = nullptr;
    QString m_before; // the box's text before the edit under way
    bool m_numeric = false;
    int m_maxLength = 0;
};
