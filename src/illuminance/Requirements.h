#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class LuminaireRecord;

// The room requirements a design is judged on (照明要件): the master kijun.csv beside the program
// (a header line, a row an area or task: 区分, 領域・作業又は活動, Em, Em下限, Em上限, Uo, UGR_L, Ra,
// 出典, 備考; "—" where the standard asks nothing), and each room's figures against its row.
namespace Requirements {

inline const QString kFile = QStringLiteral("kijun.csv");
constexpr int kMaxRows = 2000;

struct Requirement {
    QString area;                 // 区分
    QString task;                 // 領域・作業又は活動: the name a room's column keeps
    std::optional<double> em;     // lx, maintained, on the reference plane
    std::optional<double> emLow, emHigh;
    std::optional<double> uo;     // Emin / Eavg
    std::optional<double> ugrLimit;
    std::optional<double> ra;
    QString source;               // 出典 (its edition)
    QString note;                 // 備考
    // A value the note marks to be confirmed against the standard's text.
    bool toConfirm() const { return note.contains(QStringLiteral("要確認")); }
    // "Em 750 lx（500～1000）・UGR 19 以下・Ra 80 以上" and the like.
    QString summary() const;
};

QStringList header();
// A master's bytes (UTF-8, with or without its mark, or code page 932 as a spreadsheet saves it);
// false with the line and the field that is wrong.
bool parse(const QByteArray &bytes, QList<Requirement> *out, QString *error);
// The master beside the program; false with the reason (a missing master is an empty one, said).
bool load(const QString &programDir, QList<Requirement> *out, QString *error);
// The master as UTF-8 CSV, "—" where there is no value.
QByteArray toCsv(const QList<Requirement> &rows);

const Requirement *find(const QList<Requirement> &rows, const QString &task);
// The requirement a room's name suggests ("" when none): a master name the room's name holds,
// then a few common names (事務所 → 事務室, 通路 → 廊下・通路, WC → 便所・洗面所 …).
QString proposed(const QString &roomName, const QList<Requirement> &rows);

// A luminaire's Ra typed in the master: its spare field holding "Ra80" (nothing else is read).
std::optional<double> typedRa(const LuminaireRecord &record);

enum class Verdict { Pass, Fail, NotApplicable };
QString verdictText(Verdict v); // 適合, 不適合, 対象外

// A room's figures as printed beside the verdicts: compared as printed (Em whole lux, Uo two
// decimals, UGR one, Ra whole), so that a figure equal to its limit on the sheet passes there too.
struct Figures {
    std::optional<double> emLumen; // the sheet's 照度
    std::optional<double> emGrid;  // the point grid's mean
    std::optional<double> uo;      // Emin / Eavg of the grid
    std::optional<double> ugr;     // the room's UGR
    std::optional<double> ra;      // the lowest of its luminaires'
    QString whyNoGrid, whyNoUgr, whyNoRa;
};

struct Check {
    Verdict em = Verdict::NotApplicable;
    Verdict uo = Verdict::NotApplicable;
    Verdict ugr = Verdict::NotApplicable;
    Verdict ra = Verdict::NotApplicable;
    Verdict room = Verdict::NotApplicable;
    QStringList reasons; // why a column is 不適合 or 対象外
};
// The room against its requirement (none: every column 対象外).
Check check(const Requirement *requirement, const Figures &f);

// The figures as printed: "750", "0.70", "19.3", "80"; "" for none.
QString emText(const std::optional<double> &v);
QString uoText(const std::optional<double> &v);
QString ugrText(const std::optional<double> &v);
QString raText(const std::optional<double> &v);
// A requirement's own value as printed: the figure, or "—" for none.
QString limitText(const std::optional<double> &v, int decimals);

} // namespace Requirements
