// User-flow-device exchange: per device, the map of its connections, the two
// actuator values the host sets, and the connection states the host pushes
// every step and reads back as sensor values by kind.
#pragma once

#include <cstdint>

namespace usersub::exchange {

// Creates the store for nufd devices of nconn connections with nsp species
// entries each (negative counts taken as 0). Only the first call counts;
// later calls are ignored.
void ufd_alloc(std::int32_t nufd, std::int32_t nconn, std::int32_t nsp);
bool ufd_allocated() noexcept;

// For k = 1..n with list[k-1] > 0: the port map of connection list[k-1] of
// device iufd becomes k. Entries of 0 or below name no connection and are
// skipped.
void ufd_init(std::int32_t iufd, std::int32_t n, const std::int32_t* list) noexcept;
// Port-map entry of connection iconn of device iufd (-999 until recorded).
std::int32_t ufd_port_map(std::int32_t iconn, std::int32_t iufd) noexcept;

// The host's arrays of one connection-state push. r1..r5 are indexed by
// connection number (element j at [j - 1]); table holds species entry i of
// connection j at [(i - 1) * ld + (j - 1)].
struct UfdConnectionStates {
    const double* r1 = nullptr;
    const double* r2 = nullptr;
    const double* r3 = nullptr;
    const double* r4 = nullptr;
    const double* r5 = nullptr;
    const double* table = nullptr;
    std::int32_t ld = 0;
};

// Stores the states of the n connections listed in idx of device iufd, with m
// species entries each (m below 1: the species entries are left alone).
void ufd_setup(std::int32_t iufd, std::int32_t n, std::int32_t m, const std::int32_t* idx,
               const UfdConnectionStates& states) noexcept;

// Sensor value of connection iconn of device iufd by kind: 1 sensor 1 x 1e-5,
// 2 sensor 2, 3 sensor 3 x factor, 4..24 species entry kind - 3, 25 sensor 25
// x factor. Another kind leaves value unchanged.
void flw_sens_ufdc(std::int32_t iufd, std::int32_t kind, std::int32_t iconn, double factor,
                   double& value) noexcept;

// Kind 1: actuator 1 = value x 100000.0; kind 2: actuator 2 = value. Either
// marks the actuator set for good. Another kind does nothing.
void flw_actu_ufdc(std::int32_t iufd, std::int32_t kind, double value) noexcept;

// Actuator getters for user routines: isset 1 and the stored value once the
// host has set the actuator, else isset 0 and 0.0 (actuator 1) or -9999.0
// (actuator 2). ufd_get_actuator1_b behaves exactly as ufd_get_actuator1.
void ufd_get_actuator1(std::int32_t iufd, std::int32_t& isset, double& value) noexcept;
void ufd_get_actuator2(std::int32_t iufd, std::int32_t& isset, double& value) noexcept;
void ufd_get_actuator1_b(std::int32_t iufd, std::int32_t& isset, double& value) noexcept;

}  // namespace usersub::exchange
