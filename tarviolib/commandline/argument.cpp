#include "tarviolib/commandline/argument.h"

namespace Tarvio::CommandLine {

Argument::Argument(const String& shortName, const String& longName)
    : mShortName(shortName), mLongName(longName) {}

void Argument::printDescription(std::ostream&) const {}

} // namespace Tarvio::CommandLine
