#pragma once

#include <QByteArray>
#include <QFont>

// The Japanese font of the reports: IPAex Gothic as fontconfig finds it, loaded from its file with
// the radical code points (U+2E80 to U+2FDF) taken out of its character map: they share their
// glyphs with the common kanji (一, 工, 高, 玄 ...), and a PDF writer that names each glyph by its
// lowest code point would otherwise put radicals into the PDF's text, so that copying or searching
// for "高さ" in a report would fail. Without IPAex Gothic, any other Japanese font installed
// (a gothic one first); without any, no report is made: every Japanese character would print as
// an empty box.
namespace ReportFont {

QFont font();
// Whether a Japanese font was found; the message that says what to install when not.
bool available();
QString missingMessage();

// The font file with the radicals unmapped and its family renamed to "Prx5m..." (same length).
QByteArray withoutRadicals(QByteArray fontFile);

} // namespace ReportFont
