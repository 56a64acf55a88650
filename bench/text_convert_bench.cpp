// The conversions at the edges of a day in UTF-8: its 20 MB read into the editor's text
// (CP932 with extra codes) and written back, against glibc's iconv doing the plain
// conversion of the same bytes. The text is the project's generated diary, read as UTF-8;
// a second copy has an emoji, a ZWJ family or a combining accent every ~300 bytes, so
// that codes are given out and looked up all along.
#include "bench/median_summary.h"
#include "platform/sjis.h"
#include "platform/unicode_text.h"
#include "tools/diary_text.h"

#include <benchmark/benchmark.h>

namespace {

constexpr size_t kBytes = 20 << 20;

const std::string& Plain() {
    static const std::string utf8 = SjisToUtf8(DiaryText(kBytes, kBytes / 60));
    return utf8;
}

const std::string& WithExtras() {
    static const std::string utf8 = [] {
        const char* extras[] = {"😊", "👨\u200D👩\u200D👧", "e\u0301", "🇯🇵", "𠮷"};
        const std::string& plain = Plain();
        std::string out;
        size_t k = 0;
        for (size_t at = 0; at < plain.size();) {
            size_t next = plain.find("\r\n", at + 300);
            next = next == std::string::npos ? plain.size() : next;
            out.append(plain, at, next - at);
            out += extras[k++ % std::size(extras)];
            at = next;
        }
        return out;
    }();
    return utf8;
}

void ToText(benchmark::State& state, const std::string& utf8) {
    for (auto _ : state) {
        TExtraChars extra;
        benchmark::DoNotOptimize(TextFromUnicode(utf8, extra));
    }
}
void BM_ToText(benchmark::State& state) { ToText(state, Plain()); }
void BM_ToTextWithExtras(benchmark::State& state) { ToText(state, WithExtras()); }
BENCHMARK(BM_ToText)->Repetitions(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToTextWithExtras)->Repetitions(5)->Unit(benchmark::kMillisecond);

void ToUtf8(benchmark::State& state, const std::string& utf8) {
    TExtraChars extra;
    const std::string text = TextFromUnicode(utf8, extra);
    for (auto _ : state) benchmark::DoNotOptimize(UnicodeFromText(text, extra, TBrokenBytes::Keep));
}
void BM_ToUtf8(benchmark::State& state) { ToUtf8(state, Plain()); }
void BM_ToUtf8WithExtras(benchmark::State& state) { ToUtf8(state, WithExtras()); }
BENCHMARK(BM_ToUtf8)->Repetitions(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToUtf8WithExtras)->Repetitions(5)->Unit(benchmark::kMillisecond);

void BM_IconvToCp932(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(Utf8ToSjis(Plain()));
}
BENCHMARK(BM_IconvToCp932)->Repetitions(5)->Unit(benchmark::kMillisecond);

void BM_IconvToUtf8(benchmark::State& state) {
    const std::string sjis = Utf8ToSjis(Plain());
    for (auto _ : state) benchmark::DoNotOptimize(SjisToUtf8(sjis));
}
BENCHMARK(BM_IconvToUtf8)->Repetitions(5)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    PrintLoadAverage("before");
    TMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    PrintLoadAverage("after");
    std::printf("\n%zu MB of diary text read as UTF-8 (%zu bytes; with extra characters %zu bytes)\n", kBytes >> 20,
                Plain().size(), WithExtras().size());
    reporter.PrintMedians({{"BM_ToText", "UTF-8 to editor text"},
                           {"BM_ToTextWithExtras", "UTF-8 to editor text, with extra characters"},
                           {"BM_IconvToCp932", "iconv UTF-8 to CP932 (plain conversion)"},
                           {"BM_ToUtf8", "editor text to UTF-8, broken bytes kept"},
                           {"BM_ToUtf8WithExtras", "editor text to UTF-8, with extra characters"},
                           {"BM_IconvToUtf8", "iconv CP932 to UTF-8 (plain conversion)"}});
    TMedianReporter::PrintRatioHeader();
    reporter.PrintRatio("UTF-8 to editor text / iconv", "BM_ToText", "BM_IconvToCp932", "(reference)");
    reporter.PrintRatio("editor text to UTF-8 / iconv", "BM_ToUtf8", "BM_IconvToUtf8", "(reference)");
    return 0;
}
