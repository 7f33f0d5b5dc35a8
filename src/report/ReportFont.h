#pragma once

#include <QByteArray>
#include <QFont>

// The Japanese font of the reports. On Linux it is IPAex Gothic, loaded from its file with the
// radical code points (U+2E80 to U+2FDF) taken out of its character map: they share their glyphs
// with the common kanji (一, 工, 高, 玄 ...), and a PDF writer that names each glyph by its lowest
// code point would otherwise put radicals into the PDF's text, so that copying or searching for
// "高さ" in a report would fail. Elsewhere the system's Japanese UI font is used.
namespace ReportFont {

QFont font();

// The font file with the radicals unmapped and its family renamed to "Prx5m..." (same length).
QByteArray withoutRadicals(const QByteArray &fontFile);

} // namespace ReportFont
