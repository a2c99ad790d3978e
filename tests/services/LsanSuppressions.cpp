// fontconfig keeps its configuration and patterns behind encoded offsets
// that LeakSanitizer cannot follow, so its process-wide caches look leaked.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
