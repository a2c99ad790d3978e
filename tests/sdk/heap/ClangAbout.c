/* An About library in plain C with no C runtime, as clang in MSVC mode
 * builds it: its dialog is the record it was given, written out, so that a
 * test sees every text and plug-in arrive whole. */
#include "qorb_about.h"

__declspec(dllimport) void* __stdcall GetStdHandle(unsigned long which);
__declspec(dllimport) int __stdcall WriteFile(void* file, const void* data, unsigned long size, unsigned long* written,
                                              void* overlapped);

static char line[512];
static unsigned long used;

static void put_text(const char* text) {
  while (*text && used < sizeof line - 1) line[used++] = *text++;
}

/* UTF-16 as the test reads it: ASCII kept, anything else a '?'. */
static void put_utf16(const uint16_t* text) {
  while (text && *text && used < sizeof line - 1) line[used++] = *text < 128 ? (char)*text++ : (++text, '?');
}

static void put_number(int32_t n) {
  char digits[12];
  int count = 0;
  if (n < 0) n = 0;
  do digits[count++] = (char)('0' + n % 10); while ((n /= 10) != 0 && count < 11);
  while (count && used < sizeof line - 1) line[used++] = digits[--count];
}

__declspec(dllexport) int32_t ShowQorbAboutDialog(void* parent, const QorbAboutInfo* info) {
  (void)parent;
  if (!info || info->StructSize != (int32_t)sizeof *info) return 0;
  used = 0;
  put_text("About dialog of clang: ");
  put_utf16(info->ProductName);
  put_text(" ");
  put_utf16(info->Version);
  put_text(", ");
  put_number(info->PluginCount);
  put_text(" plug-ins:");
  for (int32_t i = 0; i < info->PluginCount; ++i) {
    put_text(" ");
    put_utf16(info->Plugins[i].PluginName);
  }
  put_text("\n");
  unsigned long written = 0;
  WriteFile(GetStdHandle((unsigned long)-12), line, used, &written, 0);
  return 1;
}
