#include <windows.h>

#include "rtl/ForeignFrames.h"
#include "rtl/windows/BoundaryHandler.h"

// The boundary is a frame of its own with a language handler, as a __try
// block is: a fault is offered to the handlers of the frames inside it
// first (the system's own included), and one that none of them takes is
// contained here, the platform unwinding the frames between. The frame's
// TForeignFrame lies at a fixed place above its shadow space, for the
// handler to find from the frame alone.
//
// A stack overflow leaves no stack to unwind on: the frame keeps the
// caller's callee-saved registers too, and QorbBoundaryResume, entered
// with the stack pointer the frame had, puts them back and returns 1.
__asm__(
    ".text\n"
    ".globl QorbBoundaryCall\n"
    ".def QorbBoundaryCall; .scl 2; .type 32; .endef\n"
    ".seh_proc QorbBoundaryCall\n"
    "QorbBoundaryCall:\n"
    "  subq $280, %rsp\n"
    "  .seh_stackalloc 280\n"
    "  .seh_endprologue\n"
    "  .seh_handler QorbBoundaryHandler, @except\n"
    "  movq %r8, 32(%rsp)\n"
    "  movq %rsp, (%r9)\n"
    "  movq %rbx, 40(%rsp)\n"
    "  movq %rbp, 48(%rsp)\n"
    "  movq %rdi, 56(%rsp)\n"
    "  movq %rsi, 64(%rsp)\n"
    "  movq %r12, 72(%rsp)\n"
    "  movq %r13, 80(%rsp)\n"
    "  movq %r14, 88(%rsp)\n"
    "  movq %r15, 96(%rsp)\n"
    "  movaps %xmm6, 112(%rsp)\n"
    "  movaps %xmm7, 128(%rsp)\n"
    "  movaps %xmm8, 144(%rsp)\n"
    "  movaps %xmm9, 160(%rsp)\n"
    "  movaps %xmm10, 176(%rsp)\n"
    "  movaps %xmm11, 192(%rsp)\n"
    "  movaps %xmm12, 208(%rsp)\n"
    "  movaps %xmm13, 224(%rsp)\n"
    "  movaps %xmm14, 240(%rsp)\n"
    "  movaps %xmm15, 256(%rsp)\n"
    "  movq %rcx, %rax\n"
    "  movq %rdx, %rcx\n"
    "  callq *%rax\n"
    "  xorl %eax, %eax\n"
    "  nop\n"
    ".globl QorbBoundaryLanding\n"
    "QorbBoundaryLanding:\n"
    "  addq $280, %rsp\n"
    "  ret\n"
    ".seh_endproc\n"
    ".globl QorbBoundaryResume\n"
    ".def QorbBoundaryResume; .scl 2; .type 32; .endef\n"
    "QorbBoundaryResume:\n"
    "  movq 40(%rsp), %rbx\n"
    "  movq 48(%rsp), %rbp\n"
    "  movq 56(%rsp), %rdi\n"
    "  movq 64(%rsp), %rsi\n"
    "  movq 72(%rsp), %r12\n"
    "  movq 80(%rsp), %r13\n"
    "  movq 88(%rsp), %r14\n"
    "  movq 96(%rsp), %r15\n"
    "  movaps 112(%rsp), %xmm6\n"
    "  movaps 128(%rsp), %xmm7\n"
    "  movaps 144(%rsp), %xmm8\n"
    "  movaps 160(%rsp), %xmm9\n"
    "  movaps 176(%rsp), %xmm10\n"
    "  movaps 192(%rsp), %xmm11\n"
    "  movaps 208(%rsp), %xmm12\n"
    "  movaps 224(%rsp), %xmm13\n"
    "  movaps 240(%rsp), %xmm14\n"
    "  movaps 256(%rsp), %xmm15\n"
    "  movl $1, %eax\n"
    "  addq $280, %rsp\n"
    "  ret\n");

// Runs Run(Context) on another stack; the frame register keeps the way
// back, for the unwinder too.
__asm__(
    ".text\n"
    ".globl QorbCallOnStack\n"
    ".def QorbCallOnStack; .scl 2; .type 32; .endef\n"
    ".seh_proc QorbCallOnStack\n"
    "QorbCallOnStack:\n"
    "  pushq %rbp\n"
    "  .seh_pushreg %rbp\n"
    "  movq %rsp, %rbp\n"
    "  .seh_setframe %rbp, 0\n"
    "  .seh_endprologue\n"
    "  movq %r8, %rsp\n"
    "  andq $-16, %rsp\n"
    "  subq $32, %rsp\n"
    "  movq %rcx, %rax\n"
    "  movq %rdx, %rcx\n"
    "  callq *%rax\n"
    "  movq %rbp, %rsp\n"
    "  popq %rbp\n"
    "  ret\n"
    ".seh_endproc\n");

// MinGW describes the vector registers a function that sets a jump saves
// at the wrong place in its unwind data: no jump here, the platform's
// unwinding instead.
qorb::rtl::TOutcome qorb::rtl::Enter(const TForeignCall& Call, void (*Run)(void*), void* Context,
                                     std::exception_ptr& Escaped, TFaultRoom& Fault) noexcept {
  TContainment containment;
  TForeignFrame frame = EnteringFrame(Call, containment);
  ForeignTop = &frame;
  TOutcome outcome = TOutcome::Returned;
  try {
    if (QorbBoundaryCall(Run, Context, &frame, &containment.Stack)) outcome = TOutcome::Faulted;
  } catch (...) {
    // Kept past the catch, so that the exception is described and
    // destroyed inside calls of their own.
    Escaped = std::current_exception();
    outcome = TOutcome::Raised;
  }
  return Leave(frame, outcome, Fault);
}
