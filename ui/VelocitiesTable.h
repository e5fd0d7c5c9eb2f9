#pragma once

#include <QString>

#include "VelocitiesData.h"

// How the window reads the reference table (VelocitiesData.h) out to screen readers.
namespace Velocities {

// What a screen reader calls the picture: "Recommended and maximum velocities".
QString AccessibleName();

// Every value of both tables in reading order, one sentence per line: each table's title, then
// each value row under its group with every value after its column heading, e.g.
// "Main Duct, Rectangular: Residences 3.6, Theaters & Libraries 5, Offices 11.2, Industrial 15.2."
QString Description();

} // namespace Velocities
