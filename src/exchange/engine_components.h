// The host's descriptions of the engine components: cylinders, injectors and
// valves. Each table is sized by its allocation operation and re-created by
// each later one; the injector and valve compositions (one entry per species)
// are sized separately, when the species property set is loaded.
//
// Layouts: the injector composition is (species, injector), species index
// first, so one injector's composition is contiguous; the valve compositions
// are (valve, species), valve index first, so one valve's composition is
// strided by the valve count. Every index is 1-based and checked.
#pragma once

#include "common/array.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace usersub::exchange {

inline constexpr std::size_t kComponentNameLen = 117;
inline constexpr int kCylinderReals = 13;
inline constexpr int kInjectorReals = 8;  // r1..r7 before the composition, r8 after it

// The four counts, 0 at load. The cylinder table keeps no count.
struct EngineInfoCounts {
    std::int32_t n_vlv_species = 0;
    std::int32_t n_valves = 0;
    std::int32_t n_inj_species = 0;
    std::int32_t n_injectors = 0;
};
const EngineInfoCounts& engine_info_counts() noexcept;

// Which arrays exist.
struct AllocationFlags {
    bool cylinder_arrays = false;
    bool injector_composition = false;
    bool injector_arrays = false;
    bool valve_compositions = false;
    bool valve_arrays = false;
};
const AllocationFlags& allocation_flags() noexcept;

// ---- cylinders ----
// Re-creates the cylinder table with max(ncyl, 0) entries, all zero.
void allocate_cylinder_arrays(std::int32_t ncyl);
// Stores the integer and the 13 reals r[0..12] of cylinder icyl.
void load_cylinder_info(std::int32_t icyl, std::int32_t ival, const double* r) noexcept;
void load_cylinder_angle(std::int32_t icyl, double angle) noexcept;
// Every output is optional (null is skipped); r is an array of 13 optional
// outputs, or null for none of them.
void get_cylinder_info(std::int32_t icyl, std::int32_t* ival, double* const* r = nullptr,
                       double* angle = nullptr) noexcept;

// Stroke, pin offset and connecting-rod length of a cylinder (reals 2, 3, 5).
struct CylinderGeometry {
    double stroke = 0.0;
    double pin_offset = 0.0;
    double rod_length = 0.0;
};
CylinderGeometry cylinder_geometry(std::int32_t icyl) noexcept;

// ---- injectors ----
// Re-creates every injector array but the composition with max(ninj, 0)
// entries; the composition keeps its size and values.
void allocate_injector_arrays(std::int32_t ninj);
// Re-creates the composition with nsp rows and N_INJECTORS columns, all zero.
void allocate_injector_composition(std::int32_t nsp);
// r: the 8 reals r1..r8 (r[0..6] before the composition, r[7] after it);
// composition: N_INJ_SPECIES entries, read only when that count is above 0.
void load_injector_info(std::int32_t iinj, std::string_view name, std::int32_t i1, std::int32_t i2,
                        const double* r, const double* composition) noexcept;

// Optional outputs of an injector (null is skipped).
struct InjectorInfoOut {
    char* name = nullptr;
    std::size_t name_len = 0;
    std::int32_t* i1 = nullptr;
    std::int32_t* i2 = nullptr;
    double* r[kInjectorReals] = {};  // r1..r8
    double* composition = nullptr;   // receives N_INJ_SPECIES entries
};
void get_injector_info(std::int32_t iinj, const InjectorInfoOut& out) noexcept;

// ---- valves ----
void allocate_valve_arrays(std::int32_t nvalve);
// Re-creates both compositions with N_VALVES rows and nsp columns, all zero.
void allocate_valve_composition(std::int32_t nsp);
// r: the 6 reals r1..r6 (r[0..3] before composition1, r[4..5] after it);
// compositions: N_VLV_SPECIES entries each, read only when that count is above 0.
void load_valve_info(std::int32_t ivalve, std::string_view name, std::int32_t i1, const double* r,
                     const double* composition1, const double* composition2) noexcept;

struct ValveInfoOut {
    char* name = nullptr;
    std::size_t name_len = 0;
    std::int32_t* i1 = nullptr;
    double* r[6] = {};               // r1..r6
    double* composition1 = nullptr;  // receives N_VLV_SPECIES entries
    double* composition2 = nullptr;
};
void get_valve_info(std::int32_t ivalve, const ValveInfoOut& out) noexcept;

// Views of the compositions as stored (for readers that want them in place).
ArrayN<const double, 2> injector_composition() noexcept;  // (N_INJ_SPECIES, N_INJECTORS)
ArrayN<const double, 2> valve_composition1() noexcept;    // (N_VALVES, N_VLV_SPECIES)
ArrayN<const double, 2> valve_composition2() noexcept;

// Slider-crank kinematics of cylinder icyl: speeds in rev/min, angles in
// degrees; position in the unit of the stroke (0 at top dead centre without pin
// offset), velocity per second, acceleration per second squared.
struct PistonMotion {
    double position = 0.0;
    double velocity = 0.0;
    double acceleration = 0.0;
};
PistonMotion piston_kinematics(std::int32_t icyl, double speed_rpm, double prev_speed_rpm,
                               double crank_deg, double step_deg) noexcept;

}  // namespace usersub::exchange
