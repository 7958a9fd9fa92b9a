#include "tarviolib/io/fileaccessexception.h"

namespace Tarvio {

Exception fileAccessException(const Io::Path& path) {
    return Exception("Cannot open/read/write file '" + path.toString() + "'");
}

} // namespace Tarvio
