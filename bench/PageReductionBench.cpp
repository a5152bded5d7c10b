// Page reduction: a quote page of 200 KB and one of 10 MB reduced to text lines, as the provider-2 quote
// retrieval does with every page it downloads (goal: 50 MB/s or more). Run: build/bench/page_bench.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/BenchHome.h"
#include "library/VYK_Library.h"

namespace {

std::string g_download;

// A page much like a quote page: table rows, attributes, entities, a script, line ends inside runs.
std::string QuotePage(size_t size) {
  const std::string block =
      "<tr class=\"row\"><td align=\"left\">DJIA</td><td> 10,500.25 </td></tr>\r\n"
      "<tr><td>S&amp;P 500</td><td>1,100.50&nbsp;</td><td><a href=\"/q?s=IBM&amp;t=1\">IBM</a></td></tr>\r\n"
      "<script type=\"text/javascript\">var quote = 1; if (a) { b(); }</script>\r\n"
      "<p>Trade Time\r\n 4:00PM ET</p><!-- a comment --><br>\r\n";
  std::string page = "\"";
  while (page.size() < size) page += block;
  return page + "\"\r\n";
}

void BM_StripPage(benchmark::State& state) {
  const std::string page = QuotePage(static_cast<size_t>(state.range(0)));
  std::ofstream(g_download + "Realtime.ht1", std::ios::binary) << page;
  for (auto _ : state) VYK_Library::StripPage("Realtime.ht1", "Realtime.ht2");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
}

}  // namespace

BENCHMARK(BM_StripPage)->Arg(200 << 10)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  BenchHome folder(false);
  g_download = folder.home + "/download/";
  QCoreApplication app(argc, argv);
  return BenchHome::Run(argc, argv);
}
