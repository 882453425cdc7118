#include "usermodels/usermodel_common.h"

#include "common/output.h"
#include "common/run_stop.h"

namespace usersub::usermodels {

void input_error(std::initializer_list<std::string_view> lines) noexcept
{
    for (std::string_view line : lines) out::list(line);
    stop_run();
}

}  // namespace usersub::usermodels
