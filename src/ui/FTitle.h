#pragma once

#include <QDialog>

// The version box: product name, version, platform line and the logo.
class FTitle : public QDialog
{
    Q_OBJECT
public:
    explicit FTitle(QWidget *parent = nullptr);

    // "Ver. " + major.minor.revision, each as a plain decimal number.
    static QString versionText(int major, int minor, int revision);
};
