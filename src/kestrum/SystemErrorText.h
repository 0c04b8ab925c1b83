// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The system's reason for a failed call on a device or a socket, in Russian: the failures a
// technician meets (no access, no device, nobody listening, a cable pulled) with the advice that
// mends them, the rarer ones plainly, and any other by its number and symbolic name, never in
// the system's English.
QString SystemErrorText(int error);

// The same for a failed address look-up (a getaddrinfo result other than 0); EAI_SYSTEM takes
// its reason from errno.
QString ResolverErrorText(int result);
