#pragma once

#include <QString>

// The system's reason for a failed call on a device or a socket, in Russian for the failures a
// technician meets (no access, no device, nobody listening, a cable pulled), with the advice
// that mends them; the system's own text otherwise.
QString SystemErrorText(int error);
