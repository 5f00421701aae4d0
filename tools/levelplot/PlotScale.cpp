#include "tools/levelplot/PlotScale.h"

#include <cmath>

std::vector<double> GridValues(double low, double high, double step) {
  std::vector<double> values;
  if (!(step > 0.0) || !(high >= low)) return values;
  const double first = std::ceil(low / step - 1e-9);
  for (double k = first; k * step <= high + step * 1e-9; k += 1.0) {
    const double v = k * step;
    values.push_back(std::fabs(v) < step * 1e-9 ? 0.0 : v);
  }
  return values;
}

double NiceTimeStep(double spanSeconds, int maxTicks) {
  if (!(spanSeconds > 0.0) || maxTicks < 1) return 1.0;
  static const double kLong[] = {1, 2, 5, 10, 15, 30, 60, 120, 300, 600};
  const double wanted = spanSeconds / maxTicks;
  if (wanted >= 1.0) {
    for (double s : kLong)
      if (s >= wanted) return s;
    return std::ceil(wanted / 600.0) * 600.0;
  }
  const double decade = std::pow(10.0, std::floor(std::log10(wanted)));
  for (double m : {1.0, 2.0, 5.0, 10.0})
    if (m * decade >= wanted) return m * decade;
  return 1.0;
}
