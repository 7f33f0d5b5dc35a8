#include "photometry/PhotometryReader.h"

#include "io/BoundedRead.h"

#include "photometry/PhotometryMath.h"
#include "photometry/ReaderParts.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>

#include <algorithm>
#include <cmath>

namespace PhotometryReader {

using namespace Parts;

bool expandPlanes(QList<double> *cAngles, QList<QList<double>> *candela)
{
    const QList<double> c = *cAngles;
    if (c.isEmpty() || c.size() != candela->size())
        return false;
    const double first = c.first();
    const double last = c.last();
    QMap<double, QList<double>> planes;
    for (int i = 0; i < c.size(); ++i)
        planes.insert(c[i], (*candela)[i]);
    // A first plane within the tolerance of 0 is the plane at 0 (a writer's rounding).
    if (first != 0 && std::fabs(first) < kEps)
        planes.insert(0, planes.take(first));
    const auto mirror = [&planes](double (*to)(double), double from, double upTo) {
        const auto copy = planes;
        for (auto it = copy.cbegin(); it != copy.cend(); ++it)
            if (it.key() >= from - kEps && it.key() <= upTo + kEps)
                planes.insert(std::round(to(it.key()) * 1e6) / 1e6, it.value());
    };
    if (c.size() == 1) {
        // One plane: the same in every direction.
        planes.clear();
        planes.insert(0, candela->first());
        planes.insert(360, candela->first());
    } else if (std::fabs(first) < kEps && std::fabs(last - 90) < kEps) {
        mirror([](double a) { return 180 - a; }, 0, 90);   // 90..180 from 0..90
        mirror([](double a) { return 360 - a; }, 0, 180);  // 180..360 from 0..180
    } else if (std::fabs(first) < kEps && std::fabs(last - 180) < kEps) {
        mirror([](double a) { return 360 - a; }, 0, 180);
    } else if (std::fabs(first) < kEps && std::fabs(last - 360) < kEps) {
        // The whole circle already.
    } else if (std::fabs(first) < kEps && last > 180 + kEps && last < 360) {
        // No lateral symmetry, the last plane short of 360: the distribution closes on itself,
        // so the plane at 360 is the plane at 0.
        planes.insert(360, planes.first()); // the first plane, at 0 give or take the tolerance
    } else if (std::fabs(first - 90) < kEps && std::fabs(last - 270) < kEps) {
        // Symmetric about the 90-270 plane: C is seen as 180 - C.
        mirror([](double a) { return 180 - a; }, 90, 180);  // 0..90 from 90..180
        mirror([](double a) { return 540 - a; }, 180, 270); // 270..360 from 180..270
    } else {
        return false;
    }
    cAngles->clear();
    candela->clear();
    for (auto it = planes.cbegin(); it != planes.cend(); ++it) {
        cAngles->append(it.key());
        candela->append(it.value());
    }
    return true;
}

namespace {

// LM-63: feet (1) or metres (2); a negative width and length are a round or elliptical opening,
// all three negative and equal a sphere; a negative height a cylinder's side.
Opening iesOpening(double unit, double width, double length, double height)
{
    Opening o;
    const double m = unit == 1 ? 0.3048 : 1.0;
    if (!(unit == 1 || unit == 2) || !std::isfinite(width * length * height) || (width == 0 && length == 0))
        return o;
    // A round one written with one diameter alone ("-0.15 0 0").
    if (width < 0 && length == 0)
        length = width;
    if (length < 0 && width == 0)
        width = length;
    o.width = std::fabs(width) * m;
    o.length = std::fabs(length) * m;
    o.heights.fill(std::fabs(height) * m);
    if (width < 0 && length < 0 && height < 0 && width == length && length == height)
        o.shape = Opening::Shape::Sphere;
    else if (width < 0 && length < 0)
        o.shape = Opening::Shape::Round;
    else
        o.shape = Opening::Shape::Rectangle;
    if (!o.present())
        o = Opening();
    return o;
}

// EULUMDAT's Ra: a number ("80", "Ra80") or the CIE group ("1A" 90 and above … "4" 20 to 39), the
// group read as its lower bound.
std::optional<double> colourRenderingOf(const QString &text)
{
    QString t = text.trimmed().toUpper();
    if (t.startsWith(QStringLiteral("RA")))
        t = t.mid(2).trimmed();
    static const QList<std::pair<QString, double>> groups = {
        {QStringLiteral("1A"), 90}, {QStringLiteral("1B"), 80}, {QStringLiteral("2A"), 70},
        {QStringLiteral("2B"), 60}, {QStringLiteral("3"), 40},  {QStringLiteral("4"), 20}};
    for (const auto &[group, ra] : groups)
        if (t == group)
            return ra;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (ok && v >= 5 && v <= 100)
        return v;
    return std::nullopt;
}

} // namespace

bool readIes(const QByteArray &bytes, Photometry *out, QString *error)
{
    *out = Photometry();
    if (refuseUtf16(bytes, error))
        return false;
    QStringList lines = linesOf(bytes);
    // Some writers close the file with a line "END": it is no data (nor are blank lines).
    while (!lines.isEmpty()
           && (lines.last().trimmed().isEmpty() || lines.last().trimmed().compare(QStringLiteral("END"), Qt::CaseInsensitive) == 0))
        lines.removeLast();
    int i = 0;
    const QString first = lines.value(0).trimmed();
    if (first.startsWith(QStringLiteral("IESNA:LM-63-1995"))) {
        out->format = QStringLiteral("IES LM-63-1995");
        ++i;
    } else if (first.startsWith(QStringLiteral("IESNA:LM-63-2002"))) {
        out->format = QStringLiteral("IES LM-63-2002");
        ++i;
    } else if (first.startsWith(QStringLiteral("IES:LM-63-2019"))) {
        out->format = QStringLiteral("IES LM-63-2019");
        ++i;
    } else if (first.startsWith(QStringLiteral("IESNA91"))) {
        out->format = QStringLiteral("IES LM-63-1991");
        ++i;
    } else {
        out->format = QStringLiteral("IES LM-63-1986");
    }
    // Keywords (or, in 1986 files, free text) up to TILT=.
    QString catalogue;
    QString freeText;
    for (; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.startsWith(QStringLiteral("TILT"), Qt::CaseInsensitive) && line.contains(u'='))
            break;
        if (line.startsWith(QStringLiteral("[LUMINAIRE]"))) {
            out->name = line.mid(11).trimmed();
        } else if (line.startsWith(u'[') && line.contains(QStringLiteral("LUMEN"), Qt::CaseInsensitive)
                   && !line.contains(QStringLiteral("LAMP"), Qt::CaseInsensitive)) {
            // A keyword stating the luminaire's lumens ([_LUMINAIRE_LUMENS] 4321 and the like).
            const QString value = line.section(u']', 1).trimmed().section(u' ', 0, 0);
            if (const auto v = toNumber(value, false); v && *v > 0)
                out->statedFlux = *v;
        }
        if (line.startsWith(QStringLiteral("[LUMCAT]")))
            catalogue = line.mid(8).trimmed();
        else if (freeText.isEmpty() && !line.isEmpty() && !line.startsWith(u'['))
            freeText = line;
    }
    if (i >= lines.size()) {
        *error = at(int(lines.size()), QStringLiteral("TILT= の行がありません。"));
        return false;
    }
    if (out->name.isEmpty())
        out->name = !catalogue.isEmpty() ? catalogue : freeText;
    const QString tilt = lines[i].trimmed().section(u'=', 1).trimmed();
    const QList<Token> numbers = tokens(lines, i + 1, true);
    TokenReader read(numbers, int(lines.size()));
    double v = 0;
    if (tilt.compare(QStringLiteral("INCLUDE"), Qt::CaseInsensitive) == 0) {
        // The lamp's tilt data: geometry, a count, that many angles and factors; not needed here.
        int n = 0;
        if (!read.number(&v, QStringLiteral("傾斜データの器具形状"), error) || !read.count(&n, QStringLiteral("傾斜角の数"), error))
            return false;
        for (int k = 0; k < 2 * n; ++k)
            if (!read.number(&v, QStringLiteral("傾斜データ"), error))
                return false;
    } else if (tilt.compare(QStringLiteral("NONE"), Qt::CaseInsensitive) != 0) {
        out->warnings.append(QStringLiteral("傾斜データのファイル「%1」は読みません（傾斜なしとして計算します）。").arg(tilt));
    }
    int lamps = 0, nV = 0, nH = 0;
    double lumens = 0, multiplier = 0, type = 0;
    if (!read.count(&lamps, QStringLiteral("ランプの数"), error) || !read.number(&lumens, QStringLiteral("ランプ光束"), error)
        || !read.number(&multiplier, QStringLiteral("光度の係数"), error)
        || !read.count(&nV, QStringLiteral("鉛直角の数"), error) || !read.count(&nH, QStringLiteral("水平角の数"), error)
        || !read.number(&type, QStringLiteral("配光の種類"), error))
        return false;
    const int typeLine = read.line();
    std::array<double, 7> shape{}; // unit, width, length, height, ballast, spare, watts
    int field = 0;
    for (const char *what : {"単位", "幅", "長さ", "高さ", "安定器係数", "予備", "入力電力"})
        if (!read.number(&shape[field++], QString::fromUtf8(what), error))
            return false;
    if (type != 1) {
        *error = at(typeLine, QStringLiteral("配光の種類 %1 は扱えません（タイプCのみ。タイプAとBは読みません）。").arg(type));
        return false;
    }
    QList<double> vertical, horizontal;
    for (int k = 0; k < nV; ++k) {
        if (!read.number(&v, QStringLiteral("鉛直角"), error))
            return false;
        vertical.append(v);
    }
    const int verticalLine = read.line();
    for (int k = 0; k < nH; ++k) {
        if (!read.number(&v, QStringLiteral("水平角"), error))
            return false;
        horizontal.append(v);
    }
    const int horizontalLine = read.line();
    const int intensityLine = read.atEnd() ? read.line() : read.peek().line;
    QList<QList<double>> candela;
    double step = 0; // the finest unit the intensities are written in
    for (int h = 0; h < nH; ++h) {
        QList<double> plane;
        for (int k = 0; k < nV; ++k) {
            if (!read.number(&v, QStringLiteral("光度"), error))
                return false;
            if (v < 0) {
                *error = at(read.line(), QStringLiteral("光度が負の値です（%1）。").arg(v));
                return false;
            }
            if (!std::isfinite(v * multiplier)) {
                *error = at(read.line(), QStringLiteral("光度が大きすぎます。"));
                return false;
            }
            if (v > 0)
                step = step > 0 ? std::min(step, read.lastUnit()) : read.lastUnit();
            plane.append(v * multiplier);
        }
        candela.append(plane);
    }
    if (!read.atEnd()) {
        *error = at(read.peek().line, QStringLiteral("光度の数が合いません（%1 x %2 個のあとにまだデータがあります）。").arg(nH).arg(nV));
        return false;
    }
    if (!ascending(vertical, 0, 180)) {
        *error = at(verticalLine, QStringLiteral("鉛直角が 0～180 度の昇順になっていません。"));
        return false;
    }
    if (!ascending(horizontal, 0, 360) || !expandPlanes(&horizontal, &candela)) {
        *error = at(horizontalLine, QStringLiteral("水平角の範囲を扱えません（0、0～90、0～180、0～180 を超え 360 まで、90～270 度の昇順のみ）。"));
        return false;
    }
    if (multiplier <= 0) {
        *error = at(typeLine, QStringLiteral("光度の係数が正ではありません（%1）。").arg(multiplier));
        return false;
    }
    out->opening = iesOpening(shape[0], shape[1], shape[2], shape[3]);
    out->lamps = lamps;
    out->cAngles = horizontal;
    out->gAngles = vertical;
    out->candela = candela;
    out->intensityStep = step * multiplier;
    out->absolute = lumens < 0;
    out->lampFlux = out->absolute ? 0 : lamps * lumens; // absolute photometry: the flux is the integral
    if (!out->absolute && out->lampFlux <= 0) {
        *error = at(typeLine, QStringLiteral("ランプ光束が 0 です。"));
        return false;
    }
    return checkFlux(out, intensityLine, error);
}

bool readLdt(const QByteArray &bytes, Photometry *out, QString *error)
{
    *out = Photometry();
    if (refuseUtf16(bytes, error))
        return false;
    out->format = QStringLiteral("EULUMDAT");
    const QStringList lines = linesOf(bytes);
    const auto line = [&lines](int n) { return lines.value(n - 1).trimmed(); };
    const auto number = [&](int n, const QString &what, double *value) {
        const auto v = toNumber(line(n), true);
        if (!v) {
            const bool missing = n > lines.size() || line(n).isEmpty();
            *error = at(std::min(n, int(lines.size()) + 1),
                        missing ? QStringLiteral("%1がありません（データが足りません）。").arg(what)
                                : QStringLiteral("%1「%2」は数値ではありません。").arg(what, line(n)));
            return false;
        }
        *value = *v;
        return true;
    };
    double ityp = 0, isym = 0, mc = 0, dc = 0, ng = 0, dg = 0, dff = 0, lorl = 0, factor = 0, sets = 0;
    if (!number(2, QStringLiteral("器具の種類"), &ityp) || !number(3, QStringLiteral("対称性"), &isym)
        || !number(4, QStringLiteral("C面の数"), &mc) || !number(5, QStringLiteral("C面の間隔"), &dc)
        || !number(6, QStringLiteral("γ角の数"), &ng) || !number(7, QStringLiteral("γ角の間隔"), &dg)
        || !number(22, QStringLiteral("下方光束比"), &dff) || !number(23, QStringLiteral("器具効率"), &lorl)
        || !number(24, QStringLiteral("光度の換算係数"), &factor) || !number(26, QStringLiteral("ランプの組の数"), &sets))
        return false;
    // A count beyond the integers is none: never cast as it stands.
    const auto whole = [](double v) { return std::fabs(v) <= 1e6 ? int(v) : -1; };
    const int sym = whole(isym);
    if (isym != sym || sym < 0 || sym > 4) {
        *error = at(3, QStringLiteral("対称性の指定 %1 は扱えません（0～4）。").arg(line(3)));
        return false;
    }
    const int planes = whole(mc);
    const int gammas = whole(ng);
    if (planes < 1 || planes > 3600 || mc != planes || gammas < 2 || gammas > 1800 || ng != gammas) {
        *error = at(planes < 1 || mc != planes ? 4 : 6, QStringLiteral("C面またはγ角の数が正しくありません。"));
        return false;
    }
    if ((sym == 2 || sym == 3) && planes % 2 != 0) {
        *error = at(4, QStringLiteral("C面の数 %1 はこの対称性には合いません。").arg(planes));
        return false;
    }
    if (sym == 4 && planes % 4 != 0) {
        *error = at(4, QStringLiteral("C面の数 %1 はこの対称性には合いません。").arg(planes));
        return false;
    }
    const int n = whole(sets);
    if (sets != n || n < 1 || n > 20) {
        *error = at(26, QStringLiteral("ランプの組の数「%1」が正しくありません。").arg(line(26)));
        return false;
    }
    out->name = line(9).isEmpty() ? line(10) : line(9);
    out->dff = dff;
    out->lorl = lorl;
    out->dffStep = unitOf(line(22));
    out->lorlStep = unitOf(line(23));
    // The intensities are per 1000 lm of the first set of lamps; further sets are alternatives.
    double count = 0, flux = 0;
    if (!number(27, QStringLiteral("ランプの数"), &count) || !number(27 + 2 * n, QStringLiteral("ランプ光束"), &flux))
        return false;
    if (!(std::fabs(count) <= 100000) || count != std::floor(count)) {
        *error = at(27, QStringLiteral("ランプの数「%1」が正しくありません。").arg(line(27)));
        return false;
    }
    if (n > 1)
        out->warnings.append(QStringLiteral("ランプの組が %1 つあります。最初の組（%2 lm）で計算します。").arg(n).arg(flux));
    out->lamps = int(std::fabs(count));
    out->lampFlux = flux;
    if (!(flux > 0)) {
        *error = at(27 + 2 * n, QStringLiteral("ランプ光束が 0 です。"));
        return false;
    }
    out->colourRendering = colourRenderingOf(line(27 + 4 * n));
    // The luminous area, mm: length or diameter, width (0: round), the heights towards C0 … C270.
    {
        std::array<double, 6> area{};
        bool read = true;
        for (int k = 0; k < 6 && read; ++k) {
            const auto v = toNumber(line(16 + k), true);
            read = v && std::isfinite(*v) && *v >= 0 && *v < 1e6;
            area[k] = read ? *v / 1000 : 0;
        }
        if (read && area[0] > 0) {
            Opening &o = out->opening;
            o.shape = area[1] > 0 ? Opening::Shape::Rectangle : Opening::Shape::Round;
            o.length = area[0];
            o.width = area[1] > 0 ? area[1] : area[0];
            o.heights = {area[2], area[3], area[4], area[5]};
        }
    }
    int next = 27 + 6 * n;
    for (int k = 0; k < 10; ++k, ++next) {
        double dr = 0;
        if (!number(next, QStringLiteral("直接比"), &dr))
            return false;
        out->directRatios.append(dr);
    }
    QList<double> cAll, gamma;
    for (int k = 0; k < planes; ++k, ++next) {
        double c = 0;
        if (!number(next, QStringLiteral("C面の角度"), &c))
            return false;
        cAll.append(c);
    }
    const int cLine = next - 1;
    for (int k = 0; k < gammas; ++k, ++next) {
        double g = 0;
        if (!number(next, QStringLiteral("γ角"), &g))
            return false;
        gamma.append(g);
    }
    if (!ascending(cAll, 0, 360) || cAll.first() != 0) {
        *error = at(cLine, QStringLiteral("C面の角度が 0 度からの昇順になっていません。"));
        return false;
    }
    if (!ascending(gamma, 0, 180)) {
        *error = at(next - 1, QStringLiteral("γ角が 0～180 度の昇順になっていません。"));
        return false;
    }
    // The planes stored, by the symmetry: all; one; C0-C180; C90-C270; C0-C90.
    // Symmetry 3 stores C270 through C0 to C90; the others start at C0.
    int firstPlane = 0, stored = planes;
    switch (sym) {
    case 1: stored = 1; break;
    case 2: stored = planes / 2 + 1; break;
    case 3: firstPlane = 3 * planes / 4; stored = planes / 2 + 1; break;
    case 4: stored = planes / 4 + 1; break;
    default: break;
    }
    QList<double> cStored;
    QList<QList<double>> candela;
    double step = 0; // the finest unit the intensities are written in (cd/klm)
    const QList<Token> values = tokens(lines, next - 1, false);
    TokenReader read(values, int(lines.size()), true);
    const int intensityLine = next;
    for (int p = 0; p < stored; ++p) {
        const int index = (firstPlane + p) % planes;
        // Symmetry 3 is mirrored about the C90-C270 plane: C is read as 180 - C (90..270).
        const double c = sym == 3 ? std::fmod(540 - cAll[index], 360) : cAll[index];
        cStored.append(c);
        QList<double> plane;
        for (int g = 0; g < gammas; ++g) {
            double cdklm = 0;
            if (!read.number(&cdklm, QStringLiteral("光度"), error))
                return false;
            if (cdklm < 0) {
                *error = at(read.line(), QStringLiteral("光度が負の値です（%1）。").arg(cdklm));
                return false;
            }
            const double cd = cdklm * factor * flux / 1000;
            if (!std::isfinite(cd)) {
                *error = at(read.line(), QStringLiteral("光度が大きすぎます。"));
                return false;
            }
            if (cdklm > 0)
                step = step > 0 ? std::min(step, read.lastUnit()) : read.lastUnit();
            plane.append(cd);
        }
        candela.append(plane);
    }
    if (!read.atEnd()) {
        *error = at(read.peek().line, QStringLiteral("光度の数が合いません（%1 x %2 個のあとにまだデータがあります）。").arg(stored).arg(gammas));
        return false;
    }
    if (sym == 0) {
        // The circle closes: 360 is plane 0 again.
        cStored.append(360);
        candela.append(candela.first());
    }
    if (sym == 1)
        cStored = {0};
    if (sym == 3) {
        // Read as 180 - C the planes run from 270 down to 90: put them in ascending order.
        std::reverse(cStored.begin(), cStored.end());
        std::reverse(candela.begin(), candela.end());
    }
    // The planes stored must cover what the symmetry says.
    const double firstC = cStored.first(), lastC = cStored.last();
    const bool covers = sym == 1 || (sym == 0 && firstC == 0 && lastC == 360) || (sym == 2 && firstC == 0 && lastC == 180)
                        || (sym == 3 && firstC == 90 && lastC == 270) || (sym == 4 && firstC == 0 && lastC == 90);
    if (!covers) {
        *error = at(cLine, QStringLiteral("C面の角度が対称性 %1 には合いません。").arg(sym));
        return false;
    }
    if (!expandPlanes(&cStored, &candela)) {
        *error = at(cLine, QStringLiteral("C面の角度がこの対称性には合いません。"));
        return false;
    }
    out->cAngles = cStored;
    out->gAngles = gamma;
    out->candela = candela;
    out->intensityStep = step * factor * out->lampFlux / 1000;
    (void)ityp;
    return checkFlux(out, intensityLine, error);
}

bool readFile(const QString &path, Photometry *out, QString *error, QByteArray *bytesRead, bool ownFolder)
{
    const QFileInfo info(path);
    QByteArray bytes;
    // Photometric files are small; a large one is no such file. A FIFO, a device or a folder says
    // what it is instead of holding the program up.
    QString why;
    const auto outcome = BoundedRead::read(path, 4 * 1024 * 1024, &bytes, &why,
                                           ownFolder ? BoundedRead::Links::Refuse : BoundedRead::Links::Follow);
    if (outcome == BoundedRead::Outcome::Missing) {
        *error = QStringLiteral("%1 を開けません（ファイルがありません）。").arg(path);
        return false;
    }
    if (outcome != BoundedRead::Outcome::Read) {
        *error = QStringLiteral("%1 を読み込めません: %2").arg(path, why);
        return false;
    }
    if (bytesRead)
        *bytesRead = bytes;
    if (info.suffix().compare(QStringLiteral("ldt"), Qt::CaseInsensitive) == 0)
        return readLdt(bytes, out, error);
    return readIes(bytes, out, error);
}

} // namespace PhotometryReader
