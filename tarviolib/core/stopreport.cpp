#include "tarviolib/core/stopreport.h"

#include "tarviolib/core/exception.h"

namespace Tarvio {

void throwStop(const char* modulePath, int32_t line) {
    String message = "STOP@";
    message += modulePath;
    message += "(";
    message += line;
    message += ")";
    throw Exception(message);
}

} // namespace Tarvio
