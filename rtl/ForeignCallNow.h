#pragma once
// The foreign call the calling thread is inside now, for reports made on
// that thread (a signal handler may ask: the answer is async-signal-safe).
#include "rtl/ForeignCall.h"

// The innermost call into foreign code in progress on this thread; null
// when the thread runs only our code.
const TForeignCall* InnermostForeignCall() noexcept;
