// What the program knows about the machine: the Windows version and
// edition, 64-bit Windows, and the names of the user, owner, organisation,
// computer and domain. Version facts are read once and kept.
#pragma once

#include <cstdint>
#include <string>

#include "core/Win64/os_identity.h"

namespace kestro {

// The system's version record, corrected by kernel32's product version when
// the system reports above 6.2 (see core/Win64/os_identity.h).
OSVersionRecord GetOSVersionInfo();

bool IsNT();
bool IsXP();
bool IsWin8OrLater();
bool IsServerOS();
// A 32-bit process on 64-bit Windows, with the redirection calls at hand (or
// a 64-bit build of the program).
bool Is64BitWindows();

OSName GetOSName();
uint32_t GetOSBit();

// Empty when the system gives nothing (the owner falls back to the user).
std::string GetLoggedUserName();
std::string GetComputerNameText();
std::string GetRegisteredOwner();
std::string GetRegisteredOrganization();
std::string GetCurrentDomainName();

}  // namespace kestro
