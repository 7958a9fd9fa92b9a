#include "tarviolib/core/numberformat.h"

namespace Tarvio {

// The host build formats deterministically, as en-US does.
NumberFormat userNumberFormat() {
    return NumberFormat();
}

} // namespace Tarvio
