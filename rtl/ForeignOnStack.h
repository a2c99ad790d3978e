#pragma once
// Whether code of a plug-in may be on this thread's stack now, for whoever
// must look at the stack to know who made something: inside a call into
// code that is not ours (or our code called back from one), or on any
// thread but the program's main thread, which runs foreign code only
// through such calls.
bool ForeignCodeMayBeOnStack() noexcept;
