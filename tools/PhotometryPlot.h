#pragma once

#include "photometry/Photometry.h"

// The polar intensity curve (配光曲線) of a luminaire in cd/klm: the C0-C180 plane drawn solid,
// the C90-C270 plane dashed, straight down at the bottom. PNG or PDF by the file's name.
namespace PhotometryPlot {

bool write(const Photometry &p, const QString &path, QString *error);

} // namespace PhotometryPlot
