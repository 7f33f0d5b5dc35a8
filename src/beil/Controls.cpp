#include "beil/Controls.h"

namespace Controls {

namespace {

const QList<Choice> kOccupancy = {
    {QStringLiteral("無"), 1.00, QStringLiteral("－"), QString()},
    {QStringLiteral("下限調光方式"), 0.95, QStringLiteral("下限調光"),
     QStringLiteral("在室検知による連続調光（調光可能な器具）")},
    {QStringLiteral("点滅方式"), 0.70, QStringLiteral("点滅"),
     QStringLiteral("在室検知による点滅。非居室（便所、倉庫、廊下など）に限る"), true},
    {QStringLiteral("減光方式"), 0.80, QStringLiteral("減光"),
     QStringLiteral("在室検知による段調光。非居室に限る"), true},
};

const QList<Choice> kDaylight = {
    {QStringLiteral("無"), 1.00, QStringLiteral("－"), QString()},
    {QStringLiteral("調光方式"), 0.90, QStringLiteral("調光"), QStringLiteral("昼光による調光。窓面積が床面積の 1/10 以上"),
     false, 10},
    {QStringLiteral("調光方式BL"), 0.85, QStringLiteral("調光BL"), QStringLiteral("調光方式に自動制御ブラインドを併用"), false,
     10},
    {QStringLiteral("調光方式W15"), 0.85, QStringLiteral("W15"), QStringLiteral("昼光による調光。窓面積率 15％以上"), false,
     15},
    {QStringLiteral("調光方式W15BL"), 0.78, QStringLiteral("W15BL"),
     QStringLiteral("窓面積率 15％以上、その半分以上に自動制御ブラインド"), false, 15},
    {QStringLiteral("調光方式W20"), 0.80, QStringLiteral("W20"), QStringLiteral("昼光による調光。窓面積率 20％以上"), false,
     20},
    {QStringLiteral("調光方式W20BL"), 0.70, QStringLiteral("W20BL"),
     QStringLiteral("窓面積率 20％以上、その半分以上に自動制御ブラインド"), false, 20},
    {QStringLiteral("調光方式W25"), 0.75, QStringLiteral("W25"), QStringLiteral("昼光による調光。窓面積率 25％以上"), false,
     25},
    {QStringLiteral("調光方式W25BL"), 0.63, QStringLiteral("W25BL"),
     QStringLiteral("窓面積率 25％以上、その半分以上に自動制御ブラインド"), false, 25},
    {QStringLiteral("点滅方式"), 0.80, QStringLiteral("点滅"),
     QStringLiteral("明るさ検知による点滅。開口部のある非居室"), true},
};

const QList<Choice> kSchedule = {
    {QStringLiteral("無"), 1.00, QStringLiteral("－"), QString()},
    {QStringLiteral("減光方式"), 0.95, QStringLiteral("減光"), QStringLiteral("タイムスケジュールによる減光（調光可能な器具）")},
    {QStringLiteral("点滅方式"), 0.90, QStringLiteral("消灯"), QStringLiteral("タイムスケジュールによる消灯")},
};

const QList<Choice> kInitial = {
    {QStringLiteral("無"), 1.00, QStringLiteral("－"), QString()},
    {QStringLiteral("タイマ方式(LED)"), 0.95, QStringLiteral("タイマLED"), QStringLiteral("初期照度補正（LED）、タイマによる")},
    {QStringLiteral("センサ方式(LED)"), 0.95, QStringLiteral("センサLED"), QStringLiteral("初期照度補正（LED）、センサによる")},
    {QStringLiteral("タイマ方式(蛍光灯)"), 0.85, QStringLiteral("タイマ蛍光"),
     QStringLiteral("初期照度補正（蛍光灯）、タイマによる")},
    {QStringLiteral("センサ方式(蛍光灯)"), 0.85, QStringLiteral("センサ蛍光"),
     QStringLiteral("初期照度補正（蛍光灯）、センサによる")},
};

} // namespace

QString categoryName(int category)
{
    switch (category) {
    case Occupancy: return QStringLiteral("在室検知制御");
    case Daylight: return QStringLiteral("明るさ検知制御");
    case Schedule: return QStringLiteral("タイムスケジュール制御");
    default: return QStringLiteral("初期照度補正機能");
    }
}

const QList<Choice> &choices(int category)
{
    switch (category) {
    case Occupancy: return kOccupancy;
    case Daylight: return kDaylight;
    case Schedule: return kSchedule;
    default: return kInitial;
    }
}

const Choice *find(int category, const QString &text)
{
    QString t = text.trimmed();
    t.replace(QChar(0xFF08), u'(');
    t.replace(QChar(0xFF09), u')');
    if (t.isEmpty())
        t = QStringLiteral("無");
    // The schedule's choices as older sheets spelt them.
    if (category == Schedule && t == u"減光")
        t = QStringLiteral("減光方式");
    if (category == Schedule && t == u"消灯")
        t = QStringLiteral("点滅方式");
    for (const Choice &c : choices(category))
        if (c.text == t)
            return &c;
    return nullptr;
}

QString currentSpelling(int category, const QString &text)
{
    const Choice *c = find(category, text);
    return c && c->text != u"無" ? c->text : text;
}

QString stored(const Choice &choice)
{
    return choice.factor == 1.0 && choice.text == u"無" ? QString() : choice.text;
}

} // namespace Controls
