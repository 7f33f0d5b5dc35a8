#pragma once

#include "photometry/Photometry.h"
#include "photometry/PhotometryMath.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>

// The master of emergency luminaires: hijou.csv beside the program (UTF-8, a header line), a row a
// slot 1–99: 形式, 光源種別 (LED, 蛍光灯, 白熱灯, ハロゲン), 非常時光束 (lm, the emergency-mode flux),
// the photometric file kept in photometry/ beside it, a note; and hijou-haichi.csv, the maker's
// reach tables (配置表) typed from the catalogue, a row a slot and mounting height.
namespace EmergencyMaster {

inline const QString kFile = QStringLiteral("hijou.csv");
inline const QString kMakerFile = QStringLiteral("hijou-haichi.csv");
constexpr int kFirstSlot = 1;
constexpr int kLastSlot = 99;
// The largest emergency flux a luminaire of the master may have (lm): beyond any real one.
constexpr double kMaxFlux = 1e6;

enum class Source { Led, Fluorescent, Incandescent, Halogen };
// "LED", "蛍光灯", "白熱灯", "ハロゲン"; false for any other text.
bool sourceOf(const QString &text, Source *source);
QString sourceText(Source source);
// The floor illuminance the rule asks of a light source: 2 lx for LED and fluorescent, 1 lx for
// incandescent and halogen.
double threshold(Source source);

// A maker's 配置表 line: A1, B1, A2, B2, A4, B4, A0, B0 (m) at a mounting height.
struct MakerLine {
    double height = 0;
    std::array<double, 8> figures{};
};

struct Luminaire {
    int slot = 0;
    QString name;          // 形式
    Source source = Source::Led;
    double flux = 0;       // 非常時光束, lm
    QString file;          // the photometric file, relative to the master's folder ("photometry/hijou-3.ies")
    QString note;          // 備考 (a sample is marked so)
    QList<MakerLine> maker;
};

// The maker's line at a mounting height (none when the catalogue's table has none there).
const MakerLine *makerLine(const Luminaire &luminaire, double height);

struct Master {
    QString dir;
    QList<Luminaire> luminaires;
    const Luminaire *find(int slot) const;
};

// The master in `dir`: none (and true) when it has no hijou.csv; false with the reason when a
// file is there but no such master.
bool load(const QString &dir, Master *out, QString *error);
// The CSV's header line.
QStringList header();
QStringList makerHeader();

// A luminaire's light in emergency mode: the file's intensities scaled so that its whole flux is
// the 非常時光束.
struct Light {
    std::shared_ptr<const PhotometryMath::IntensityTable> table;
    double scale = 0;        // candela of the file × scale = emergency candela
    Photometry photometry;
};
// Reads the slot's photometric file (kept in the program's own folder: never through a link);
// false with the reason for a slot without a luminaire or without photometry.
bool light(const Master &master, int slot, Light *out, QString *error);

} // namespace EmergencyMaster
