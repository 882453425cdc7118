// Demo of the engine description and the species property set: a host
// describes two cylinders, an injector and two valves, loads a realistic
// species set (air, methane, liquid n-heptane, liquid water and the
// combustion products), fills the compositions and looks species up by name.
#include "demo.h"
#include "support/species_fixture.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

void demo_engine_components()
{
    // Cylinders: bore, stroke, pin offset, ..., rod length among the 13 reals.
    const int32_t ncyl = 2;
    ENTRY(ALLOCATE_CYLINDERINFO)(&ncyl);
    const double bore = 0.086, stroke = 0.086, offset = 0.0005, cr = 10.5, rod = 0.145, z = 0.0;
    for (int32_t icyl = 1; icyl <= ncyl; ++icyl) {
        const int32_t firing = icyl == 1 ? 1 : 3;
        ENTRY(LOADCYLINDERINFO)(&icyl, &firing, &bore, &stroke, &offset, &cr, &rod, &z, &z, &z, &z, &z, &z, &z,
                                &z);
        const double tdc_deg = (icyl - 1) * 360.0;
        ENTRY(LOADCYLINDERANGLE)(&icyl, &tdc_deg);
    }

    // Injectors and valves are counted before the species set sizes their compositions.
    const int32_t ninj = 1, nvalve = 2;
    ENTRY(ALLOCATEINJECTORINFO)(&ninj);
    ENTRY(ALLOCATEVALVEINFO)(&nvalve);

    usersub::test::load_species_set({ENTRY(LOADPROP0), ENTRY(LOADPROP1), ENTRY(LOADPROP2), ENTRY(LOADPROP4),
                                     ENTRY(LOADPROP9), ENTRY(LOADCAVIT2), ENTRY(LOADCIRCSET),
                                     ENTRY(COPY_USER_PROPERTY_PARAMETERS),
                                     ENTRY(SET_EVOLUTION_SCALAR_FLAGS_USER)});
    namespace fx = usersub::test::fx;
    std::printf("species set: %d species, %d of them combustion products\n", fx::kNSpecies,
                fx::kNSpecies - fx::kOrdinary);
    for (const char* name : {"N2", "C7H16_L", "prod_h2o", "n2", "prod_xyz"})
        std::printf("  SPECIES_INDEX(\"%s\") = %d\n", name,
                    ENTRY(SPECIES_INDEX)(name, static_cast<intptr_t>(std::char_traits<char>::length(name))));
    char name[24];
    for (int32_t i : {fx::kCH4, fx::product(1), fx::kNSpecies + 1}) {
        ENTRY(SPECIES_NAME)(name, sizeof name, &i);
        std::printf("  SPECIES_NAME(%d) = \"%s\"\n", i, trimmed(name, sizeof name).c_str());
    }

    // The injector sprays liquid n-heptane; the intake valve passes air, the
    // exhaust valve burned gas.
    std::vector<double> fuel(fx::kNSpecies, 0.0), air(fx::kNSpecies, 0.0), exhaust(fx::kNSpecies, 0.0);
    fuel[fx::kC7H16Liquid - 1] = 1.0;
    air[fx::kN2 - 1] = 0.767, air[fx::kO2 - 1] = 0.233;
    exhaust[fx::product(1) - 1] = 0.19, exhaust[fx::product(2) - 1] = 0.08, exhaust[fx::product(3) - 1] = 0.73;
    const int32_t one = 1, two = 2, nozzle_holes = 6;
    const double p_rail = 1.2e7, flow = 0.004;
    ENTRY(LOADINJECTORINFO)(&one, "DI injector", 11, &nozzle_holes, &one, &p_rail, &z, &z, &z, &flow, &z, &z,
                            fuel.data(), &z);
    const double lift = 0.009, vflow = 0.05;
    ENTRY(LOADVALVEINFO)(&one, "Intake", 6, &one, &lift, &z, &vflow, &z, air.data(), &z, &z, air.data());
    ENTRY(LOADVALVEINFO)(&two, "Exhaust", 7, &two, &lift, &z, &vflow, &z, exhaust.data(), &z, &z,
                         exhaust.data());

    // Air by mass to mole fractions and back.
    std::vector<double> x(fx::kNSpecies), y(fx::kNSpecies);
    ENTRY(GETMOLFRAC)(air.data(), x.data());
    ENTRY(GETMASSFRAC)(x.data(), y.data());
    std::printf("air: mole fractions N2 %.5f, O2 %.5f; back to mass %.5f, %.5f\n", x[0], x[1], y[0], y[1]);

    // The warning counters the property library keeps, read in place.
    int32_t* counters[6] = {};
    usersub_array_view flag, tmin, tmax;
    ENTRY(USER_ASSOCIATED)(&counters[0], &counters[1], &counters[2], &counters[3], &counters[4], &counters[5],
                           &flag, &tmin, &tmax);
    std::printf("temperature watch: %ld species, range warnings so far %d\n", static_cast<long>(flag.extent),
                *counters[2]);
}
