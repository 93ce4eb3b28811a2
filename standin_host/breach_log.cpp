#include "standin_host/breach_log.h"

#include <cstdio>
#include <deque>
#include <string>

#include "standin_host/host_calls.h"

namespace {

bool echo = false;

// A deque keeps every text where it is, so handed-out pointers stay valid.
std::deque<std::string>& breaches() {
  static std::deque<std::string> log;
  return log;
}

}  // namespace

void standinRecordBreach(const char* text) {
  breaches().emplace_back(text != nullptr ? text : "");
  if (echo) std::fprintf(stderr, "Host: %s\n", breaches().back().c_str());
}

void standinForgetBreaches(void) {
  breaches().clear();
}

bool standinEchoOn(void) {
  return echo;
}

void standinSetEcho(bool on) {
  echo = on;
}

size_t standinBreachCount(void) {
  return breaches().size();
}

const char* standinBreach(size_t index) {
  return index < breaches().size() ? breaches()[index].c_str() : nullptr;
}
