#include "vcl/PngEncode.h"

#include <wincodec.h>

#include <cstdio>
#include <memory>

#include "vcl/windows/ComUse.h"

namespace {

PngEncodeResult Fail(const char* step, HRESULT hr = S_OK) {
  PngEncodeResult r;
  r.error = step;
  if (FAILED(hr)) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
    r.error += std::string(": WIC error ") + code;
  }
  return r;
}

}  // namespace

PngEncodeResult EncodePng(const PngPixels& pixels) {
  if (pixels.width == 0 || pixels.height == 0 || !pixels.rgba) return Fail("empty image");
  // WIC's PNG encoder takes blue first: 8-bit RGBA with alpha, RGB without.
  const size_t count = size_t{pixels.width} * pixels.height;
  const UINT step = pixels.hasAlpha ? 4 : 3;
  const UINT stride = (pixels.width * step + 3) & ~3u;
  if (uint64_t{stride} * pixels.height > UINT32_MAX || count > UINT32_MAX) return Fail("image too large");
  const size_t bufferBytes = size_t{stride} * pixels.height;
  auto buffer = std::make_unique<uint8_t[]>(bufferBytes);
  for (uint32_t y = 0; y < pixels.height; ++y) {
    const uint8_t* s = pixels.Row(y);
    uint8_t* d = buffer.get() + size_t{y} * stride;
    for (uint32_t x = 0; x < pixels.width; ++x, s += 4, d += step) {
      d[0] = s[2];
      d[1] = s[1];
      d[2] = s[0];
      if (pixels.hasAlpha) d[3] = s[3];
    }
  }

  const TComApartment apartment;
  ComOwner<IWICImagingFactory> factory;
  HRESULT hr = ::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  Out(factory));
  if (FAILED(hr)) return Fail("imaging factory", hr);
  ComOwner<IStream> stream;
  if (FAILED(hr = ::CreateStreamOnHGlobal(nullptr, TRUE, Out(stream)))) return Fail("stream", hr);
  ComOwner<IWICBitmapEncoder> encoder;
  if (FAILED(hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, Out(encoder)))) return Fail("encoder", hr);
  if (FAILED(hr = encoder->Initialize(stream.get(), WICBitmapEncoderNoCache))) return Fail("encoder", hr);
  ComOwner<IWICBitmapFrameEncode> frame;
  ComOwner<IPropertyBag2> properties;
  if (FAILED(hr = encoder->CreateNewFrame(Out(frame), Out(properties)))) return Fail("frame", hr);
  if (FAILED(hr = frame->Initialize(properties.get()))) return Fail("frame", hr);
  if (FAILED(hr = frame->SetSize(pixels.width, pixels.height))) return Fail("frame", hr);
  const WICPixelFormatGUID wanted = pixels.hasAlpha ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat24bppBGR;
  WICPixelFormatGUID format = wanted;
  if (FAILED(hr = frame->SetPixelFormat(&format))) return Fail("pixel format", hr);
  if (!IsEqualGUID(format, wanted)) return Fail("pixel format: not taken");
  if (FAILED(hr = frame->WritePixels(pixels.height, stride, static_cast<UINT>(bufferBytes), buffer.get())))
    return Fail("writing", hr);
  if (FAILED(hr = frame->Commit()) || FAILED(hr = encoder->Commit())) return Fail("writing", hr);

  STATSTG stat{};
  if (FAILED(hr = stream->Stat(&stat, STATFLAG_NONAME))) return Fail("stream", hr);
  if (stat.cbSize.QuadPart > UINT32_MAX) return Fail("image too large");
  PngEncodeResult result;
  result.bytes.resize(static_cast<size_t>(stat.cbSize.QuadPart));
  LARGE_INTEGER start{};
  ULONG read = 0;
  if (FAILED(hr = stream->Seek(start, STREAM_SEEK_SET, nullptr)) ||
      FAILED(hr = stream->Read(result.bytes.data(), static_cast<ULONG>(result.bytes.size()), &read)))
    return Fail("stream", hr);
  if (read != result.bytes.size()) return Fail("stream: short read");
  return result;
}
