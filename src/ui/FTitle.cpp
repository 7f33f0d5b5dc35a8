#include "ui/FTitle.h"

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

FTitle::FTitle(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("F_Title"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setModal(true);

    auto *logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("Img_Logo"));
    logo->setPixmap(logoPixmap());

    auto *product = new QLabel(QStringLiteral("ゼルティカとドルネア"), this);
    product->setObjectName(QStringLiteral("Lbl_Product"));
    QFont big = product->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    product->setFont(big);

    auto *version = new QLabel(versionText(PRX5M_VERSION_MAJOR, PRX5M_VERSION_MINOR, PRX5M_VERSION_PATCH), this);
    version->setObjectName(QStringLiteral("Lbl_Version"));
    auto *platform = new QLabel(QStringLiteral("for Windows98/NT"), this);
    platform->setObjectName(QStringLiteral("Lbl_Platform"));

    auto *close = new QPushButton(QStringLiteral("閉じる"), this);
    close->setObjectName(QStringLiteral("Btn_Close"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *texts = new QVBoxLayout;
    texts->addWidget(product);
    texts->addWidget(version);
    texts->addWidget(platform);
    texts->addStretch();
    auto *top = new QHBoxLayout;
    top->addWidget(logo, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(texts);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(340, 0)));
}
