#pragma once

#include <windows.h>

namespace zelvo::files {

// Whether the access list of the open file lets anyone but the current user, the administrators
// and the system read it, as the list that a shared folder passes on to a new file does; also
// when the list cannot be read. The handle needs READ_CONTROL, which reading access includes.
bool othersMayRead(HANDLE file);

}  // namespace zelvo::files
