#pragma once
// Thread-local variables a fault or signal handler reads: on ELF they sit at
// a fixed offset from the thread pointer and are never allocated on first
// use. Elsewhere (emulated TLS) the thread touches them before any fault
// can happen.
#if defined(__ELF__)
#define QORB_HANDLER_TLS __attribute__((tls_model("initial-exec")))
#else
#define QORB_HANDLER_TLS
#endif
