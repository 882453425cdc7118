#include "usermodels/knock_scavenging.h"

#include "common/output.h"
#include "common/run_stop.h"
#include "exchange/harness.h"
#include "exchange/user_models.h"
#include "properties/species/species_table.h"
#include "usermodels/argument_checks.h"
#include "usermodels/usermodel_common.h"

#include <array>
#include <cmath>

namespace usersub::usermodels {
namespace {

exchange::UserModelArrays g_knock_parms;
exchange::UserModelArrays g_scavenge_parms;

// Per cylinder: the last reciprocal ignition delay (1/s) and the running
// knock integral.
std::array<double, kKnockCylinders> g_tau_inverse_old{};
std::array<double, kKnockCylinders> g_knock_integral{};

constexpr std::int32_t kFuelCode = 2;

}  // namespace

void knock_user(std::int32_t imodel, std::int32_t c, std::int32_t& status, const KnockInputs& in,
                Array1<const double> fconc, double& knock_index) noexcept
{
    auto& p = g_knock_parms;
    exchange::load_user_model_arrays(imodel, p);
    const Array1<double> tau_inverse_old("TAUINVERSEOLD", g_tau_inverse_old.data(), kKnockCylinders);
    const Array1<double> knock_integral("KNOCKINTEGRAL", g_knock_integral.data(), kKnockCylinders);

    if (status == 1) {
        status = 0;
        tau_inverse_old(c) = 0.0;
        knock_integral(c) = 0.0;
        const auto& species = properties::species_table();
        double fuel = 0.0;
        for (std::int32_t i = 1; i <= species.props_scalar_3; ++i) {
            if (species.ifuel(i) == kFuelCode) fuel += fconc(i);
        }
        if (fuel < 1e-10) {
            status = -1;
            return;
        }
    }
    if (p.nreal < 5) input_error({"UserModel error (Knock):  Check UserModel input"});

    require_positive("KNOCKUSRMOD", 13, "pressure", in.p_Pa);
    require_positive("KNOCKUSRMOD", 14, "temperature", in.t_K);
    // Ignition delay, s: 0.001 A (ON/100)^a (p_atm)^b exp(T_A / T).
    const double p_atm = in.p_Pa * 9.869233e-6;
    const double tau_s = 0.001 * p.realparm(1) * std::pow(p.realparm(2) / 100.0, p.realparm(3)) *
                         std::pow(p_atm, p.realparm(4)) * std::exp(p.realparm(5) / in.t_K);
    const double tau_inverse = 1.0 / tau_s;
    if (!(tau_s > 0.0) || !std::isfinite(tau_inverse)) {
        // a delay of zero (a zero pre-factor, or a power that underflows) or below
        // would make the knock integral infinite or run backwards
        out::list("F*** KNOCKUSRMOD: the ignition delay", tau_s,
                  "gives no finite positive rate: check real parameters 1 to 5, the pressure (argument 13) "
                  "and the temperature (argument 14)");
        stop_run();
    }
    knock_integral(c) += (tau_inverse + tau_inverse_old(c)) * 0.5 * in.dt_s;  // trapezoid
    tau_inverse_old(c) = tau_inverse;

    const auto gactu = exchange::gactu();
    if (knock_integral(c) <= 1.0) {
        gactu(c, 1) = 0.0;
        return;
    }
    status = -1;
    require_nonzero("KNOCKUSRMOD", 18, "divisor of the knock index", in.index_divisor);
    const double index = (1.0 - in.index_fraction) * 6e7 * knock_integral(c) * std::exp(-6000.0 / in.t_K) /
                         in.index_divisor;
    // A step or pressure at the ends of the real range can carry the knock integral beyond
    // it, a fraction or divisor the index: the one that reaches furthest is named.
    if (!std::isfinite(knock_integral(c)))
        beyond_real_range("KNOCKUSRMOD", {{17, "time step", in.dt_s, factor_reach(in.dt_s)},
                                          {13, "pressure", in.p_Pa, extreme_reach(in.p_Pa)}});
    if (!std::isfinite(index))
        beyond_real_range("KNOCKUSRMOD", {{18, "divisor of the knock index", in.index_divisor,
                                           divisor_reach(in.index_divisor)},
                                          {19, "fraction of the knock index", in.index_fraction,
                                           factor_reach(in.index_fraction)}});
    knock_index = index;
    gactu(c, 1) = index;
    out::list("Knock detected in Cylinder # ", c, " Knock Index: ", index);
}

void scavenge_user(std::int32_t imodel, double crank_deg, double num, double den, double pass_value,
                   Array1<const double> comp, const ScavengeOutputs& out) noexcept
{
    auto& p = g_scavenge_parms;
    exchange::load_user_model_arrays(imodel, p);
    if (p.nint == 0) input_error({"No integer parameters defined for user model"});
    if (p.nreal < 2) input_error({"\"UserModel\" error (Scavenging): Check \"UserModel\" input"});

    out.window_start_deg = p.realparm(1);
    out.window_end_deg = p.realparm(2);
    out.ratio = 1.0;
    if (p.intparm(1) == 1) {
        out.value_b = pass_value;
        out.value_a = pass_value;
        require_nonzero("SCAVENGUSR", 8, "denominator of the ratio", den);
        out.ratio = num / den;
        if (!std::isfinite(out.ratio))
            beyond_real_range("SCAVENGUSR", {{8, "denominator of the ratio", den, divisor_reach(den)},
                                             {7, "numerator of the ratio", num, factor_reach(num)}});
        out.status = 0;
        return;
    }
    const double theta_deg = crank_deg < 0.0 ? crank_deg + 360.0 : crank_deg;
    if (p.realparm(1) <= theta_deg && theta_deg <= p.realparm(2)) out.status = 2;
    for (std::int64_t k = 1; k <= comp.size(); ++k) {
        out.comp_b(k) = comp(k);
        out.comp_a(k) = comp(k);
    }
}

}  // namespace usersub::usermodels
