#include "tarviodeploy/shared/sse41support.h"

#include "tarviolib/winapi/systeminfo.h"

namespace Tarvio {

bool isSse41Supported() {
    return (SystemInfo::cpuFeatures() & CpuFeature::Sse41) != 0;
}

} // namespace Tarvio
