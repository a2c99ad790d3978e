// The welcome page for 200 plug-ins (building the frame, drawing all its
// rows) and the reduction of the 96 by 96 suite logo to 24 by 24.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "presentation/Qorb.Main.Branding.h"
#include "presentation/Qorb.Main.WelcomePage.View.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/PngImage.h"

namespace {

constexpr int kPlugins = 200;

std::unique_ptr<TBitmap> Icon() {
  auto icon = std::make_unique<TBitmap>();
  icon->SetPixelFormat(pf32bit);
  icon->SetSize(32, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      uint8_t* p = icon->ScanLine(y) + 4 * x;
      p[0] = static_cast<uint8_t>(8 * x);
      p[1] = static_cast<uint8_t>(8 * y);
      p[2] = 200;
      p[3] = static_cast<uint8_t>((x + y) % 2 ? 255 : 128);
    }
  icon->SetAlphaFormat(afDefined);
  return icon;
}

// 200 rows that share one icon, as the provider hands them out.
struct TRows {
  std::unique_ptr<TBitmap> icon = Icon();
  TRows() {
    SetWelcomePagePluginsProvider(MakeWelcomePagePluginsProvider([this] {
      DynArray<TQorbWelcomePagePlugin> rows;
      rows.SetLength(kPlugins);
      for (int i = 0; i < kPlugins; ++i) {
        rows[i].Name = UnicodeString::FromUtf8("Plug-in number " + std::to_string(i));
        rows[i].Version = UnicodeString::FromUtf8("1." + std::to_string(i) + ".0.0");
        if (i % 10 == 0) rows[i].UpdateVersion = u"2.0.0";
        rows[i].Graphic = icon.get();
      }
      return rows;
    }));
  }
  ~TRows() { SetWelcomePagePluginsProvider(nullptr); }
};

void BM_BuildWelcomePage200(benchmark::State& state) {
  TRows rows;
  for (auto _ : state) {
    TQorbWelcomePageFrame frame(nullptr);
    benchmark::DoNotOptimize(frame.lbPlugins->Count());
  }
}
BENCHMARK(BM_BuildWelcomePage200)->Unit(benchmark::kMillisecond);

void BM_DrawWelcomePage200Rows(benchmark::State& state) {
  TRows rows;
  TQorbWelcomePageFrame frame(nullptr);
  frame.SetHeight(kPlugins * 44 + 20);
  TBitmap target;
  target.SetPixelFormat(pf24bit);
  target.SetSize(frame.lbPlugins->Width(), frame.lbPlugins->Height());
  TCanvas canvas(target);
  for (auto _ : state) frame.lbPlugins->PaintTo(canvas, 0, 0);
  state.SetItemsProcessed(state.iterations() * kPlugins);
}
BENCHMARK(BM_DrawWelcomePage200Rows)->Unit(benchmark::kMillisecond);

void BM_ReduceLogo(benchmark::State& state) {
  TPngImage png;
  png.LoadFromFile(UnicodeString(QORB_SUITE_LOGO));
  TBitmap logo;
  logo.Assign(png);
  TBitmap reduced;
  reduced.SetPixelFormat(pf24bit);
  reduced.SetSize(24, 24);
  for (auto _ : state) {
    ReduceLogo(logo, reduced, clFuchsia);
    benchmark::DoNotOptimize(reduced.ScanLine(0)[0]);
  }
}
BENCHMARK(BM_ReduceLogo)->Unit(benchmark::kMicrosecond);

}  // namespace
