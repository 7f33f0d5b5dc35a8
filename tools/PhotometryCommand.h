#pragma once

#include <QStringList>

// prx5m-mst photometry FILE [--plot OUT] [--into CSV --slot N [--name TEXT] [--mf a,b,c]]:
// reads an IES or EULUMDAT file, prints what it read and the utilization-factor table it gives,
// draws the light distribution, and writes the table into one slot of the luminaire master CSV.
int photometryCommand(const QStringList &args);
