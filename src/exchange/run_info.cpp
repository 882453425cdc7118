#include "exchange/run_info.h"

#include "common/fixed_text.h"

namespace usersub::exchange {
namespace {

GlobalInfo g_info;
std::array<std::int32_t, 4> g_part_sizes{};

}  // namespace

const GlobalInfo& global_info() noexcept { return g_info; }

void send_user_state(std::int32_t a1, std::int32_t a2, std::int32_t a3, std::int32_t a4,
                     std::int32_t a5, std::int32_t a6, double sim_time_s, double crank_angle_deg,
                     double real3, bool l10) noexcept
{
    g_info.state_int1 = a1;
    g_info.state_int2 = a2;
    g_info.state_int3 = a3;
    g_info.state_int4 = a4;
    g_info.time_step_number = a5;
    g_info.state_int6 = (a1 == 1 && l10) ? 0 : a6;
    g_info.sim_time_s = sim_time_s;
    g_info.crank_angle_deg = crank_angle_deg;
    g_info.state_real3 = real3;
}

void send_user_global(std::string_view text, std::int32_t i1, std::int32_t i2,
                      std::int32_t i3) noexcept
{
    text::assign(g_info.global_text.data(), kGlobalTextLen, text);
    g_info.global_int1 = i1;
    g_info.global_int2 = i2;
    g_info.global_int3 = i3;
}

void send_user_global2(std::int32_t key, std::int32_t value) noexcept
{
    switch (key) {
    case 1: g_info.global_key1 = value; break;
    case 2: g_info.global_key2 = value; break;
    case 3: g_info.global_key3 = value; break;
    default: break;
    }
}

void set_user_part_sizes(const std::array<std::int32_t, 4>& sizes) noexcept { g_part_sizes = sizes; }

const std::array<std::int32_t, 4>& part_sizes() noexcept { return g_part_sizes; }

}  // namespace usersub::exchange
