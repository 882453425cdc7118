#include "properties/mixture/mixture_realgas.h"

#include "properties/species/species_density.h"
#include "properties/species/species_table.h"
#include "properties/reports/location.h"

#include <cmath>

namespace usersub::properties {

RealGasRule realgas_rule() noexcept
{
    const std::int32_t sw = species_table().realgas_switch;
    RealGasRule rule;
    rule.on = sw == 1 || sw == 3;
    if (!rule.on) return rule;
    rule.form = (sw - 1) / 2;
    const std::int32_t loc = location_code();
    const bool z_only_here = (loc >= 28 && loc <= 30) || (loc >= 40 && loc <= 47);
    rule.form_ordinary = z_only_here ? 0 : rule.form;
    rule.partial_pressure = user_evolution(43) < 3;
    rule.cubic = (property_settings().evolution_switches.cubic_select & 1) != 0;
    return rule;
}

RealGasPoint realgas_point(const RealGasRule& rule, std::int32_t form, double t_K, double p_Pa, double x_i,
                           double tc_K, double pc_Pa, double r_J_kgK) noexcept
{
    RealGasPoint c;
    const double p_seen = rule.partial_pressure ? x_i * p_Pa : p_Pa;
    if (rule.cubic)
        realgas_cubic(form, t_K, p_seen, tc_K, pc_Pa, r_J_kgK, c.z, c.h_dep_J_kg, c.dh_dP, c.dz_dP, c.dz_dT,
                      c.cp_dep_J_kgK);
    else
        realgas_z(t_K, p_seen, tc_K, pc_Pa, r_J_kgK, c.z, c.h_dep_J_kg, c.dh_dP, form, c.dz_dP, c.dz_dT,
                  c.cp_dep_J_kgK);
    return c;
}

void fill_molefrac_work(const double* y) noexcept
{
    const SpeciesTable& tab = species_table();
    const auto x = tab.molefrac_work.span(1, tab.nspecies);
    const auto m_inv = tab.pmwt_inv.span(1, tab.nspecies);
    double sum = 0.0;
    for (std::size_t k = 0; k < x.size(); ++k) {
        x[k] = y[k] > 1.0e-18 && m_inv[k] > 1.0e-18 ? y[k] * m_inv[k] : 0.0;
        sum += x[k];
    }
    // An empty composition stays all zero rather than 0/0.
    if (std::fabs(sum - 1.0) > 1.0e-18 && sum > 0.0)
        for (double& xi : x) xi /= sum;
}

}  // namespace usersub::properties
