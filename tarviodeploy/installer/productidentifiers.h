#pragma once

#include "tarviolib/core/enumnametable.h"

#include <cstdint>

namespace Tarvio {

// The short names under which the maker's web services know its products, by product number.
enum class ProductIdentifier : int32_t {};

extern const EnumNameTable<ProductIdentifier, 14> productIdentifiers;

} // namespace Tarvio
