// The .res reader on arbitrary bytes: every entry it accepts lies within
// the image, and lookups by ordinal and by name stay inside it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "winapi/ResImage.h"

using qorb::winapi::ResId;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto image = qorb::winapi::ResImage::Parse({data, size});
  if (!image) return 0;
  for (const auto& e : image->Entries()) {
    if (e.offset > size || e.size > size - e.offset) std::abort();
    if (e.size > 0) {
      // ASan checks both ends of what a caller would read.
      volatile uint8_t sink = image->Data(e)[0];
      sink = image->Data(e)[e.size - 1];
      (void)sink;
    }
  }
  DWORD error = 0;
  for (const ResId& type : {ResId::Ordinal(10), ResId::Ordinal(16), ResId::Text(u"CUSTOM")}) {
    for (const ResId& name : {ResId::Ordinal(1), ResId::Text(u"QORBPLUGINICON"), ResId::Text(u"de.title")}) {
      const auto* e = image->Find(type, name, error);
      if (e && image->EntryOf(image->Handle(*e)) != e) std::abort();
    }
  }
  return 0;
}
