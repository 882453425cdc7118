#include "common/bounds.h"

#include "common/output.h"
#include "common/run_stop.h"

#include <string>

namespace usersub {

void bounds_error(const char* array, int subscript, std::int64_t value, std::int64_t bound,
                  bool above) noexcept
{
    std::string line = " Array bounds error: subscript ";
    line += std::to_string(subscript);
    line += " of array ";
    line += array;
    line += " has value ";
    line += std::to_string(value);
    line += above ? ", above its upper bound " : ", below its lower bound ";
    line += std::to_string(bound);
    out::write_line(line);
    stop_run();
}

}  // namespace usersub
