#include "ui/FTitle.h"

#include "ui_F_Title.h"

#include "version.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A drawn logo: a pendant lamp casting light on a work plane.
QPixmap logoPixmap()
{
    QPixmap pm(72, 72);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient light(36, 24, 36, 66);
    light.setColorAt(0, QColor(255, 236, 150, 220));
    light.setColorAt(1, QColor(255, 236, 150, 30));
    p.setPen(Qt::NoPen);
    p.setBrush(light);
    p.drawPolygon(QPolygonF({QPointF(26, 26), QPointF(46, 26), QPointF(64, 64), QPointF(8, 64)}));
    p.setPen(QPen(QColor(60, 60, 70), 2));
    p.drawLine(36, 2, 36, 14);
    p.setBrush(QColor(40, 70, 120));
    p.drawPolygon(QPolygonF({QPointF(28, 14), QPointF(44, 14), QPointF(50, 26), QPointF(22, 26)}));
    p.setPen(QPen(QColor(60, 60, 70), 3));
    p.drawLine(4, 66, 68, 66);
    return pm;
}

} // namespace

QString FTitle::versionText(int major, int minor, int revision)
{
    return QStringLiteral("Ver. %1.%2.%3").arg(major).arg(minor).arg(revision);
}

FTitle::FTitle(QWidget *parent) : QDialog(parent), m_ui(new Ui::F_Title)
{
    m_ui->setupUi(this);
    m_ui->Img_Logo->setPixmap(logoPixmap());
    m_ui->Lbl_Version->setText(versionText(PRX5M_VERSION_MAJOR, PRX5M_VERSION_MINOR, PRX5M_VERSION_PATCH));
    connect(m_ui->Btn_Close, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(sizeHint().expandedTo(QSize(340, 0)));
}

FTitle::~FTitle()
{
    delete m_ui;
}
