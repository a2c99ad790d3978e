#include "vcl/PngDecode.h"

#include <wincodec.h>

#include <cstdio>
#include <new>

#include "vcl/windows/ComUse.h"
#include "vcl/windows/PngLayout.h"

namespace {

PngDecodeResult Fail(std::string what) {
  PngDecodeResult r;
  r.error = std::move(what);
  return r;
}

PngDecodeResult Fail(const char* step, HRESULT hr) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
  return Fail(std::string(step) + ": WIC error " + code);
}

}  // namespace

PngDecodeResult DecodePng(const void* data, size_t size, const PngDecodeOptions& options) {
  if (data == nullptr || size == 0) return Fail("no PNG data");
  // WIC checks every sum; there is no asking it not to.
  const auto* bytes = static_cast<const uint8_t*>(data);
  const PngLayout layout = ReadPngLayout(bytes, size);
  if (!layout.error.empty()) return Fail(layout.error);
  if (uint64_t{layout.width} * layout.height > options.maxPixels) return Fail("image too large");
  if (size > UINT32_MAX) return Fail("image too large");

  const TComApartment apartment;
  ComOwner<IWICImagingFactory> factory;
  HRESULT hr = ::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  Out(factory));
  if (FAILED(hr)) return Fail("imaging factory", hr);
  ComOwner<IWICStream> stream;
  if (FAILED(hr = factory->CreateStream(Out(stream)))) return Fail("reading", hr);
  if (FAILED(hr = stream->InitializeFromMemory(const_cast<BYTE*>(bytes), static_cast<DWORD>(size))))
    return Fail("reading", hr);
  ComOwner<IWICBitmapDecoder> decoder;
  if (FAILED(hr = factory->CreateDecoder(GUID_ContainerFormatPng, nullptr, Out(decoder)))) return Fail("reading", hr);
  if (FAILED(hr = decoder->Initialize(stream.get(), WICDecodeMetadataCacheOnDemand))) return Fail("header", hr);
  ComOwner<IWICBitmapFrameDecode> frame;
  if (FAILED(hr = decoder->GetFrame(0, Out(frame)))) return Fail("header", hr);
  UINT width = 0, height = 0;
  if (FAILED(hr = frame->GetSize(&width, &height))) return Fail("header", hr);
  if (width != layout.width || height != layout.height) return Fail("header: sizes disagree");
  ComOwner<IWICFormatConverter> converter;
  if (FAILED(hr = factory->CreateFormatConverter(Out(converter)))) return Fail("decoding", hr);
  if (FAILED(hr = converter->Initialize(frame.get(), GUID_WICPixelFormat32bppRGBA, WICBitmapDitherTypeNone, nullptr,
                                        0.0, WICBitmapPaletteTypeCustom)))
    return Fail("decoding", hr);

  PngDecodeResult result;
  PngPixels& px = result.pixels;
  px.width = width;
  px.height = height;
  px.hasAlpha = layout.hasAlpha;
  if (px.ByteCount() > UINT32_MAX) return Fail("image too large");
  try {
    px.rgba = std::make_unique_for_overwrite<uint8_t[]>(px.ByteCount());
  } catch (const std::bad_alloc&) {
    return Fail("out of memory");
  }
  if (FAILED(hr = converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(px.ByteCount()), px.rgba.get())))
    return Fail("decoding", hr);
  return result;
}
