// One way to start from a clean slate, for every test and fuzz input that
// plays the host: a host that holds nothing and a card just powered up.
#pragma once

namespace fresh {

// Forgets every array, allocation and log of the stand-in host (host records
// excepted) and gives a fresh card, its call log off.
void resetHostAndCard();

// Sets the module's device state back to the zeros of a just-loaded module.
// Only for programs linked with the module's objects.
void resetModuleState();

}  // namespace fresh
