#pragma once
// Internal to the runtime: the foreign calls in progress on each thread,
// shared by CallForeign and the fault handler.
#include <csetjmp>

#include "rtl/ExternalExceptions.h"
#include "rtl/ForeignCall.h"

namespace qorb::rtl {

struct TContainment {
  sigjmp_buf Jump;
  TFaultRecord Fault;  // written by the handler before it jumps
};

// Whether this thread has its alternate stack and the handler is installed.
extern constinit thread_local bool ThreadReady __attribute__((tls_model("initial-exec")));
void MakeThreadReady();

}  // namespace qorb::rtl
