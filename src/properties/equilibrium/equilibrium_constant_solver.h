// Equilibrium composition of C-H-O-N combustion products (argon and sulfur
// carried along) from seven equilibrium constants and four element balances,
// by one damped Newton iteration in three levels of increasing patience.
//
// Unknowns N2, O2, CO, H2; the other species follow from them (x mole
// fractions, p_atm the pressure in atm, K_j functions of T):
//   x_H   = K1 sqrt(x_H2) / sqrt(p_atm)      x_O   = K2 sqrt(x_O2) / sqrt(p_atm)
//   x_OH  = K3 sqrt(x_H2 x_O2)               x_NO  = K4 sqrt(x_O2 x_N2)
//   x_H2O = K5 sqrt(p_atm) sqrt(x_O2) x_H2   x_CO2 = K6 sqrt(p_atm) sqrt(x_O2) x_CO
//   x_N   = K7 sqrt(x_N2) / sqrt(p_atm)
//   x_Ar  = (n_Ar / n_C)(x_CO + x_CO2)       x_SO2 = (n_S / n_C)(x_CO + x_CO2)
// Balances: the mole fractions sum to 1, and H, O and N stand to C as n_H,
// n_O and n_N to n_C. Atomic N is a dependent species of the iteration like
// H and O, in the sum and in the nitrogen balance: set only after
// convergence, its atoms would come on top of those of N2 (some per cent of
// the nitrogen in hot, thin states), and a host that hands the products back
// call after call would gain nitrogen on every call. For the same reason the
// balances of a converged result are closed to rounding before it is written.
//
// The iteration runs on the mole fractions themselves (the equilibrium-
// constant solver) or on their square roots (the square-root solver used
// near stoichiometry). The live solvers and their alternative forms are the
// same iteration with the parameters of NewtonVariant.
#pragma once

#include <array>
#include <cstdint>

namespace usersub::properties {

// log10 K = A ln(T / 1000 K) + B / T + C + D T + E T^2 of the seven reactions
// 1/2 H2 = H, 1/2 O2 = O, 1/2 H2 + 1/2 O2 = OH, 1/2 O2 + 1/2 N2 = NO,
// H2 + 1/2 O2 = H2O, CO + 1/2 O2 = CO2, 1/2 N2 = N; K[0] .. K[6].
std::array<double, 7> equilibrium_constants(double t_K) noexcept;

// Pa to atm, as the solvers use it.
inline constexpr double kAtmPerPa = 1e-5 * 0.9869233;

// Element amounts in kmol/kg (only their ratios matter); n_O without the
// oxygen bound in SO2.
struct ElementAmounts {
    double c = 0.0, h = 0.0, o = 0.0, n = 0.0, ar = 0.0, s = 0.0;
    double phi() const noexcept { return (2.0 * c + 0.5 * h) / o; }  // equivalence ratio
};

enum class NewtonForm { mole_fractions, square_roots };
enum class Relaxation { step_change, step_size };

// Relaxation of a step with largest change d:
//  step_change: c / max(|d_prev - d|, 1e-18) + 0.06, c the level's second
//               numerator, the first from the third iteration on once d grows;
//  step_size:   c / max(d, 1e-18) + 0.06, c the level's second numerator
//               throughout.
// Either is then raised to the lowest relaxation and capped at 1.

struct NewtonLevel {
    int iteration_limit;
    double c1;  // damping numerator once the step grows after the second iteration
    double c2;  // damping numerator at the start of the level (its first tolerance)
};

struct NewtonVariant {
    NewtonForm form;
    std::array<NewtonLevel, 3> levels;
    double lambda_min;             // lowest relaxation
    double lambda_min_fresh_start; // lowest relaxation in level 1 of a call with start flag 1
    Relaxation relaxation;
    // Complete combustion again before levels 2 and 3; each level then makes
    // at least three iterations before it may stop (else only the first).
    bool restart_each_level;
    bool close_on_nitrogen;        // CO2, H2O, Ar, SO2 re-closed on the N balance at the end
    // Report after the third level: its first line (followed by T, P and phi),
    // an optional second line, and whether it ends the run.
    const char* failure_text;
    const char* failure_second_line;
    bool failure_ends_run;
};

// The equilibrium-constant solver of the driver and its four-element form.
inline constexpr NewtonVariant kEcpNewton{
    .form = NewtonForm::mole_fractions,
    .levels = {{{20, 0.004, 0.005}, {60, 0.001, 0.0015}, {150, 0.0005, 0.0005}}},
    .lambda_min = 0.3,
    .lambda_min_fresh_start = 0.1,
    .relaxation = Relaxation::step_change,
    .restart_each_level = false,
    .close_on_nitrogen = true,
    .failure_text = "F*** ECP: THIRD  LEVEL NON-CONVERGENCE, T,P,PHI =",
    .failure_second_line = "     SWITCHING TO GIBBS FUNCTION MINIMIZATION METHOD",
    .failure_ends_run = false};
inline constexpr NewtonVariant kEcp60Newton = [] {
    NewtonVariant v = kEcpNewton;
    v.lambda_min_fresh_start = 0.1;
    v.lambda_min = 0.1;  // always 0.1
    v.failure_text = "F*** ECP60: THIRD  LEVEL NON-CONVERGENCE, T,P,PHI =";
    v.failure_second_line = nullptr;
    v.failure_ends_run = true;  // no Gibbs minimisation to fall back on
    return v;
}();
// The square-root solver of the driver and of the four-element driver.
inline constexpr NewtonVariant kRootNewton{
    .form = NewtonForm::square_roots,
    .levels = {{{20, 0.014, 0.015}, {60, 0.001, 0.0015}, {150, 0.0005, 0.0005}}},
    .lambda_min = 0.3,
    .lambda_min_fresh_start = 0.1,
    .relaxation = Relaxation::step_change,
    .restart_each_level = false,
    .close_on_nitrogen = false,
    .failure_text = "W*** ECPINZ: THIRD  LEVEL NON-CONVERGENCE, T,P,PHI =",
    .failure_second_line = nullptr,
    .failure_ends_run = false};
inline constexpr NewtonVariant kRoot60Newton = [] {
    NewtonVariant v = kRootNewton;
    v.lambda_min_fresh_start = 0.1;
    v.lambda_min = 0.1;              // always 0.1
    v.relaxation = Relaxation::step_size;  // 0.015, 0.0015, 0.0005 over the step
    v.restart_each_level = true;     // complete combustion before levels 2 and 3
    v.failure_text = "W*** ECPINZ60: THIRD  LEVEL NON-CONVERGENCE, T,P,PHI =";
    return v;
}();

// The relaxation of a step whose largest change is delta_max, after a step of
// delta_prev (see Relaxation).
double relaxation_factor(Relaxation rule, double c, double delta_max, double delta_prev, double lambda_min) noexcept;

struct NewtonOutcome {
    bool converged = false;
    int iterations = 0;  // Newton iterations made, all levels
};

// Runs the iteration on the product mole fractions (product_species()
// .prod_molefrac), which hold the start and receive the result (in the
// square-root form only a converged one: after its failure they hold its
// start, from which the next solver takes over). The start is
// complete combustion (products_nodissoc) when start is 1 or when N2, O2 or
// H2 of the held values is exactly 0. p_Pa in Pa, t_K in K; n.c must be above 0.
// Without convergence after the third level (or on a singular Newton system
// or a non-finite step) the variant's report is written: its first line with
// T (F8.2), P in bar (F10.2) and phi (F8.4), each after one blank, then its
// second line; a fatal report ends the run.
NewtonOutcome solve_products(const NewtonVariant& variant, double p_Pa, double t_K,
                             const ElementAmounts& n, std::int32_t start) noexcept;

// The equilibrium-constant solver: converged (failure = 0) or, after its
// third level, the two-line report "F*** ECP: THIRD  LEVEL NON-CONVERGENCE,
// T,P,PHI = ..." / "     SWITCHING TO GIBBS FUNCTION MINIMIZATION METHOD" and
// failure = 1; the run goes on.
void ecp(double p_Pa, double t_K, double n_C, double n_H, double n_O, double n_N, double n_Ar,
         double n_S, std::int32_t start, std::int32_t& failure) noexcept;

// The square-root solver of the driver on given amounts: on failure writes
// "W*** ECPINZ: THIRD  LEVEL NON-CONVERGENCE, T,P,PHI = ..." and sets
// failure = 1.
void ecpinz_b(double p_Pa, double t_K, double n_C, double n_H, double n_O, double n_N, double n_Ar,
              double n_S, std::int32_t start, std::int32_t& failure) noexcept;

}  // namespace usersub::properties
