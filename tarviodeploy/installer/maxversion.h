#pragma once

#include "tarviolib/core/enumnametable.h"
#include "tarviolib/core/optional.h"
#include "tarviolib/io/path.h"

#include <cstdint>

namespace Tarvio {

// The supported 3ds Max versions, by release year.
enum class MaxVersion : int32_t {
    Max2013 = 2013,
    Max2014 = 2014,
    Max2015 = 2015,
    Max2016 = 2016,
    Max2017 = 2017,
    Max2018 = 2018,
    Max2019 = 2019,
};

// Each year by its four digits.
extern const EnumNameTable<MaxVersion, 7> maxVersionNames;

// The installation folder that the registry's 64-bit view holds for that year's 3ds Max (or 3ds Max
// Design), in any of the supported languages; empty when none is registered.
Optional<Io::Path> findMaxInstallDirectory(int32_t year);

} // namespace Tarvio
