#pragma once

#include <QDialog>

namespace Ui {
class F_Title;
}

// The version box: product name, version, platform line and the logo.
class FTitle : public QDialog
{
    Q_OBJECT
public:
    explicit FTitle(QWidget *parent = nullptr);
    ~FTitle() override;

    // "Ver. " + major.minor.revision, each as a plain decimal number.
    static QString versionText(int major, int minor, int revision);

private:
    Ui::F_Title *m_ui;
};
