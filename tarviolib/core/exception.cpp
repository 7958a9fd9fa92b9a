#include "tarviolib/core/exception.h"

namespace Tarvio {

Exception::Exception(const String& message) : mMessage(message.toUtf8()) {}

const char* Exception::what() const noexcept {
    return mMessage.text();
}

void throwException(const String& message) {
    throw Exception(message);
}

String exceptionMessage(const std::exception& exception) {
    return String::fromUtf8(exception.what());
}

} // namespace Tarvio
