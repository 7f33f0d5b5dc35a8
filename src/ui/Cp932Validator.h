#pragma once

#include <QValidator>

// Refuses characters that a work file (code page 932) cannot hold, as they are typed or pasted,
// so that everything on a sheet can be saved.
class Cp932Validator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};
