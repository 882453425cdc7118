// Run information the host pushes before each step, the part sizes, and the
// version values.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace usersub::exchange {

inline constexpr std::size_t kGlobalTextLen = 255;

// Field order is the order in which GET_GLOBAL_INFO hands the values out.
struct GlobalInfo {
    std::int32_t state_int1 = 0;
    std::int32_t state_int3 = 0;        // plots are stored only while 0
    std::int32_t state_int4 = 0;        // plots are stored only while 1
    std::int32_t global_int1 = 0;
    std::int32_t global_int2 = 0;
    std::int32_t global_int3 = 0;
    std::int32_t time_step_number = 0;  // every once-per-step rule counts by it
    std::int32_t state_int6 = 0;
    std::int32_t state_int2 = 0;
    std::int32_t global_key1 = 0;
    std::int32_t global_key2 = 0;
    std::int32_t global_key3 = 0;
    double sim_time_s = 0.0;
    double state_real3 = 0.0;
    double crank_angle_deg = 0.0;
    std::array<char, kGlobalTextLen> global_text{};  // zero characters until sent
};

// The whole block, read in place by the units that need single values.
const GlobalInfo& global_info() noexcept;

void send_user_state(std::int32_t a1, std::int32_t a2, std::int32_t a3, std::int32_t a4,
                     std::int32_t a5, std::int32_t a6, double sim_time_s, double crank_angle_deg,
                     double real3, bool l10) noexcept;
void send_user_global(std::string_view text, std::int32_t i1, std::int32_t i2,
                      std::int32_t i3) noexcept;
void send_user_global2(std::int32_t key, std::int32_t value) noexcept;

void set_user_part_sizes(const std::array<std::int32_t, 4>& sizes) noexcept;
const std::array<std::int32_t, 4>& part_sizes() noexcept;

inline constexpr std::int32_t kVersionMajor = 7;
inline constexpr std::int32_t kVersionMinor = 0;
inline constexpr double kSolverVersion = 2.0;

}  // namespace usersub::exchange
