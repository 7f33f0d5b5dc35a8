#include "ui/Cp932Validator.h"

#include "text/Cp932.h"

QValidator::State Cp932Validator::validate(QString &input, int &) const
{
    bool ok = false;
    Cp932::encode(input, &ok);
    return ok ? Acceptable : Invalid;
}
