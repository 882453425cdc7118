// What the mixture routines share about the real-gas correction of a gas
// species: when and how it applies in one evaluation, the correction itself,
// and the mole fractions whose partial pressures it may use.
#pragma once

#include <cstdint>

namespace usersub::properties {

// Read once per mixture evaluation.
struct RealGasRule {
    bool on = false;                  // REALGAS_SWITCH 1 or 3
    std::int32_t form = 0;            // (REALGAS_SWITCH - 1) / 2: 0 Z alone, 1 with derivatives and departures
    std::int32_t form_ordinary = 0;   // the same, but 0 at location codes 28..30 and 40..47
    bool partial_pressure = false;    // USER_EVOLUTION word 43 below 3: a species sees X_i P
    bool cubic = false;               // bit 0 of the first EVOLUTION_SWITCHES word: closed-form cubic
};
RealGasRule realgas_rule() noexcept;

// Z with its derivatives and the departures from the ideal gas, per unit mass.
struct RealGasPoint {
    double z = 1.0;
    double h_dep_J_kg = 0.0;
    double dh_dP = 0.0;  // J/(kg Pa) at constant T
    double dz_dP = 0.0;  // 1/Pa
    double dz_dT = 0.0;  // 1/K
    double cp_dep_J_kgK = 0.0;
};

// Specific volume v = Z R T / P of a gas (m3/kg) with its derivatives at
// constant P (m3/(kg K)) and at constant T (m3/(kg Pa)).
struct GasVolume {
    double v = 0.0;
    double dv_dT = 0.0;
    double dv_dP = 0.0;
};
inline GasVolume gas_volume(double r_J_kgK, double t_K, double p_Pa, const RealGasPoint& c) noexcept
{
    const double p_inv = 1.0 / p_Pa;
    const double v_ideal = r_J_kgK * t_K * p_inv;  // v / Z
    GasVolume g;
    g.v = v_ideal * c.z;
    g.dv_dT = r_J_kgK * p_inv * c.z + v_ideal * c.dz_dT;  // v/T + (v/Z) dZ/dT
    g.dv_dP = -g.v * p_inv + v_ideal * c.dz_dP;           // -v/P + (v/Z) dZ/dP
    return g;
}

// The correction of one species at T and its pressure P (X_i P when the rule
// asks for the partial pressure, x_i being its mole fraction); an output the
// chosen form does not compute stays at its ideal-gas value.
RealGasPoint realgas_point(const RealGasRule& rule, std::int32_t form, double t_K, double p_Pa, double x_i,
                           double tc_K, double pc_Pa, double r_J_kgK) noexcept;

// MOLEFRAC_WORK from the mass fractions y(1..NSPECIES): X_i = Y_i / M_i for
// each species whose Y_i and 1/M_i exceed 1e-18 (else 0), divided by their
// sum unless it is already 1 within 1e-18.
void fill_molefrac_work(const double* y) noexcept;

}  // namespace usersub::properties
