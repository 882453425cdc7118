#include "properties/reports/location.h"

#include "common/bounds.h"

#include <algorithm>
#include <array>

namespace usersub::properties {
namespace {

// Places in the host solver from which a state call may come. Every label but
// the first ends in "istep=": a warning writes the time-step number after it.
constexpr std::array<std::string_view, kLocationCount> kLabels{
    "",
    "Pipe Subvolume, istep=",
    "FlowSplit, istep=",
    "Anechoic, istep=",
    "Fmass(cone), istep=",
    "Fmass(iter), istep=",
    "CYLSETUP, istep=",
    "CYLTRANSFERFLOWVAR, istep=",
    "CYLENERGY1, istep=",
    "ENGENERGY2_S(1), istep=",
    "ENGENERGY2_S(2), istep=",
    "ENGENERGY2_M(1), istep=",
    "ENGENERGY2_M(2), istep=",
    "LOADECYL, istep=",
    "First 2 timesteps, istep=",
    "Later timesteps, istep=",
    "Update first 2 timesteps, istep=",
    "Update later steps, istep=",
    "ENGCOMBDIJET, istep=",
    "ENGCOMBDIJET1, istep=",
    "ENGCOMBDIJET2, istep=",
    "DROPLETEVAP,  istep=",
    "DROPLETEVAP1, istep=",
    "DROPLETEVAP2, istep=",
    "DROPLETEVAP3, istep=",
    "DROPLETEVAP4, istep=",
    "DROPLETEVAP5, istep=",
    "DICOMBPAR, istep=",
    "HEATRELEASE1, istep=",
    "HEATRELEASE2, istep=",
    "HEATRELEASE3, istep=",
    "NOXGENERAL, istep=",
    "KNOCKUSRENTRY, istep=",
    "LOADCYLHC, istep=",
    "CALCYLHC, istep=",
    "CYLINJECT, istep=",
    "LOADECYMV, istep=",
    "CYLINJECTMV, istep=",
    "EXTCYLINDER_2, istep=",
    "EXTCYLINDER_1, istep=",
    "HEATRELEASE, istep=",
    "HEATRELEASE2, istep=",
    "HEATRELEASE3, istep=",
    "HEATRELEASE4, istep=",
    "HEATRELEASE6, istep=",
    "HEATRELEASE7, istep=",
    "HEATRELEASE8, istep=",
    "HEATRELEASE9, istep=",
    "PUDDLETRANSPORT1, istep=",
    "PUDDLETRANSPORT4, istep=",
    "PUDDLETRANSPORT2, istep=",
    "PUDDLETRANSPORT3, istep=",
    "SETVARFLOWC, istep=",
    "SETVARFLOWP, istep=",
    "ENDENVIRONMENT, istep=",
    "ENDFLOWINLET, istep=",
    "ENDFLOWSPEAKER, istep=",
    "ENDFLOWANECH, istep=",
    "BURNER, istep=",
    "MASSENERGYACCUM1, istep=",
    "MASSENERGYACCUM2, istep=",
    "SOLVEFLOWP2(7), istep=",
    "SOLVEFLOWP2(8), istep=",
    "SOLVEFLOWP2(1), istep=",
    "SOLVEFLOWP2(2), istep=",
    "SOLVEFLOWP2(3), istep=",
    "USERENGCYLINDER, istep=",
    "ENERCATALYST, istep=",
    "T into flowsplit, istep=",
    "TRANSFERFLOWVAR, istep=",
    "T into pipe, istep=",
    "ENGCYLMEANV, istep=",
    "BURNRATE(HTRL),istep=",
    "KNOCKKINETICS, istep=",
};

// The labels as fixed 40-character fields laid end to end.
constexpr auto padded_labels()
{
    std::array<char, kLocationCount * kLocationLen> chars{};
    std::fill(chars.begin(), chars.end(), ' ');
    for (std::size_t k = 0; k < kLabels.size(); ++k)
        std::copy(kLabels[k].begin(), kLabels[k].end(), chars.begin() + k * kLocationLen);
    return chars;
}

constexpr auto kLocationChars = padded_labels();

std::int32_t g_location_code = kLocationNone;

}  // namespace

std::int32_t location_code() noexcept { return g_location_code; }

void set_location_code(std::int32_t code) noexcept { g_location_code = code; }

std::string_view location_text(std::int32_t code) noexcept
{
    check_index("LOCATION_TEXTS", 1, code, 0, kLocationCount - 1);
    return {kLocationChars.data() + static_cast<std::size_t>(code) * kLocationLen, kLocationLen};
}

}  // namespace usersub::properties
