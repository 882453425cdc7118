// Wall friction and heat-transfer correlations of pipe sub-volumes, the
// acoustic transfer matrix of a straight pipe, and the energy-source hook.
// SI units throughout; the host passes the fluid properties.
#pragma once

#include <array>
#include <complex>
#include <cstdint>

namespace usersub::usermodels {

// Flow state of one pipe sub-volume as the host passes it.
struct PipeFlow {
    double cp_J_kgK;     // specific heat
    double mu_Pas;       // dynamic viscosity
    double k_W_mK;       // thermal conductivity
    double rho_kg_m3;    // density
    double u_m_s;        // velocity (either sign)
    double d_m;          // hydraulic diameter
};

// Re = rho (|u| + 1e-6) D / mu; Pr = mu cp / k.
double pipe_reynolds(const PipeFlow& f) noexcept;
double pipe_prandtl(const PipeFlow& f) noexcept;

// Blasius friction coefficient 0.0791 / Re^0.25.
double cf_user(std::int32_t id, const PipeFlow& f) noexcept;

// Reynolds-Colburn analogy from the friction coefficient cf, or with at least
// seven real parameters the three-range Nusselt law (plotted every 100th call).
double cf_hg_user(std::int32_t id, const PipeFlow& f, double cf) noexcept;

// Blasius coefficient of a refrigerant, scaled per phase; x is the vapour quality.
double cf_user_refrig(std::int32_t id, const PipeFlow& f, double x) noexcept;

// What the refrigerant heat-transfer model reads beyond the flow state.
struct RefrigState {
    double t_fluid_K;
    double t_wall_K;
    double area_m2;           // flow cross-section
    double q_divisor;         // divides the heat input in the nucleate term
    double x;                 // vapour quality
    double p_reduced;
    double q_in;              // heat input of the boiling term
    double rho_l_kg_m3;
    double h_l_J_kg;
    double mu_l_Pas;
    double k_l_W_mK;
    double cp_l_J_kgK;
    double sigma_N_m;
    double rho_v_kg_m3;
    double h_v_J_kg;
    double mu_v_Pas;
    double k_ref_W_mK;        // reference conductivity of the built-in boiling law
    double mdot_kg_s;
};

// Heat-transfer coefficient, W/(m2 K): Dittus-Boelter in one phase,
// condensation or boiling correlations in two phases, limited by |mdot cp / A|.
double cf_hg_user_refrig(std::int32_t id, const PipeFlow& f, const RefrigState& s) noexcept;

// Transfer matrix (row 1 col 1, row 1 col 2, row 2 col 1, row 2 col 2) of a
// straight pipe at angular frequency omega; identity unless the model is a "pipe".
std::array<std::complex<double>, 4> tm_user(std::int32_t id, double omega_rad_s) noexcept;

// The energy-source template: both source terms are zero.
std::array<double, 2> user_set_energy_source(std::int32_t id) noexcept;

}  // namespace usersub::usermodels
