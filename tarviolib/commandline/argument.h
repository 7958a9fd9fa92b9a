#pragma once

#include "tarviolib/core/array.h"
#include "tarviolib/core/object.h"
#include "tarviolib/core/string.h"

#include <iosfwd>

namespace Tarvio::CommandLine {

class SubArgument;

// One option of the command line, selected by its short or its long name.
class Argument : public Polymorphic {
public:
    Argument(const String& shortName, const String& longName);

    const String& shortName() const { return mShortName; }
    const String& longName() const { return mLongName; }
    bool present() const { return mPresent; }

    // Parts of this option's token ("-name:part") go to the first sub-argument of the part's key.
    void addSubArgument(SubArgument* subArgument) { mSubArguments.append(subArgument); }

    // Takes the option named by tokens[index]; answers the index of the last token it used.
    virtual int32_t consume(const String* tokens, int32_t count, int32_t index) = 0;
    virtual void printDescription(std::ostream& stream) const;

protected:
    const Array<SubArgument*>& subArguments() const { return mSubArguments; }
    void setPresent() { mPresent = true; }

private:
    String mShortName;
    String mLongName;
    Array<SubArgument*> mSubArguments; // not owned
    bool mPresent = false;
};

} // namespace Tarvio::CommandLine
