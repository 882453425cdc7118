// Demo of the message queues, special values, a harness and a user flow
// device: set-up, one step as a host runs it, and what the host reads back.
#include "demo.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

void demo_exchange_io()
{
    // Messages: one queue per user model; a routine writes, the host drains.
    const int32_t two = 2, m1 = 1, m2 = 2;
    ENTRY(ALLOCATE_USER_STRING)(&two);
    const char* note = "Knock model: cylinder 1 knock integral reached 0.8";
    ENTRY(WRT_USER)(&m1, note, static_cast<intptr_t>(std::strlen(note)));
    ENTRY(WRT_USER)(&m1, "second line", 11);
    ENTRY(WRT_USER)(&m2, "model 2 says hello", 18);
    for (int32_t m : {m1, m2}) {
        for (int32_t imsg = 1;; ++imsg) {
            char text[130];
            int32_t flag = 0;
            ENTRY(GETUSERSTRING)(&m, &imsg, text, 130, &flag);
            if (flag == -999) break;
            std::printf("message %d of model %d (flag %d): %s\n", imsg, m, flag, trimmed(text, 130).c_str());
        }
    }

    // Special values by slot; slot 101 is reported and ignored.
    const int32_t slot = 7, bad_slot = 101, ival = 3;
    const double rval = 0.85;
    ENTRY(LOADSPECIALINT)(&slot, &ival);
    ENTRY(LOADSPECIALREAL)(&slot, &rval);
    ENTRY(LOADSPECIALCHAR)(&slot, "gasoline", 8);
    std::printf("special value in slot 101, beyond the table: the library reports it and carries on\n");
    ENTRY(LOADSPECIALINT)(&bad_slot, &ival);

    // A harness store of two harnesses with three signals each.
    const int32_t nsig = 3, h1 = 1, h2 = 2, spare = 0;
    ENTRY(ALLOC_USER_HARN)(&nsig, &two);
    ENTRY(INIT_USER_HARN)(&h1, "Knock", 5);
    ENTRY(INIT_USER_HARN)(&h2, "ECU", 3);
    const int32_t ecu = ENTRY(GET_USER_HARN_ID)("ECU     ", 8);
    const double sensors[] = {2000.0, 0.42, 355.0};  // rpm, load, K
    ENTRY(SENSACTUDUMP1)(&nsig, &ecu, sensors, &spare);
    // "The routine": actuator signal 1 of the ECU harness from its inputs.
    const int32_t s1 = 1, s2 = 2;
    double load = 0.0;
    ENTRY(GET_USER_HARN_INPUT)(&s2, &ecu, &load);
    const double spark_deg = 10.0 + 20.0 * load;
    ENTRY(SET_USER_HARN_OUTPUT)(&s1, &ecu, &spark_deg);

    char names[2][20];
    usersub_array_view view{reinterpret_cast<intptr_t>(names), 20, -1, 2, 1, 0, 2, 20, 1};
    int32_t nharn = 0;
    ENTRY(GET_USER_HARN_NAMES)(&nharn, &view);
    for (int32_t i = 0; i < nharn; ++i) std::printf("harness %d: %s\n", i + 1, trimmed(names[i], 20).c_str());
    double out1 = 0.0, out2 = 0.0;
    ENTRY(GET_USER_HARN_OUTPUT)(&s1, &ecu, &out1);
    ENTRY(GET_USER_HARN_OUTPUT)(&s2, &ecu, &out2);
    std::printf("harness \"ECU\" is number %d: output 1 = %g, output 2 (unset) = %g\n", ecu, out1, out2);

    // One user flow device with two connections and two species entries.
    const int32_t one = 1, nsp = 2, iufd = 1;
    ENTRY(UFD_ALLOC)(&one, &two, &nsp);
    const int32_t ports[] = {2, 1};
    ENTRY(UFD_INIT)(&iufd, &two, ports);
    const int32_t idx[] = {1, 2};
    const double r1[] = {0.01, 0.02}, r2[] = {300.0, 350.0}, r3[] = {1.2e5, 1.0e5};
    const double r4[] = {1.1, 1.0}, r5[] = {2.0, 2.5};
    const double species[] = {0.23, 0.0, 0.77, 1.0};  // (connection, entry), connection fastest
    ENTRY(UFD_SETUP)(&iufd, &two, &two, &nsp, idx, r1, r2, r3, r4, r5, species);
    const int32_t kind1 = 1, kind2 = 2;
    const double p_bar = 1.05, t_K = 320.0;
    ENTRY(FLW_ACTU_UFDC)(&iufd, &kind1, &p_bar);
    ENTRY(FLW_ACTU_UFDC)(&iufd, &kind2, &t_K);
    for (int32_t iconn : {1, 2}) {
        double v[5] = {};
        const int32_t kinds[] = {1, 2, 3, 4, 25};
        const double factor = 1.0;
        for (int k = 0; k < 5; ++k) ENTRY(FLW_SENS_UFDC)(&iufd, &kinds[k], &iconn, &spare, &v[k], &factor);
        std::printf("flow device 1, connection %d: kind 1 %g, kind 2 %g, kind 3 %g, kind 4 %g, kind 25 %g\n",
                    iconn, v[0], v[1], v[2], v[3], v[4]);
    }
}
