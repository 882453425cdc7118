#include "properties/state/fluid_state.h"

#include "properties/species/species_table.h"
#include "properties/state/ph_state.h"
#include "properties/reports/location.h"
#include "properties/reports/property_reports.h"
#include "properties/state/state_solver.h"

#include <cmath>

namespace usersub::properties {
namespace {

constexpr double kTMax_K = 10000.0;
constexpr double kPMax_Pa = 1.0e12;  // 10,000,000 bar

Array1<double> composition_of(double* y) noexcept
{
    return {"Y", y, species_table().nspecies};
}

// The road of the four T-P and rho-e entry points: the request with fluid
// kind 0 and circuit 0; cv from the solver's gamma.
void guarded_state(std::int32_t location, std::int32_t input_kind, std::int32_t equilibrium, double* y,
                   double& t_K, double& p_Pa, double& rho_out, double& rho, double& e_J_kg, double& h_J_kg,
                   double& cp_J_kgK, double& cv_J_kgK) noexcept
{
    set_location_code(location);
    std::int32_t fluid_kind = 0, status = 0, circuit = 0;
    double gamma = 0.0, sound_m_s = 0.0;
    fluidprops_entry({fluid_kind, input_kind, equilibrium, status, circuit, composition_of(y), t_K, p_Pa, rho_out,
                      rho, e_J_kg, h_J_kg, cp_J_kgK, gamma, sound_m_s});
    cv_J_kgK = cp_J_kgK / gamma;
}

void state_tp(std::int32_t location, std::int32_t equilibrium, double t_K, double p_Pa, double* y,
              double& rho_kg_m3, double& e_J_kg, double& h_J_kg, double& cp_J_kgK, double& cv_J_kgK) noexcept
{
    double rho_solver = 0.0;  // t_K and p_Pa are copies: the caller's are never written
    guarded_state(location, 1, equilibrium, y, t_K, p_Pa, rho_kg_m3, rho_solver, e_J_kg, h_J_kg, cp_J_kgK,
                  cv_J_kgK);
}

void state_re(std::int32_t location, std::int32_t equilibrium, double rho_kg_m3, double e_J_kg, double* y,
              double& t_K, double& p_Pa, double& h_J_kg, double& cp_J_kgK, double& cv_J_kgK) noexcept
{
    double rho_out = rho_kg_m3;  // rho and e are copies: the caller's are never written
    guarded_state(location, 2, equilibrium, y, t_K, p_Pa, rho_out, rho_kg_m3, e_J_kg, h_J_kg, cp_J_kgK, cv_J_kgK);
}

}  // namespace

void fluidprops_entry(const StateRequest& rq) noexcept
{
    const char* message = nullptr;
    if (!(rq.t_K > 1.0e-18))  // a NaN temperature is refused here too
        message = "F*** Temperature negative or zero in call to fluid properties routine";
    else if (rq.t_K > kTMax_K)
        message = "F*** Temperature above 10000K in call to fluid properties routine";
    else if (!(rq.p_Pa > 1.0e-18))
        message = "F*** Pressure negative or zero in call to fluid properties routine";
    else if (rq.p_Pa > kPMax_Pa)
        message = "F*** Pressure above 10,000,000 bar in call to fluid properties routine";
    if (message != nullptr)
        FatalReport(message).state_values(rq.t_K, rq.p_Pa).location(ReportLocation::state_entry).stop();

    rq.status = 0;
    if (rq.fluid_kind == 3) FatalReport::list_directed("F*** FluidRefrigerant not allowed with user model").stop();
    if (rq.fluid_kind >= 0) {
        fluidstate_solve(rq);
    } else {  // a negative fluid kind counts as 0
        std::int32_t fluid_kind = 0;
        fluidstate_solve({fluid_kind, rq.input_kind, rq.equilibrium, rq.status, rq.circuit, rq.composition,
                          rq.t_K, rq.p_Pa, rq.rho_out_kg_m3, rq.rho_kg_m3, rq.e_J_kg, rq.h_J_kg, rq.cp_J_kgK,
                          rq.gamma, rq.sound_m_s});
    }
    rq.rho_out_kg_m3 = rq.rho_kg_m3;
}

void zalthrm_tp(double t_K, double p_Pa, double* y, double& rho_kg_m3, double& e_J_kg, double& h_J_kg,
                double& cp_J_kgK, double& cv_J_kgK) noexcept
{
    state_tp(kLocationStateTP, 0, t_K, p_Pa, y, rho_kg_m3, e_J_kg, h_J_kg, cp_J_kgK, cv_J_kgK);
}

void zalthrm_tp_eq(double t_K, double p_Pa, double* y, double& rho_kg_m3, double& e_J_kg, double& h_J_kg,
                   double& cp_J_kgK, double& cv_J_kgK) noexcept
{
    state_tp(kLocationStateTPEq, 2, t_K, p_Pa, y, rho_kg_m3, e_J_kg, h_J_kg, cp_J_kgK, cv_J_kgK);
}

void zalthrm_re(double rho_kg_m3, double e_J_kg, double* y, double& t_K, double& p_Pa, double& h_J_kg,
                double& cp_J_kgK, double& cv_J_kgK) noexcept
{
    state_re(kLocationStateRE, 0, rho_kg_m3, e_J_kg, y, t_K, p_Pa, h_J_kg, cp_J_kgK, cv_J_kgK);
}

void zalthrm_re_eq(double rho_kg_m3, double e_J_kg, double* y, double& t_K, double& p_Pa, double& h_J_kg,
                   double& cp_J_kgK, double& cv_J_kgK) noexcept
{
    state_re(kLocationStateREEq, 2, rho_kg_m3, e_J_kg, y, t_K, p_Pa, h_J_kg, cp_J_kgK, cv_J_kgK);
}

// Temperature from the enthalpy, then the density and its derivatives; no
// range checks and no location code.
void zalthrm_ph(double p_Pa, double h_J_kg, const double* y, double& t_K, double& rho_kg_m3, double& e_J_kg,
                double& cp_J_kgK, double& cv_J_kgK) noexcept
{
    zalthrm_ph_solve(t_K, p_Pa, y, h_J_kg, cp_J_kgK, 0, 0, 1.0e-4);
    double drho_dT = 0.0, drho_dP = 0.0, dv = 0.0;
    realgas_state(0, 0, 0, t_K, p_Pa, h_J_kg, y, rho_kg_m3, drho_dT, drho_dP, dv, 0);
    e_J_kg = h_J_kg - p_Pa / rho_kg_m3;
    cv_J_kgK = cp_J_kgK - t_K * drho_dT * drho_dT / (rho_kg_m3 * rho_kg_m3 * drho_dP);
    // No range checks here, but no NaN or infinity goes back unreported (a
    // pressure of 0 gives a density of 0, for one).
    if (!(std::isfinite(t_K) && std::isfinite(rho_kg_m3) && std::isfinite(e_J_kg) && std::isfinite(cp_J_kgK) &&
          std::isfinite(cv_J_kgK)))
        FatalReport("F*** No finite state from pressure and enthalpy in call to fluid properties routine")
            .state_values(t_K, p_Pa)
            .location(ReportLocation::state_entry)
            .stop();
}

}  // namespace usersub::properties
