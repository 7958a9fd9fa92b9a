#pragma once

#include "tarviodeploy/shared/component.h"

namespace Tarvio {

// The material library, the one component of "Additional Content". Its files come with the
// additional installer data "MaterialLibrary", whose ETag on the server is the library's version:
// the flow installs it again only when the server holds another one.
class MaterialLibraryComponent : public Component {
public:
    // Selected, into the product folder's "materials".
    MaterialLibraryComponent();

    String name() const override;
    String id() const override;
    // The server's version; an empty one (always reinstalled) when it cannot be had.
    Optional<String> version(IInstallContext& context) const override;
    // The data is fetched before the previous library is removed: a library that cannot be had
    // leaves the installed one in place.
    bool prepareInstall(IInstallContext& context) override;
    // The payload's "materials", which prepareInstall has made available.
    void install(IInstallContext& context) override;
    // Fetches the data, then installs as install does.
    void unpack(IInstallContext& context) override;
};

} // namespace Tarvio
