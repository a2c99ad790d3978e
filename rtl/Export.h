#pragma once
// Marks what a library built from our sources exports by name: visible on
// ELF where everything else is hidden, in the export table on Windows.
#if defined(_WIN32)
#define QORB_DLL_EXPORT __declspec(dllexport)
#else
#define QORB_DLL_EXPORT __attribute__((visibility("default")))
#endif

// Marks what a library of ours that is linked against (not loaded by name)
// offers: visible on ELF to libraries built with hidden visibility; on
// Windows such a library exports everything already.
#if defined(_WIN32)
#define QORB_SHARED_API
#else
#define QORB_SHARED_API __attribute__((visibility("default")))
#endif
