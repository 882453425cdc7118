#include "exchange/ufd_exchange.h"

#include "common/array.h"

#include <algorithm>

namespace usersub::exchange {
namespace {

struct UfdStore {
    bool allocated = false;
    Storage<std::int32_t, 2> port_map{"UFD_PORT_MAP"};
    Storage<std::int32_t, 1> actuator1_set{"UFD_ACTUATOR1_SET"};
    Storage<std::int32_t, 1> actuator2_set{"UFD_ACTUATOR2_SET"};
    Storage<std::int32_t, 1> spare_int{"UFD_SPARE_INT"};
    Storage<double, 1> actuator1_value{"UFD_ACTUATOR1_VALUE"};
    Storage<double, 1> actuator2_value{"UFD_ACTUATOR2_VALUE"};
    Storage<double, 2> sensor1{"UFD_SENSOR1"};
    Storage<double, 2> sensor2{"UFD_SENSOR2"};
    Storage<double, 3> sensor_species{"UFD_SENSOR_SPECIES"};
    Storage<double, 2> sensor3{"UFD_SENSOR3"};
    Storage<double, 2> sensor25{"UFD_SENSOR25"};
};

UfdStore& store() noexcept
{
    static UfdStore s;
    return s;
}

constexpr double kActuator1Scale = 100000.0;  // host value to stored value
constexpr double kSensor1Scale = 1e-5;        // stored value to host value
constexpr double kUnsetActuator2 = -9999.0;

void get_actuator(const Storage<std::int32_t, 1>& set, const Storage<double, 1>& stored,
                  std::int32_t iufd, double unset_value, std::int32_t& isset, double& value) noexcept
{
    if (set(iufd) == 1) {
        isset = 1;
        value = stored(iufd);
    } else {
        isset = 0;
        value = unset_value;
    }
}

}  // namespace

void ufd_alloc(std::int32_t nufd, std::int32_t nconn, std::int32_t nsp)
{
    auto& s = store();
    if (s.allocated) return;
    const std::int64_t dev = std::max(nufd, 0);
    const std::int64_t conn = std::max(nconn, 0);
    const std::int64_t sp = std::max(nsp, 0);
    s.port_map.assign({conn, dev}, -999);
    s.actuator1_set.assign({dev}, -999);
    s.actuator2_set.assign({dev}, -999);
    s.spare_int.assign({dev}, -1);
    s.actuator1_value.assign({dev}, 0.0);
    s.actuator2_value.assign({dev}, kUnsetActuator2);
    s.sensor1.assign({conn, dev}, -999.0);
    s.sensor2.assign({conn, dev}, -999.0);
    s.sensor_species.assign({sp, conn, dev}, -999.0);
    s.sensor3.assign({conn, dev}, -999.0);
    s.sensor25.assign({conn, dev}, -999.0);
    s.allocated = true;
}

bool ufd_allocated() noexcept { return store().allocated; }

void ufd_init(std::int32_t iufd, std::int32_t n, const std::int32_t* list) noexcept
{
    auto& map = store().port_map;
    for (std::int32_t k = 1; k <= n; ++k)
        if (list[k - 1] > 0) map(list[k - 1], iufd) = k;
}

std::int32_t ufd_port_map(std::int32_t iconn, std::int32_t iufd) noexcept
{
    return store().port_map(iconn, iufd);
}

void ufd_setup(std::int32_t iufd, std::int32_t n, std::int32_t m, const std::int32_t* idx,
               const UfdConnectionStates& st) noexcept
{
    auto& s = store();
    const ArrayN<const double, 2> table("TABLE", st.table, {st.ld, std::max(m, 0)});
    for (std::int32_t k = 1; k <= n; ++k) {
        const std::int32_t j = idx[k - 1];
        // The store's entries are taken first: that checks j against the
        // device's connections before the host's arrays are read at j.
        double& sensor3 = s.sensor3(j, iufd);
        double& sensor2 = s.sensor2(j, iufd);
        double& sensor1 = s.sensor1(j, iufd);
        double& sensor25 = s.sensor25(j, iufd);
        sensor3 = st.r5[j - 1] * st.r4[j - 1] * st.r1[j - 1];
        sensor2 = st.r2[j - 1];
        sensor1 = st.r3[j - 1];
        sensor25 = st.r1[j - 1];
        for (std::int32_t i = 1; i <= m; ++i) {
            double& entry = s.sensor_species(i, j, iufd);
            entry = table(j, i);
        }
    }
}

void flw_sens_ufdc(std::int32_t iufd, std::int32_t kind, std::int32_t iconn, double factor,
                   double& value) noexcept
{
    const auto& s = store();
    if (kind == 1) {
        value = s.sensor1(iconn, iufd) * kSensor1Scale;
    } else if (kind == 2) {
        value = s.sensor2(iconn, iufd);
    } else if (kind == 3) {
        value = s.sensor3(iconn, iufd) * factor;
    } else if (kind >= 4 && kind <= 24) {
        value = s.sensor_species(kind - 3, iconn, iufd);
    } else if (kind == 25) {
        value = s.sensor25(iconn, iufd) * factor;
    }
}

void flw_actu_ufdc(std::int32_t iufd, std::int32_t kind, double value) noexcept
{
    auto& s = store();
    if (kind == 1) {
        s.actuator1_value(iufd) = value * kActuator1Scale;
        s.actuator1_set(iufd) = 1;
    } else if (kind == 2) {
        s.actuator2_value(iufd) = value;
        s.actuator2_set(iufd) = 1;
    }
}

void ufd_get_actuator1(std::int32_t iufd, std::int32_t& isset, double& value) noexcept
{
    const auto& s = store();
    get_actuator(s.actuator1_set, s.actuator1_value, iufd, 0.0, isset, value);
}

void ufd_get_actuator2(std::int32_t iufd, std::int32_t& isset, double& value) noexcept
{
    const auto& s = store();
    get_actuator(s.actuator2_set, s.actuator2_value, iufd, kUnsetActuator2, isset, value);
}

void ufd_get_actuator1_b(std::int32_t iufd, std::int32_t& isset, double& value) noexcept
{
    ufd_get_actuator1(iufd, isset, value);
}

}  // namespace usersub::exchange
