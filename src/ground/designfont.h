#pragma once

#include <QFont>

namespace corvane {

// The font of the input windows and the diagrams, Trebuchet MS, in points. Where Trebuchet MS is
// not installed, a sans-serif face of about its width stands in (Liberation Sans, Arial), rather
// than whatever the system would choose, which may be much wider and no longer fit the labels.
QFont designFont(double points, bool bold);

} // namespace corvane
