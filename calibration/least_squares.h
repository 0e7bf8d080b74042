// Linear least squares with the coefficients' covariance: y_k = sum_j x_j f_j(t_k), solved
// through the normal equations (a handful of unknowns), the covariance s^2 (A^T A)^-1 from the
// residuals' variance s^2 with n - p degrees of freedom. And the uncertainty of any linear
// combination of the coefficients from that covariance, correlations included.
#pragma once

#include <span>
#include <vector>

#include "core/outcome.h"

namespace its90::calibration {

struct LeastSquares {
    std::vector<double> coefficients;
    std::vector<std::vector<double>> covariance;  // zero where the points equal the unknowns
    double residual_sd = 0;                        // s
    int degrees_of_freedom = 0;                    // n - p
};

// `design` holds one row per point, f_j(t_k) for each unknown. Rejected (Readings) with fewer
// points than unknowns, (NotFinite) where the system is singular or a value not finite.
Outcome<LeastSquares> least_squares(std::span<const std::vector<double>> design,
                                    std::span<const double> y);

// The x of A x = y for a square A (as many points as unknowns), by elimination with partial
// pivoting on A's columns scaled to 1: the normal equations would square A's condition,
// and a deviation function's terms differ by six orders ((ln W)^7 is 6e5 at 13.8 K, W - 1 is
// about 1). Rejected (NotFinite) where A is singular or a value not finite.
Outcome<std::vector<double>> solve_exactly(std::span<const std::vector<double>> a, std::span<const double> y);

// The standard uncertainty of sum_j g_j x_j: sqrt(g^T C g).
double combined_uncertainty(const LeastSquares& fit, std::span<const double> gradient);

// The correlation coefficient of coefficients i and j.
double correlation(const LeastSquares& fit, int i, int j);

}  // namespace its90::calibration
