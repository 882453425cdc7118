#include "properties/state/property_stubs.h"

#include "common/output.h"
#include "common/run_stop.h"

namespace usersub::properties {

std::int32_t null_result_stub() noexcept { return 0; }

void refrigerant_stub() noexcept
{
    out::write_line("F*** FluidRefrigerant not allowed with user model");
    stop_run();
}

}  // namespace usersub::properties
