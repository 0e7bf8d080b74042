#include "calibration/least_squares.h"

#include <algorithm>
#include <cmath>

namespace its90::calibration {
namespace {

using Matrix = std::vector<std::vector<double>>;

// The inverse of a square matrix (the normal equations', or a scaled square system's) by
// Gauss-Jordan elimination with partial pivoting; false when it is singular.
bool invert(Matrix m, Matrix& inverse) {
    const std::size_t n = m.size();
    inverse.assign(n, std::vector<double>(n, 0));
    for (std::size_t i = 0; i < n; ++i) inverse[i][i] = 1;
    for (std::size_t c = 0; c < n; ++c) {
        std::size_t pivot = c;
        for (std::size_t r = c + 1; r < n; ++r) {
            if (std::fabs(m[r][c]) > std::fabs(m[pivot][c])) pivot = r;
        }
        if (!(std::fabs(m[pivot][c]) > 0)) return false;
        std::swap(m[c], m[pivot]);
        std::swap(inverse[c], inverse[pivot]);
        const double p = m[c][c];
        for (std::size_t k = 0; k < n; ++k) {
            m[c][k] /= p;
            inverse[c][k] /= p;
        }
        for (std::size_t r = 0; r < n; ++r) {
            if (r == c) continue;
            const double f = m[r][c];
            for (std::size_t k = 0; k < n; ++k) {
                m[r][k] -= f * m[c][k];
                inverse[r][k] -= f * inverse[c][k];
            }
        }
    }
    return true;
}

}  // namespace

Outcome<LeastSquares> least_squares(std::span<const std::vector<double>> design,
                                    std::span<const double> y) {
    const std::size_t n = design.size();
    const std::size_t p = n == 0 ? 0 : design.front().size();
    if (n < p || p == 0 || y.size() != n) {
        return Rejection::out_of_range(Quantity::Readings, static_cast<double>(p), 1e9);
    }
    Matrix normal(p, std::vector<double>(p, 0));
    std::vector<double> right(p, 0);
    for (std::size_t k = 0; k < n; ++k) {
        if (design[k].size() != p) return Rejection::not_finite(Quantity::Readings);
        for (std::size_t i = 0; i < p; ++i) {
            right[i] += design[k][i] * y[k];
            for (std::size_t j = 0; j < p; ++j) normal[i][j] += design[k][i] * design[k][j];
        }
    }
    Matrix inverse;
    if (!invert(normal, inverse)) return Rejection::not_finite(Quantity::Readings);
    LeastSquares fit;
    fit.coefficients.assign(p, 0);
    for (std::size_t i = 0; i < p; ++i) {
        for (std::size_t j = 0; j < p; ++j) fit.coefficients[i] += inverse[i][j] * right[j];
    }
    double squares = 0;
    for (std::size_t k = 0; k < n; ++k) {
        double predicted = 0;
        for (std::size_t i = 0; i < p; ++i) predicted += design[k][i] * fit.coefficients[i];
        squares += (y[k] - predicted) * (y[k] - predicted);
    }
    fit.degrees_of_freedom = static_cast<int>(n - p);
    fit.residual_sd = fit.degrees_of_freedom > 0 ? std::sqrt(squares / fit.degrees_of_freedom) : 0;
    const double s2 = fit.residual_sd * fit.residual_sd;
    fit.covariance = inverse;
    for (auto& row : fit.covariance) {
        for (double& c : row) c *= s2;
    }
    for (double c : fit.coefficients) {
        if (!std::isfinite(c)) return Rejection::not_finite(Quantity::Readings);
    }
    return fit;
}

Outcome<std::vector<double>> solve_exactly(std::span<const std::vector<double>> a, std::span<const double> y) {
    const std::size_t n = a.size();
    if (n == 0 || y.size() != n) return Rejection::not_finite(Quantity::Readings);
    // Each column scaled to 1, so that pivoting compares like with like.
    Matrix m(a.begin(), a.end());
    std::vector<double> scale(n, 0);
    for (const std::vector<double>& row : m) {
        if (row.size() != n) return Rejection::not_finite(Quantity::Readings);
        for (std::size_t j = 0; j < n; ++j) {
            if (!std::isfinite(row[j])) return Rejection::not_finite(Quantity::Readings);
            scale[j] = std::max(scale[j], std::fabs(row[j]));
        }
    }
    for (std::size_t j = 0; j < n; ++j) {
        if (!(scale[j] > 0)) return Rejection::not_finite(Quantity::Readings);
        for (std::vector<double>& row : m) row[j] /= scale[j];
    }
    Matrix inverse;
    if (!invert(m, inverse)) return Rejection::not_finite(Quantity::Readings);
    std::vector<double> x(n, 0);
    for (std::size_t j = 0; j < n; ++j) {
        for (std::size_t k = 0; k < n; ++k) x[j] += inverse[j][k] * y[k];
        x[j] /= scale[j];
        if (!std::isfinite(x[j])) return Rejection::not_finite(Quantity::Readings);
    }
    return x;
}

double combined_uncertainty(const LeastSquares& fit, std::span<const double> gradient) {
    double variance = 0;
    for (std::size_t i = 0; i < gradient.size(); ++i) {
        for (std::size_t j = 0; j < gradient.size(); ++j) {
            variance += gradient[i] * fit.covariance[i][j] * gradient[j];
        }
    }
    return std::sqrt(std::max(variance, 0.0));
}

double correlation(const LeastSquares& fit, int i, int j) {
    const auto a = static_cast<std::size_t>(i), b = static_cast<std::size_t>(j);
    return fit.covariance[a][b] / std::sqrt(fit.covariance[a][a] * fit.covariance[b][b]);
}

}  // namespace its90::calibration
