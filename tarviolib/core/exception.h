#pragma once

#include "tarviolib/core/narrowstring.h"
#include "tarviolib/core/object.h"
#include "tarviolib/core/string.h"

#include <exception>

namespace Tarvio {

// The one exception type the program's own code throws; the message is kept in UTF-8.
class Exception : public std::exception, public Polymorphic {
public:
    explicit Exception(const String& message);

    // The message's bytes; an empty text for an empty message.
    const char* what() const noexcept override;

private:
    NarrowString mMessage;
};

[[noreturn]] void throwException(const String& message);

// The text of any caught exception: its what() decoded from UTF-8.
String exceptionMessage(const std::exception& exception);

} // namespace Tarvio
