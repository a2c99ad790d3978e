#pragma once
// The runtime's exceptions for processor faults, raised where foreign code
// faulted, as the platform's runtime does.
#include <cstdint>
#include <exception>

#include "rtl/Exception.h"

class EExternal : public Exception {
 public:
  using Exception::Exception;
};
class EAccessViolation : public EExternal {
 public:
  using EExternal::EExternal;
};
class EDivByZero : public EExternal {
 public:
  using EExternal::EExternal;
};
class EIntOverflow : public EExternal {
 public:
  using EExternal::EExternal;
};
class EPrivilege : public EExternal {
 public:
  using EExternal::EExternal;
};
class EStackOverflow : public EExternal {
 public:
  using EExternal::EExternal;
};
// Floating-point exceptions a thread unmasked.
class EMathError : public EExternal {
 public:
  using EExternal::EExternal;
};
class EInvalidOp : public EMathError {
 public:
  using EMathError::EMathError;
};
class EZeroDivide : public EMathError {
 public:
  using EMathError::EMathError;
};
class EOverflow : public EMathError {
 public:
  using EMathError::EMathError;
};
class EUnderflow : public EMathError {
 public:
  using EMathError::EMathError;
};

// An exception that left foreign code, copied (class name and message) so
// that it outlives the library whose code raised it.
class EForeignException : public Exception {
 public:
  EForeignException(UnicodeString className, UnicodeString message);
  const char16_t* ClassNamePtr() const override { return className_.c_str(); }

 private:
  UnicodeString className_;
};

// What the processor reported, as the signal handler saw it.
struct TFaultRecord {
  int Signal = 0;
  int Code = 0;  // si_code, or the exception code on Windows
  uintptr_t Pc = 0;
  uintptr_t Address = 0;  // the data address, for access faults
  uintptr_t Sp = 0;  // the stack pointer at the fault
  // The stack pointer lay outside the thread's stack and not just below it
  // (an overflow): garbage, or a stack a plug-in made of its own. Reports
  // do not walk frames from there.
  bool StackLost = false;
  enum class TAccess : uint8_t { Read, Write, Execute } Access = TAccess::Read;
  bool StackOverflow = false;
  bool PrivilegedInstruction = false;
  bool IntegerOverflow = false;  // an arithmetic fault that is not a division
  // A floating-point exception the thread had unmasked.
  enum class TFloat : uint8_t { None, InvalidOp, ZeroDivide, Overflow, Underflow } Float = TFloat::None;
  // A breakpoint instruction: reported, never made an exception.
  bool Breakpoint = false;
  // Sent by kill, raise or tgkill, not raised by an instruction: no
  // address is known, the sender is.
  bool Sent = false;
  int SenderPid = 0;
  // Inside the C library or the loader, which may hold a lock of theirs:
  // the innermost such frame, and the foreign frame that called into them
  // (0 when not found).
  bool InSystemCode = false;
  uintptr_t SystemPc = 0;
  uintptr_t SystemCaller = 0;
};

// The text the runtime gives a fault ("Access violation at address
// 00007F3A12345678 in module 'Faulty.dll'. Read of address 0000000000000000");
// Which of the runtime's exceptions a fault is; pure, so a signal handler
// may ask too.
enum class TFaultKind {
  AccessViolation,
  DivByZero,
  IntOverflow,
  Privilege,
  StackOverflow,
  InvalidOp,
  ZeroDivide,
  Overflow,
  Underflow,
  Breakpoint
};
TFaultKind FaultKindOf(const TFaultRecord& Fault) noexcept;

// Module is the file name of the code that faulted, empty when unknown;
// Unloaded says that library is gone ("in module 'x.dll', unloaded").
struct TFaultModule {
  UnicodeString Name;
  bool Unloaded = false;
};
UnicodeString FaultMessage(const TFaultRecord& Fault, const TFaultModule& Module);

// The exception the runtime raises for the fault.
std::exception_ptr FaultException(const TFaultRecord& Fault, const TFaultModule& Module);
