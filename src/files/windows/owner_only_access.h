#pragma once

#include <windows.h>

namespace zelvo::files {

// Whether path lies inside the current user's profile folder, whose access list already keeps
// other users out of the files created in it.
bool insideUserProfile(const wchar_t* path);

// Creates a new file at path for writing (it must not exist yet). With ownerOnly its access list
// holds one entry, full control for the current user, in place of what the folder passes on:
// the settings file holds a password, and a shared folder would let others read it. Returns
// INVALID_HANDLE_VALUE on failure, with GetLastError() telling why.
HANDLE createNewFile(const wchar_t* path, bool ownerOnly);

// Whether the file at path is owned by the current user, the administrators or the system:
// nobody else can have put it there.
bool ownedByUserOrAdministrators(const wchar_t* path);
// The same for an opened file.
bool handleOwnedByUserOrAdministrators(HANDLE file);

}  // namespace zelvo::files
