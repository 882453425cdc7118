// Entry point of the catalyst user model. Positions the model does not read
// are received and left alone; those only the empty hook receives are handed
// on as the host's addresses.
#include "exports/host_args.h"
#include "usermodels/catalyst_model.h"

using namespace usersub;
namespace um = usersub::usermodels;

extern "C" {

void CATMODUSR(const int32_t* imodel, const int32_t* pass2, const int32_t* plot_key_a, const int32_t* plot_key_b,
               const int32_t* pass5, const int32_t* n_species, const int32_t*, const void*, const int32_t*,
               const void*, const int32_t* n_moxy1, const int32_t* moxy1, const void* pass13, const void* pass14,
               const double* dt, const double* plot_factor, const void* pass17, const void* pass18,
               const void* pass19, const void*, const void*, const double* mass, const double* fluxi,
               const double* fluxip, double* fm, const double* temperature, const double* pressure,
               const double* pass28, const double* density, const double* energy, const void*, const void*,
               double* out33)
{
    const int32_t n = *n_species;
    um::CatalystInputs in;
    in.pass2 = pass2;
    in.plot_key_a = plot_key_a;
    in.plot_key_b = plot_key_b;
    in.pass5 = pass5;
    in.moxy1 = {"MOXY1", moxy1, *n_moxy1};
    in.pass13 = pass13;
    in.pass14 = pass14;
    in.dt_s = dt;
    in.plot_factor = plot_factor;
    in.pass17 = pass17;
    in.pass18 = pass18;
    in.pass19 = pass19;
    in.mass_kg = *mass;
    in.fluxi = {"FLUXI", fluxi, n};
    in.fluxip = {"FLUXIP", fluxip, n};
    in.t_K = *temperature;
    in.p_Pa = *pressure;
    in.pass28 = pass28;
    in.rho_kg_m3 = *density;
    in.e_J_kg = *energy;
    um::catmodusr(*imodel, in, {"FM", fm, n}, *out33);
}

}  // extern "C"
