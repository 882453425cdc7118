// The catalyst volume's user model: converts part of the volume's gas towards
// the chemical equilibrium of its combustion products and records the
// volume's mass flows. Also the mixture-averaged diffusion coefficients that
// a user catalyst model can build on.
#pragma once

#include "common/array.h"

#include <cstdint>

namespace usersub::usermodels {

// What the host hands the catalyst model each step. Pass-through values are
// kept as the host's addresses: only the empty hook receives them.
struct CatalystInputs {
    const std::int32_t* pass2 = nullptr;
    const std::int32_t* plot_key_a = nullptr;  // plots are stored when the two keys are equal
    const std::int32_t* plot_key_b = nullptr;
    const std::int32_t* pass5 = nullptr;
    Array1<const std::int32_t> moxy1{"MOXY1"};  // entry 1: species number of oxygen
    const void* pass13 = nullptr;
    const void* pass14 = nullptr;
    const double* dt_s = nullptr;               // time step, treatment 2
    const double* plot_factor = nullptr;        // multiplies the plotted mass-flow sums
    const void* pass17 = nullptr;
    const void* pass18 = nullptr;
    const void* pass19 = nullptr;
    double mass_kg = 0.0;                       // gas in the volume, treatment 2
    Array1<const double> fluxi{"FLUXI"};        // species mass flows in, kg/s
    Array1<const double> fluxip{"FLUXIP"};      // species mass flows out, kg/s
    double t_K = 0.0;
    double p_Pa = 0.0;
    const double* pass28 = nullptr;
    double rho_kg_m3 = 0.0;
    double e_J_kg = 0.0;
};

// One step of the catalyst volume of user model imodel. INTPARM(1) picks the
// treatment: 1 the empty hook, 2 the single-fuel rate law, 3 the conversion
// towards equilibrium limited by a temperature rise of REALPARM(1); any other
// value converts nothing. fm: the volume's mass fractions, rewritten with the
// converted composition. out33 is set to 0 by treatment 2.
void catmodusr(std::int32_t imodel, const CatalystInputs& in, Array1<double> fm, double& out33) noexcept;

// Converts the composition fm (NSPECIES mass fractions) towards equilibrium
// at fixed density and energy, as far as the temperature stays at most
// t_K + dt_max_K (within 0.1 %). t_K and p_Pa: start values in, the state of
// the outlet composition out. A composition without fuel is left unchanged.
void catmod_outlet_state(Array1<double> fm, double e_J_kg, double& t_K, double& p_Pa, double rho_kg_m3,
                         double dt_max_K) noexcept;

// What the empty hook receives, in its argument order.
struct CatalystHookArgs {
    const std::int32_t* pass2;
    const std::int32_t* plot_key_a;
    const std::int32_t* plot_key_b;
    const std::int32_t* pass5;
    std::int32_t last_ordinary_species;  // PROPS_SCALAR_3
    std::int32_t nint;
    std::int32_t nchar;
    std::int32_t nreal;
    TextArray<const char> namfl;
    const void* pass13;
    const void* pass14;
    const double* dt_s;
    Array1<const double> fluxi;
    Array1<const double> fm;
    Array1<double> fm1;                  // the composition as mole fractions
    double& t_K;
    double& p_Pa;
    const double* pass28;
    double& spare;                       // holds no value
    const double* plot_factor;
    const void* pass17;
    const void* pass18;
    const void* pass19;
    Array1<const std::int32_t> intparm;
    TextArray<const char> charparm;
    Array1<const double> realparm;
    Array1<const double> rltarray;
};

// The place for a user's own catalyst code: does nothing.
void catmodusr_empty_hook(const CatalystHookArgs& args) noexcept;

// Mixture-averaged diffusion coefficients, m2/s, of every species at p_Pa and
// t_K in a mixture of mole fractions x, from the binary factors of the loaded
// species. A species alone in the mixture (no other species present) gets 0.
void mixture_diffusivity(double p_Pa, double t_K, Array1<const double> x, Array1<double> diff) noexcept;

// Builds the binary diffusion factors unless they are built already.
void init_diffusion_data() noexcept;

}  // namespace usersub::usermodels
