#pragma once

namespace Tarvio::WinApi {

// The calling thread's token is a member of the built-in Administrators group; under User Account
// Control that holds only for an elevated process.
bool isUserAdmin();

// The process token is split (full or limited), so the user can elevate.
bool isUacEnabled();

} // namespace Tarvio::WinApi
