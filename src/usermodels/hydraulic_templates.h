// Hydraulic valve templates: the hooks through which a user replaces the
// characteristics of a valve of a fluid circuit. Each template, called with a
// mode, returns the valve's flow characteristics (flow area, hydraulic
// diameter, flow number, discharge coefficient, two displaced volumes) or
// the pressure or squeezed-film force on the valve body, for one geometry:
// a flat valve on a seat, alone or against a second moving body, with its
// diameters given as arguments or as parameters; a ball on a sharp edge or in
// a conical seat; a cone on a sharp edge; two angled faces. SI units.
#pragma once

#include <span>

namespace usersub::usermodels {

enum class HydTemplate {
    fvlv,    // USER_FVLV
    fvlvmh,  // USER_FVLVMH
    valve,   // USER_VALVE
    bpss,    // USER_BPSS
    bpcs,    // USER_BPCS
    bpcsmh,  // USER_BPCSMH
    cpss,    // USER_CPSS
    cpcs,    // USER_CPCS
};

// One call of a template: args[k - 1] is the address of the host's argument
// k, as many as the template has. Mode 0 reads nothing else and writes nothing.
void hydraulic_template(HydTemplate which, std::span<void* const> args) noexcept;

}  // namespace usersub::usermodels
