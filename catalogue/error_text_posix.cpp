#include <cstring>

#include "catalogue/error_text.h"

namespace korvalis::detail {

std::string SystemErrorText(std::int32_t error) { return std::strerror(error); }

}  // namespace korvalis::detail
