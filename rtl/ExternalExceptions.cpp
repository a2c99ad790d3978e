#include "rtl/ExternalExceptions.h"

#include <csignal>
#include <cstdio>

EForeignException::EForeignException(UnicodeString className, UnicodeString message)
    : Exception(std::move(message)), className_(std::move(className)) {}

namespace {

// Addresses as the 64-bit runtime prints them: sixteen upper-case digits.
std::u16string Address(uintptr_t a) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llX", static_cast<unsigned long long>(a));
  return Utf8ToUtf16(text);
}

const char16_t* AccessVerb(TFaultRecord::TAccess access) {
  switch (access) {
    case TFaultRecord::TAccess::Write:
      return u"Write";
    case TFaultRecord::TAccess::Execute:
      return u"Execute";
    case TFaultRecord::TAccess::Read:
      break;
  }
  return u"Read";
}

UnicodeString AccessViolationText(const TFaultRecord& f, const TFaultModule& module) {
  std::u16string s = u"Access violation at address " + Address(f.Pc);
  if (!module.Name.IsEmpty()) s += u" in module '" + std::u16string(module.Name.view()) + u"'";
  if (module.Unloaded) s += u", unloaded";
  s += u". ";
  s += AccessVerb(f.Access);
  s += u" of address " + Address(f.Address);
  return UnicodeString(s);
}

using TKind = TFaultKind;

}  // namespace

TFaultKind FaultKindOf(const TFaultRecord& f) noexcept {
  if (f.Breakpoint) return TKind::Breakpoint;
  if (f.StackOverflow) return TKind::StackOverflow;
  switch (f.Float) {
    case TFaultRecord::TFloat::InvalidOp:
      return TKind::InvalidOp;
    case TFaultRecord::TFloat::ZeroDivide:
      return TKind::ZeroDivide;
    case TFaultRecord::TFloat::Overflow:
      return TKind::Overflow;
    case TFaultRecord::TFloat::Underflow:
      return TKind::Underflow;
    case TFaultRecord::TFloat::None:
      break;
  }
  if (f.PrivilegedInstruction || f.Signal == SIGILL) return TKind::Privilege;
  if (f.Signal == SIGFPE) return f.IntegerOverflow ? TKind::IntOverflow : TKind::DivByZero;
  return TKind::AccessViolation;
}

UnicodeString FaultMessage(const TFaultRecord& Fault, const TFaultModule& Module) {
  switch (FaultKindOf(Fault)) {
    case TKind::StackOverflow:
      return UnicodeString(u"Stack overflow");
    case TKind::Privilege:
      return UnicodeString(u"Privileged instruction");
    case TKind::DivByZero:
      return UnicodeString(u"Division by zero");
    case TKind::IntOverflow:
      return UnicodeString(u"Integer overflow");
    case TKind::InvalidOp:
      return UnicodeString(u"Invalid floating point operation");
    case TKind::ZeroDivide:
      return UnicodeString(u"Floating point division by zero");
    case TKind::Overflow:
      return UnicodeString(u"Floating point overflow");
    case TKind::Underflow:
      return UnicodeString(u"Floating point underflow");
    case TKind::Breakpoint:
      return UnicodeString(u"Breakpoint");
    case TKind::AccessViolation:
      break;
  }
  return AccessViolationText(Fault, Module);
}

std::exception_ptr FaultException(const TFaultRecord& Fault, const TFaultModule& Module) {
  UnicodeString text = FaultMessage(Fault, Module);
  switch (FaultKindOf(Fault)) {
    case TKind::StackOverflow:
      return std::make_exception_ptr(EStackOverflow(std::move(text)));
    case TKind::Privilege:
      return std::make_exception_ptr(EPrivilege(std::move(text)));
    case TKind::DivByZero:
      return std::make_exception_ptr(EDivByZero(std::move(text)));
    case TKind::IntOverflow:
      return std::make_exception_ptr(EIntOverflow(std::move(text)));
    case TKind::InvalidOp:
      return std::make_exception_ptr(EInvalidOp(std::move(text)));
    case TKind::ZeroDivide:
      return std::make_exception_ptr(EZeroDivide(std::move(text)));
    case TKind::Overflow:
      return std::make_exception_ptr(EOverflow(std::move(text)));
    case TKind::Underflow:
      return std::make_exception_ptr(EUnderflow(std::move(text)));
    case TKind::Breakpoint:
      return std::make_exception_ptr(EExternal(std::move(text)));
    case TKind::AccessViolation:
      break;
  }
  return std::make_exception_ptr(EAccessViolation(std::move(text)));
}
