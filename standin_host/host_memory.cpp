#include "standin_host/host_memory.h"

#include <stdint.h>

#include <cstdlib>
#include <string>
#include <unordered_map>

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

struct Block {
  size_t bytes;
  int scope;
  bool isArray;
};

// Frees what is still held when the process ends, as a host does on exit,
// so leak checkers see only the module's own leaks.
class Register {
 public:
  ~Register() {
    releaseWhere([](const Block&) { return true; });
  }

  void* allocate(size_t bytes, bool isArray, int scope) {
    // Exact size, so a checker sees a read past the end.
    void* block = std::calloc(1, bytes == 0 ? 1 : bytes);
    if (block == nullptr) return nullptr;
    blocks_[block] = Block{bytes, scope, isArray};
    bytesHeld_ += bytes;
    return block;
  }

  bool release(void* block) {
    auto found = blocks_.find(block);
    if (found == blocks_.end()) return false;
    bytesHeld_ -= found->second.bytes;
    blocks_.erase(found);
    std::free(block);
    return true;
  }

  template <typename Predicate>
  void releaseWhere(Predicate matches) {
    for (auto it = blocks_.begin(); it != blocks_.end();) {
      if (matches(it->second)) {
        bytesHeld_ -= it->second.bytes;
        std::free(it->first);
        it = blocks_.erase(it);
      } else {
        ++it;
      }
    }
  }

  Block* find(const void* block) {
    auto found = blocks_.find(const_cast<void*>(block));
    return found == blocks_.end() ? nullptr : &found->second;
  }

  size_t bytesHeld() const { return bytesHeld_; }

 private:
  std::unordered_map<void*, Block> blocks_;
  size_t bytesHeld_ = 0;
};

Register& hostRegister() {
  static Register instance;
  return instance;
}

void releaseScope(int scope) {
  hostRegister().releaseWhere([scope](const Block& block) { return block.scope == scope; });
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
  if (found != nullptr && found->scope == innermostScope()) found->scope = kHostScope;
}

void standinReclaimInnermostScope(void) {
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
