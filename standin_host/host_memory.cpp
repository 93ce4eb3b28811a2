#include "standin_host/host_memory.h"

#include <stdint.h>

#include <cstdlib>
#include <iterator>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/mx_array.h"
#include "standin_host/breach_log.h"
#include "standin_host/call_scope.h"
#include "standin_host/host_calls.h"

namespace {

// Owner of a block: 0 the host side, 1 loose module allocations made outside
// any call, 1 + d the call at depth d.
constexpr int kHostScope = 0;
constexpr int kLooseScope = 1;

int innermostScope() {
  return kLooseScope + standinCallDepth();
}

// Blocks owned by calls in progress: the end of a call that allocated
// nothing, as most do, needs no more than a look here.
size_t blocksInCalls = 0;

struct Block {
  size_t bytes;
  int scope;
  bool isArray;
};

// Frees what is still held when the process ends, as a host does on exit,
// so leak checkers see only the module's own leaks.
//
// The host touches the same few arrays at every step (the flag above all), so
// the last block found is remembered, and a scope that holds nothing is not
// scanned at the end of a call: a method call then costs the host little more
// than a real host's field reads.
class Register {
 public:
  ~Register() {
    releaseWhere([](const Block&) { return true; });
  }

  void* allocate(size_t bytes, bool isArray, int scope) {
    // Exact size, so a checker sees a read past the end; none at all for 0
    // bytes where the C library gives such a block an address of its own.
    void* block = std::calloc(1, bytes);
    if (block == nullptr && bytes == 0) block = std::calloc(1, 1);
    if (block == nullptr) return nullptr;
    blocks_[block] = Block{bytes, scope, isArray};
    ++countOf(scope);
    if (scope > kLooseScope) ++blocksInCalls;
    bytesHeld_ += bytes;
    return block;
  }

  bool release(void* block) {
    auto found = blocks_.find(block);
    if (found == blocks_.end()) return false;
    erase(found);
    return true;
  }

  template <typename Predicate>
  void releaseWhere(Predicate matches) {
    for (auto it = blocks_.begin(); it != blocks_.end();) {
      it = matches(it->second) ? erase(it) : std::next(it);
    }
  }

  void releaseScope(int scope) {
    if (static_cast<size_t>(scope) >= scopeCounts_.size() || scopeCounts_[scope] == 0) return;
    releaseWhere([scope](const Block& block) { return block.scope == scope; });
  }

  Block* find(const void* block) {
    if (block != nullptr && block == lastKey_) return lastBlock_;
    auto found = blocks_.find(const_cast<void*>(block));
    if (found == blocks_.end()) return nullptr;
    lastKey_ = found->first;
    lastBlock_ = &found->second;
    return lastBlock_;
  }

  void moveToScope(Block* block, int scope) {
    --countOf(block->scope);
    ++countOf(scope);
    if (block->scope > kLooseScope) --blocksInCalls;
    if (scope > kLooseScope) ++blocksInCalls;
    block->scope = scope;
  }

  size_t bytesHeld() const { return bytesHeld_; }

 private:
  using Blocks = std::unordered_map<void*, Block>;

  Blocks::iterator erase(Blocks::iterator it) {
    if (it->first == lastKey_) lastKey_ = nullptr;
    bytesHeld_ -= it->second.bytes;
    --countOf(it->second.scope);
    if (it->second.scope > kLooseScope) --blocksInCalls;
    std::free(it->first);
    return blocks_.erase(it);
  }

  // Blocks held per scope, indexed by scope: the end of every call looks here.
  size_t& countOf(int scope) {
    if (static_cast<size_t>(scope) >= scopeCounts_.size())
      scopeCounts_.resize(static_cast<size_t>(scope) + 1);
    return scopeCounts_[scope];
  }

  Blocks blocks_;
  std::vector<size_t> scopeCounts_;
  size_t bytesHeld_ = 0;
  const void* lastKey_ = nullptr;
  Block* lastBlock_ = nullptr;
};

Register& hostRegister() {
  static Register instance;
  return instance;
}

void releaseScope(int scope) {
  hostRegister().releaseScope(scope);
}

}  // namespace

void* standinHostAllocate(size_t bytes, bool isArray, bool madeByHost) {
  int scope = madeByHost && standinCallDepth() == 0 ? kHostScope : innermostScope();
  return hostRegister().allocate(bytes, isArray, scope);
}

bool standinHostRelease(void* block) {
  return hostRegister().release(block);
}

bool standinIsHostArray(const void* block) {
  const Block* found = hostRegister().find(block);
  return found != nullptr && found->isArray;
}

bool standinIsCallTemporary(const void* block) {
  const Block* found = hostRegister().find(block);
  return found != nullptr && standinCallDepth() > 0 && found->scope == innermostScope();
}

void standinHandOverToCaller(void* block) {
  Block* found = hostRegister().find(block);
  if (found != nullptr && found->scope == innermostScope())
    hostRegister().moveToScope(found, kHostScope);
}

void standinReclaimInnermostScope(void) {
  if (blocksInCalls == 0) return;
  releaseScope(innermostScope());
}

void standinReleaseAllHostMemory(void) {
  hostRegister().releaseWhere([](const Block&) { return true; });
}

void standinReclaimCallMemory(void) {
  releaseScope(kLooseScope);
}

size_t standinBytesHeld(void) {
  return hostRegister().bytesHeld();
}

void* HOST_CALL mxCalloc(size_t n, size_t size) {
  const char* problem = nullptr;
  void* block = nullptr;
  if (size != 0 && n > SIZE_MAX / size) {
    problem = "more than the address space holds";
  } else {
    block = standinHostAllocate(n * size, false, false);
    if (block == nullptr) problem = "out of memory";
  }
  if (problem == nullptr) return block;
  // A real host ends the call when it cannot allocate; so does this one. The
  // text is static: the jump out of this frame must skip no destructor.
  static std::string text;
  text = "mxCalloc(" + std::to_string(n) + ", " + std::to_string(size) + "): " + problem;
  standinFailCall(text.c_str());
  return nullptr;
}
