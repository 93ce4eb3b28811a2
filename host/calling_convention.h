/* Calling conventions at the module's boundaries.
 *
 * Everything the host exchanges with the module (mexFunction, the array and
 * MEX functions, the record's method slots and hooks) uses the C convention.
 * The card's driver library uses stdcall on 32-bit Windows, where its
 * functions are imported by their undecorated names. */
#pragma once

#if defined(_WIN32) && !defined(_WIN64)
#define DRIVER_CALL __stdcall
#define HOST_CALL __cdecl
#else
#define DRIVER_CALL
#define HOST_CALL
#endif
