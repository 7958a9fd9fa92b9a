#pragma once

namespace Tarvio::WinApi {

// Tells the shell that file associations have changed, so that it picks up new ones.
void notifyFileAssociationsChanged();

} // namespace Tarvio::WinApi
