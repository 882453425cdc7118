#include "properties/equilibrium/equilibrium_constant_solver.h"

#include "common/fortran_format.h"
#include "common/output.h"
#include "common/run_stop.h"
#include "properties/equilibrium/complete_combustion.h"
#include "properties/equilibrium/matrix_solve.h"
#include "properties/species/product_species.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace usersub::properties {
namespace {

// A, B, C, D, E of log10 K = A ln(T / 1000) + B / T + C + D T + E T^2.
constexpr double kFits[7][5] = {
    {0.432168, -11246.4, 2.67269, -7.45744e-05, 2.42484e-09},        // 1/2 H2 = H
    {0.310805, -12954.0, 3.21779, -7.38336e-05, 3.44645e-09},        // 1/2 O2 = O
    {-0.141784, -2133.08, 0.853461, 3.55015e-05, -3.10227e-09},      // 1/2 H2 + 1/2 O2 = OH
    {0.0150879, -4709.59, 0.646096, 2.72805e-06, -1.54444e-09},      // 1/2 O2 + 1/2 N2 = NO
    {-0.752364, 12421.0, -2.60286, 0.000259556, -1.62687e-08},       // H2 + 1/2 O2 = H2O
    {-0.00415302, 14862.7, -4.75746, 0.000124699, -9.00227e-09},     // CO + 1/2 O2 = CO2
    {0.389716, -24582.8, 3.14505, -9.6373e-05, 5.85643e-09},         // 1/2 N2 = N
};

constexpr double kLn10 = 2.302585092994045684;  // 10^z = exp(z ln 10)
constexpr double kFloorX = 1e-25;     // mole fractions are kept in [1e-25, 1]
constexpr double kStepFloorX = 1e-18; // a direct step keeps an unknown in [1e-18, 1]
constexpr double kTolerance = 1e-6;   // largest Newton step at convergence
// The tolerance is absolute: an unknown of 1e-6 (O2 on the rich side, CO or
// H2 on the lean side) may still be far from its value. Past that step the
// iteration goes on, up to two more steps (Newton converges quadratically
// there), until its step is also small against every unknown, so that two
// solves 1 K apart differ by the physics and not by where each one stopped
// (their difference is the equilibrium cp); a step below 1e-15 has nothing
// left to give.
constexpr int kPolishSteps = 2;
constexpr double kSettled = 1e-3;  // largest step relative to its unknown at the end
constexpr double kNothingLeft = 1e-15;
constexpr double kMaxMove = 0.1;      // largest move of a dependent species per iteration
constexpr double kRootMaxStep = 0.1;  // largest rise of a square root per step
constexpr double kNoNitrogen = 0.0002;  // r_N at or below which the N closure is skipped

constexpr Product kUnknowns[4] = {kN2, kO2, kCO, kH2};
constexpr Product kIterated[11] = {kCO2, kH2O, kN2, kO2, kCO, kH2, kH, kO, kOH, kNO, kN};
constexpr Product kBalanced[13] = {kCO2, kH2O, kN2, kO2, kCO, kH2, kH, kO, kOH, kNO, kN, kAr, kSO2};

using Values = std::array<double, kProducts + 1>;  // 1-based by Product

// The dependent species from the four unknowns.
struct Dependents {
    double co2, h2o, h, o, oh, no, n;
};

struct Problem {
    std::array<double, 7> k;
    double sqrt_p;      // sqrt(p_atm)
    double r_h, r_o, r_n, r_ar, r_s;  // element amounts over n_C
};

// o2_root, h2_root, n2_root: the square roots of the mole fractions of O2, H2, N2.
Dependents relations(const Problem& pb, double o2_root, double co, double h2, double h2_root,
                     double n2_root) noexcept
{
    const double a = o2_root;
    const double h = h2_root;
    return {pb.k[5] * pb.sqrt_p * a * co,
            pb.k[4] * pb.sqrt_p * a * h2,
            pb.k[0] * h / pb.sqrt_p,
            pb.k[1] * a / pb.sqrt_p,
            pb.k[2] * h * a,
            pb.k[3] * a * n2_root,
            pb.k[6] * n2_root / pb.sqrt_p};
}

// Derivatives of the dependent species with respect to the iterated values
// u of N2 (m), O2 (a), CO (c), H2 (h), and of each unknown's own mole
// fraction (g_*: 1 for mole fractions, 2 u for square roots).
struct Partials {
    double g_n2, g_o2, g_co, g_h2;
    double h_h, o_a, oh_h, oh_a, no_a, no_m, h2o_a, h2o_h, co2_a, co2_c, n_m;
};

// With respect to the mole fractions; a, h, m: the square roots of the mole
// fractions of O2, H2 and N2.
Partials mole_fraction_partials(const Problem& pb, const Values& x, double a, double h, double m) noexcept
{
    const double sp = pb.sqrt_p;
    return {1.0,
            1.0,
            1.0,
            1.0,
            pb.k[0] / (2.0 * h * sp),
            pb.k[1] / (2.0 * a * sp),
            pb.k[2] * a / (2.0 * h),
            pb.k[2] * h / (2.0 * a),
            pb.k[3] * m / (2.0 * a),
            pb.k[3] * a / (2.0 * m),
            pb.k[4] * sp * x[kH2] / (2.0 * a),
            pb.k[4] * sp * a,
            pb.k[5] * sp * x[kCO] / (2.0 * a),
            pb.k[5] * sp * a,
            pb.k[6] / (2.0 * m * sp)};
}

// With respect to the square roots s (x = s^2): the relations are products of
// powers of the roots, so no division is left (x_H = K1 s_H2 / sqrt(p_atm),
// x_H2O = K5 sqrt(p_atm) s_O2 s_H2^2, ...).
Partials square_root_partials(const Problem& pb, const Values& s) noexcept
{
    const double m = s[kN2], a = s[kO2], c = s[kCO], h = s[kH2];
    const double k5sp = pb.k[4] * pb.sqrt_p;
    const double k6sp = pb.k[5] * pb.sqrt_p;
    return {2.0 * m,
            2.0 * a,
            2.0 * c,
            2.0 * h,
            pb.k[0] / pb.sqrt_p,
            pb.k[1] / pb.sqrt_p,
            pb.k[2] * a,
            pb.k[2] * h,
            pb.k[3] * m,
            pb.k[3] * a,
            k5sp * (h * h),
            2.0 * k5sp * a * h,
            k6sp * (c * c),
            2.0 * k6sp * a * c,
            pb.k[6] / pb.sqrt_p};
}

// Residuals F1 .. F4 at the current mole fractions and the Jacobian with
// respect to the iterated values of N2, O2, CO, H2, the dependent species
// taken as their relations; jac by columns (row r, column c at r + 4 c).
void newton_system(const Problem& pb, const Values& x, const Partials& d, std::array<double, 16>& jac,
                   std::array<double, 4>& f) noexcept
{
    const double carbon = x[kCO] + x[kCO2];
    double sum = -1.0;
    for (Product k : kBalanced) sum += x[k];
    f[0] = sum;
    f[1] = 2.0 * (x[kH2O] + x[kH2]) + x[kH] + x[kOH] - pb.r_h * carbon;
    f[2] = 2.0 * (x[kCO2] + x[kO2]) + x[kCO] + x[kO] + x[kH2O] + x[kOH] + x[kNO] - pb.r_o * carbon;
    f[3] = 2.0 * x[kN2] + x[kNO] + x[kN] - pb.r_n * carbon;

    const double dcarbon_dco = d.g_co + d.co2_c;    // d(CO + CO2)/d CO; d/d O2 is d.co2_a
    const double carried = 1.0 + pb.r_ar + pb.r_s;  // CO2 and CO bring Ar and SO2 along

    auto at = [&jac](int r, int c) -> double& { return jac[static_cast<std::size_t>(r + 4 * c)]; };
    // F1: sum of the mole fractions
    at(0, 0) = d.g_n2 + d.no_m + d.n_m;
    at(0, 1) = d.g_o2 + d.o_a + d.oh_a + d.no_a + d.h2o_a + carried * d.co2_a;
    at(0, 2) = carried * dcarbon_dco;
    at(0, 3) = d.g_h2 + d.h_h + d.oh_h + d.h2o_h;
    // F2: hydrogen
    at(1, 0) = 0.0;
    at(1, 1) = 2.0 * d.h2o_a + d.oh_a - pb.r_h * d.co2_a;
    at(1, 2) = -pb.r_h * dcarbon_dco;
    at(1, 3) = 2.0 * d.h2o_h + 2.0 * d.g_h2 + d.h_h + d.oh_h;
    // F3: oxygen
    at(2, 0) = d.no_m;
    at(2, 1) = 2.0 * d.co2_a + 2.0 * d.g_o2 + d.o_a + d.h2o_a + d.oh_a + d.no_a - pb.r_o * d.co2_a;
    at(2, 2) = 2.0 * d.co2_c + d.g_co - pb.r_o * dcarbon_dco;
    at(2, 3) = d.h2o_h + d.oh_h;
    // F4: nitrogen
    at(3, 0) = 2.0 * d.g_n2 + d.no_m + d.n_m;
    at(3, 1) = d.no_a - pb.r_n * d.co2_a;
    at(3, 2) = -pb.r_n * dcarbon_dco;
    at(3, 3) = 0.0;
}

// The iteration stops once its step is below 1e-6, not once the balances
// hold: what is left of them (and what the closure on nitrogen leaves of the
// oxygen balance) is closed here, relative to carbon, so that the result holds
// the elements it was given to rounding. A host hands the products back at its
// next call, and a balance left open by even 1e-8 a call adds up over a run.
// Each remainder is put right so that it moves no species by more than the
// iteration left open: hydrogen to the larger of H2 and H2O; nitrogen by
// scaling N2, NO and N together (onto N2 where they hold none), which takes
// none of them below zero and leaves none at all in a mixture without
// nitrogen (N2 alone would carry the NO and N of the iteration as a negative
// amount); then oxygen, with the changes to H2O and NO, to O2 or, where CO is
// the larger, from CO to CO2 (carbon as it was).
void close_balances(const Array1<double>& x, const Problem& pb) noexcept
{
    const double carbon = x(kCO) + x(kCO2);
    const double dh = pb.r_h * carbon - (2.0 * (x(kH2O) + x(kH2)) + x(kH) + x(kOH));
    x(x(kH2) >= x(kH2O) ? kH2 : kH2O) += 0.5 * dh;
    const double bound_n = 2.0 * x(kN2) + x(kNO) + x(kN);
    if (bound_n > 0.0) {
        const double scale = pb.r_n * carbon / bound_n;
        x(kN2) *= scale;
        x(kNO) *= scale;
        x(kN) *= scale;
    } else {
        x(kN2) += 0.5 * (pb.r_n * carbon - bound_n);
    }
    const double d_o =
        pb.r_o * carbon - (2.0 * (x(kCO2) + x(kO2)) + x(kCO) + x(kO) + x(kH2O) + x(kOH) + x(kNO));
    if (x(kO2) >= x(kCO)) {
        x(kO2) += 0.5 * d_o;
    } else {
        x(kCO2) += d_o;
        x(kCO) -= d_o;
    }
    x(kAr) = pb.r_ar * carbon;
    x(kSO2) = pb.r_s * carbon;
}

void write_nonconvergence(const NewtonVariant& variant, double t_K, double p_Pa, double phi)
{
    std::string line = variant.failure_text;
    line += ' ';
    fmt::append_f(line, t_K, 8, 2);
    line += ' ';
    fmt::append_f(line, p_Pa * 1e-5, 10, 2);
    line += ' ';
    fmt::append_f(line, phi, 8, 4);
    out::write_line(line);
    if (variant.failure_second_line != nullptr) out::write_line(variant.failure_second_line);
    if (variant.failure_ends_run) stop_run();
}

// The constants of the last temperature asked for: a driver call evaluates the
// fits once, whichever solvers it runs, and a repeated temperature (the floor
// of the driver) not at all.
const std::array<double, 7>& constants_at(double t_K) noexcept
{
    static double cached_t_K = -1.0;
    static std::array<double, 7> cached_k{};
    if (t_K != cached_t_K) {
        cached_k = equilibrium_constants(t_K);
        cached_t_K = t_K;
    }
    return cached_k;
}

}  // namespace

std::array<double, 7> equilibrium_constants(double t_K) noexcept
{
    const double ln_t = std::log(t_K / 1000.0);
    const double t2 = t_K * t_K;
    std::array<double, 7> k{};
    for (int j = 0; j < 7; ++j) {
        const double* c = kFits[j];
        k[static_cast<std::size_t>(j)] =
            std::exp(kLn10 * (c[0] * ln_t + c[1] / t_K + c[2] + c[3] * t_K + c[4] * t2));
    }
    return k;
}

namespace {

// The iteration of solve_products for one form of the iterated values.
template <NewtonForm Form>
NewtonOutcome iterate(const NewtonVariant& variant, double p_Pa, double t_K, const ElementAmounts& n,
                      std::int32_t start) noexcept
{
    const Array1<double>& held = product_species().prod_molefrac;
    constexpr bool roots = Form == NewtonForm::square_roots;
    const double phi = n.phi();
    const Problem pb{constants_at(t_K), std::sqrt(p_Pa * kAtmPerPa),
                     n.h / n.c, n.o / n.c, n.n / n.c, n.ar / n.c, n.s / n.c};

    // The iterated values v: the mole fractions, or their square roots.
    const double v_floor = roots ? std::sqrt(kFloorX) : kFloorX;
    auto to_v = [](double x) { return roots ? std::sqrt(std::max(x, 0.0)) : x; };
    auto to_x = [](double v) { return roots ? v * v : v; };
    Values v{};
    Values x{};
    // sqrt of a mole fraction: in the square-root form the iterated value
    // itself (the correctly rounded root of v * v is v again).
    auto root_of = [&](Product k) { return roots ? v[k] : std::sqrt(v[k]); };
    auto load = [&] {
        for (int k = 1; k <= kProducts; ++k) v[k] = to_v(held(k));
    };
    auto store = [&] {
        for (int k = 1; k <= kProducts; ++k) held(k) = to_x(v[k]);
    };
    auto complete_combustion = [&] { products_nodissoc(t_K, n.c, n.h, n.o, n.n, n.ar, n.s, phi); };

    if (held(kN2) * held(kO2) * held(kH2) == 0.0 || start == 1) complete_combustion();
    load();

    NewtonOutcome outcome;
    double delta_prev = 1000.0;
    int global = 0;
    bool converged = false;
    for (int level = 1; level <= 3 && !converged; ++level) {
        const NewtonLevel& lv = variant.levels[static_cast<std::size_t>(level - 1)];
        if (variant.restart_each_level && level > 1) {
            complete_combustion();
            load();
        }
        const double lambda_min =
            start == 1 && level == 1 ? variant.lambda_min_fresh_start : variant.lambda_min;
        double c = lv.c2;
        int polished = 0;  // steps made since the step fell below the tolerance
        for (int i = 1; i <= lv.iteration_limit || polished > 0; ++i) {
            for (Product k : kIterated) v[k] = std::clamp(v[k], v_floor, 1.0);
            for (int k = 1; k <= kProducts; ++k) x[k] = to_x(v[k]);

            std::array<double, 16> jac;
            std::array<double, 4> delta;
            const Partials d = roots ? square_root_partials(pb, v)
                                     : mole_fraction_partials(pb, x, root_of(kO2), root_of(kH2), root_of(kN2));
            newton_system(pb, x, d, jac, delta);
            for (double& di : delta) di = -di;
            const bool solved = matrix_solve_a(4, 4, jac.data(), delta.data());
            double delta_max = 0.0;
            for (double d : delta) delta_max = std::max(delta_max, std::fabs(d));
            if (!solved || !std::isfinite(delta_max)) {  // no usable step: fail over now
                level = 3;
                break;
            }
            for (int u = 0; u < 4; ++u) {
                const double vu = v[kUnknowns[u]];
                double& d = delta[static_cast<std::size_t>(u)];
                d = roots ? std::min(d, kRootMaxStep) : std::clamp(d, kStepFloorX - vu, 1.0 - vu);
            }

            if (variant.relaxation == Relaxation::step_change && i > 2 && delta_max > delta_prev) c = lv.c1;
            const double lambda = relaxation_factor(variant.relaxation, c, delta_max, delta_prev, lambda_min);
            bool settled = true;  // every unknown moved by less than kSettled of its value
            for (int u = 0; u < 4; ++u) {
                double& vu = v[kUnknowns[u]];
                const double step = lambda * delta[static_cast<std::size_t>(u)];
                vu = std::clamp(vu + step, v_floor, 1.0);
                settled = settled & (std::fabs(step) < kSettled * vu);
            }

            // Dependent species toward their relations, at most 0.1 per step.
            const Dependents dep =
                relations(pb, root_of(kO2), to_x(v[kCO]), to_x(v[kH2]), root_of(kH2), root_of(kN2));
            auto move = [&](Product k, double target_x) {
                v[k] += std::clamp(to_v(target_x) - v[k], -kMaxMove, kMaxMove);
            };
            move(kCO2, dep.co2);
            move(kH2O, dep.h2o);
            move(kH, dep.h);
            move(kO, dep.o);
            move(kOH, dep.oh);
            move(kNO, dep.no);
            move(kN, dep.n);
            const double carbon = to_x(v[kCO]) + to_x(v[kCO2]);
            v[kAr] = to_v(pb.r_ar * carbon);
            v[kSO2] = to_v(pb.r_s * carbon);

            if (global % 10 == 0) {  // back onto a unit sum
                double sum = 0.0;
                for (Product k : kBalanced) sum += to_x(v[k]);
                const double scale = roots ? 1.0 / std::sqrt(sum) : 1.0 / sum;
                for (int k = 1; k <= kProducts; ++k) v[k] *= scale;
            }

            delta_prev = delta_max;
            ++global;
            // A level that restarts from complete combustion settles on its own
            // before it may stop; otherwise only the first level must.
            if (polished > 0 || (delta_max < kTolerance && (i > 2 || (level > 1 && !variant.restart_each_level)))) {
                if (settled || delta_max < kNothingLeft || polished++ == kPolishSteps) {
                    converged = true;
                    break;
                }
            }
        }
    }
    outcome.iterations = global;
    outcome.converged = converged;

    if (!converged) {
        // The equilibrium-constant form leaves its last values (the start of
        // the Gibbs fall-back); the square-root form writes only a converged
        // result, so what takes over starts where it started.
        if (!roots) store();
        write_nonconvergence(variant, t_K, p_Pa, phi);
        return outcome;
    }
    store();
    if (variant.close_on_nitrogen && pb.r_n > kNoNitrogen) {  // balances closed on nitrogen
        const double bound_n = 2.0 * held(kN2) + held(kNO) + held(kN);
        held(kCO2) = std::max(bound_n / pb.r_n - held(kCO), 0.0);
        held(kAr) = pb.r_ar * (held(kCO) + held(kCO2));
        held(kH2O) = std::max(0.5 * (pb.r_h / pb.r_n * bound_n - 2.0 * held(kH2) - held(kH) - held(kOH)), 0.0);
        held(kSO2) = pb.r_s * (held(kCO) + held(kCO2));
    }
    close_balances(held, pb);
    return outcome;
}

}  // namespace

double relaxation_factor(Relaxation rule, double c, double delta_max, double delta_prev, double lambda_min) noexcept
{
    const double change = rule == Relaxation::step_change ? std::fabs(delta_prev - delta_max) : delta_max;
    return std::clamp(c / std::max(change, 1e-18) + 0.06, lambda_min, 1.0);
}

NewtonOutcome solve_products(const NewtonVariant& variant, double p_Pa, double t_K,
                             const ElementAmounts& n, std::int32_t start) noexcept
{
    return variant.form == NewtonForm::square_roots
               ? iterate<NewtonForm::square_roots>(variant, p_Pa, t_K, n, start)
               : iterate<NewtonForm::mole_fractions>(variant, p_Pa, t_K, n, start);
}

void ecp(double p_Pa, double t_K, double n_C, double n_H, double n_O, double n_N, double n_Ar,
         double n_S, std::int32_t start, std::int32_t& failure) noexcept
{
    const NewtonOutcome r = solve_products(kEcpNewton, p_Pa, t_K, {n_C, n_H, n_O, n_N, n_Ar, n_S}, start);
    failure = r.converged ? 0 : 1;
}

void ecpinz_b(double p_Pa, double t_K, double n_C, double n_H, double n_O, double n_N, double n_Ar,
              double n_S, std::int32_t start, std::int32_t& failure) noexcept
{
    const NewtonOutcome r = solve_products(kRootNewton, p_Pa, t_K, {n_C, n_H, n_O, n_N, n_Ar, n_S}, start);
    failure = r.converged ? 0 : 1;
}

}  // namespace usersub::properties
