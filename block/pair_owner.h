// Which host record drives the card. The tasks are module-wide, so two
// twinvolts blocks in one model would otherwise both write to the same two
// outputs at every step. The record whose complete set-up opened the pair
// owns it; every other record's outputs and end leave the card alone.
#pragma once

#include <cstddef>

#include "gateway/sfcn_record.h"

namespace twinvolts {

struct PairOwner {
  // Null until the first complete set-up since load. Kept past its end, so
  // that another block's end after it still finds the pair not its own.
  const SFcnRecord* record;
  // A copy of the owner's path: a record the host has let go of is never
  // read again. A longer path is cut.
  char blockPath[512];
  // Records already told that they write nothing, since the owner's set-up.
  // Past its capacity, further blocks are not told.
  const SFcnRecord* told[16];
  size_t toldCount;
};
extern PairOwner pairOwner;

// At a complete set-up: the record now owns the pair, and the run begins in
// which each other block is told once.
void takeOverPair(const SFcnRecord* record);

// A method compares its record with pairOwner.record first, so that for the
// owner a step costs one comparison; the two below are for the others.

// For a record other than the owner: true when another record's set-up
// opened the pair. Before any complete set-up nobody owns it, and every
// record reaches the driver as it always has.
[[gnu::cold, gnu::noinline]] bool ownedByAnother();

// For a record other than the owner, at a step: as ownedByAnother, and then
// the first time in a run warns the record's block that it writes nothing,
// naming the block that drives the card.
[[gnu::cold, gnu::noinline]] bool writesNothing(SFcnRecord* record);

}  // namespace twinvolts
