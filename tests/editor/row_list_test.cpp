// The chunked row list against a plain vector of rows, with chunks of a few rows and bytes
// so that every edit meets chunk boundaries, splits and merges.
#include "editor/column_map.h"
#include "editor/row_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

namespace {

struct TModelRow {
    std::string text;
    int kind;
    bool operator==(const TModelRow&) const = default;
};

class RandomRowList {
public:
    RandomRowList(unsigned seed, TRowList::TLimits limits) : rng_(seed), list_(limits) {}

    void Run(int steps) {
        for (int step = 0; step < steps && !::testing::Test::HasFatalFailure(); ++step) {
            SCOPED_TRACE("step " + std::to_string(step));
            try {
                Step();
                Check();
            } catch (const std::exception& e) {
                FAIL() << e.what() << " after op " << op_;
            }
        }
    }

private:
    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    int Count() const { return static_cast<int>(model_.size()); }

    std::string Text() {
        static const std::string pieces[] = {"a", "bc", "\x82\xa0", "\t", " ", "xyz0123456"};
        std::string s;
        int n = Pick(0, 6) == 0 ? Pick(10, 40) : Pick(0, 4);
        for (int i = 0; i < n; ++i) s += pieces[Pick(0, 5)];
        return s;
    }
    int Kind() { return Pick(0, 3) == 0 ? rkBreak : Pick(0, 2) == 0 ? rkEnd : rkWrap; }

    // First and last row of the logical line that holds row r.
    std::pair<int, int> LineOf(int r) const {
        int first = r;
        while (first > 0 && model_[first - 1].kind == rkWrap) --first;
        int last = r;
        while (last < Count() - 1 && model_[last].kind == rkWrap) ++last;
        return {first, last};
    }

    void Step() {
        const int op = op_ = Pick(0, 99);
        if (op < 20 && Count() > 0) {
            int r = Pick(0, Count() - 1);
            std::string text = Text();
            if (Pick(0, 4) == 0) {
                // Bytes of a row of the list itself, this one or another.
                int from = Pick(0, Count() - 1);
                std::string_view view = list_.Text(from);
                view = view.substr(0, Pick(0, static_cast<int>(view.size())));
                text = std::string(view);
                list_.SetText(r, view);
            } else {
                list_.SetText(r, text);
            }
            model_[r].text = text;
        } else if (op < 32 && Count() > 0) {
            int r = Pick(0, Count() - 1);
            int kind = Kind();
            list_.SetKind(r, kind);
            model_[r].kind = kind;
        } else if (op < 55) {
            int r = Pick(0, Count());
            TRowBlock block;
            int n = Pick(0, 9) == 0 ? Pick(10, 60) : Pick(1, 3);
            for (int i = 0; i < n; ++i) block.push_back({Text(), Kind()});
            list_.Insert(r, block);
            for (int i = 0; i < n; ++i) model_.insert(model_.begin() + r + i, {block[i].text, block[i].kind});
        } else if (op < 75 && Count() > 0) {
            int r = Pick(0, Count() - 1);
            int n = Pick(0, 9) == 0 ? Pick(5, 80) : Pick(1, 3);
            list_.Erase(r, n);
            model_.erase(model_.begin() + r, model_.begin() + std::min(Count(), r + n));
        } else if (op < 88 && Count() > 0) {
            // The rest of a line from some row in it, cut into new rows over the same bytes.
            int r = Pick(0, Count() - 1);
            int last = LineOf(r).second;
            std::string joined;
            for (int i = r; i <= last; ++i) joined += model_[i].text;
            std::vector<TRowCut> cuts;
            std::vector<TModelRow> rows;
            size_t at = 0;
            while (at < joined.size() && Pick(0, 2) != 0) {
                size_t length = std::min(joined.size() - at, static_cast<size_t>(Pick(0, 12)));
                cuts.push_back({static_cast<uint32_t>(length), rkWrap});
                rows.push_back({joined.substr(at, length), rkWrap});
                at += length;
            }
            int kind = model_[last].kind;
            cuts.push_back({static_cast<uint32_t>(joined.size() - at), kind});
            rows.push_back({joined.substr(at), kind});
            ASSERT_EQ(list_.LineBytes(r, last), joined);
            list_.Recut(r, last - r + 1, cuts);
            model_.erase(model_.begin() + r, model_.begin() + last + 1);
            model_.insert(model_.begin() + r, rows.begin(), rows.end());
        } else if (op < 93 && Count() > 0) {
            bool wrap = Pick(0, 1) == 1;
            int wrapByte = Pick(20, 30);
            int lastKind = Pick(0, 1) == 0 ? rkBreak : rkEnd;
            list_.RecutAll(wrap, wrapByte, 4, lastKind);
            std::vector<TModelRow> rows;
            for (int r = 0; r < Count();) {
                auto [first, last] = LineOf(r);
                std::string line;
                for (int i = first; i <= last; ++i) line += model_[i].text;
                if (!wrap) {
                    rows.push_back({line, rkBreak});
                } else {
                    WrapLine(line, wrapByte, 4, [&](size_t offset, size_t length, bool wrapped) {
                        rows.push_back({line.substr(offset, length), wrapped ? rkWrap : rkBreak});
                    });
                }
                r = last + 1;
            }
            rows.back().kind = lastKind;
            model_ = rows;
        } else if (op < 96) {
            // A load: rows whose bytes lie in shared blocks, end to end or with gaps.
            list_.Clear();
            model_.clear();
            int blocks = Pick(1, 3);
            for (int b = 0; b < blocks; ++b) {
                const size_t capacity = 400;
                std::shared_ptr<char> block(new char[capacity], std::default_delete<char[]>());
                size_t at = 0;
                // Rows are handed over one at a time or in runs of rows end to end, as the
                // loader does: row ends counted from the run's first byte, kinds given or
                // (when every row is rkBreak) left out.
                const char* runStart = nullptr;
                std::vector<uint32_t> ends;
                std::vector<uint8_t> kinds;
                auto flush = [&] {
                    if (ends.empty()) return;
                    const bool allBreaks = std::all_of(kinds.begin(), kinds.end(), [](uint8_t k) { return k == rkBreak; });
                    list_.AppendShared(block, capacity, runStart, ends.data(), allBreaks && Pick(0, 1) ? nullptr : kinds.data(),
                                       ends.size());
                    ends.clear();
                    kinds.clear();
                };
                for (int n = Pick(0, 30); n > 0; --n) {
                    std::string text = Text();
                    if (Pick(0, 5) == 0) {
                        flush();
                        ++at;
                    }
                    if (at + text.size() > capacity) break;
                    std::copy(text.begin(), text.end(), block.get() + at);
                    int kind = Pick(0, 4) == 0 ? rkWrap : rkBreak;
                    if (Pick(0, 2) == 0) {
                        flush();
                        list_.AppendShared(block, capacity, block.get() + at, text.size(), kind);
                    } else {
                        if (ends.empty()) runStart = block.get() + at;
                        ends.push_back(static_cast<uint32_t>(block.get() + at + text.size() - runStart));
                        kinds.push_back(static_cast<uint8_t>(kind));
                    }
                    model_.push_back({text, kind});
                    at += text.size();
                }
                flush();
            }
        } else {
            list_.Clear();
            model_.clear();
        }
    }

    void Check() {
        ASSERT_EQ(list_.Count(), Count());
        int64_t bytes = 0;
        int breaks = 0;
        std::vector<int> lineEnds;
        // In order, as painting reads, and then at random, as the caret jumps.
        for (int r = 0; r < Count(); ++r) {
            ASSERT_EQ(list_.Text(r), model_[r].text) << "row " << r;
            ASSERT_EQ(list_.Kind(r), model_[r].kind) << "row " << r;
            bytes += static_cast<int64_t>(model_[r].text.size());
            breaks += model_[r].kind == rkBreak;
            if (model_[r].kind != rkWrap) lineEnds.push_back(r);
        }
        for (int n = 0; n < 20 && Count() > 0; ++n) {
            int r = Pick(0, Count() - 1);
            ASSERT_EQ(list_.Text(r), model_[r].text) << "row " << r;
        }
        ASSERT_EQ(list_.Bytes(), bytes);
        ASSERT_EQ(list_.Breaks(), breaks);
        ASSERT_EQ(list_.LineEnds(), static_cast<int>(lineEnds.size()));
        for (size_t i = 0; i < lineEnds.size(); ++i) ASSERT_EQ(list_.LineEndRow(static_cast<int>(i) + 1), lineEnds[i]);
        ASSERT_EQ(list_.LineEndRow(static_cast<int>(lineEnds.size()) + 1), -1);
        // Every logical line lies whole in one chunk (LineBytes raises otherwise).
        for (int r = 0; r < Count();) {
            auto [first, last] = LineOf(r);
            std::string line;
            for (int i = first; i <= last; ++i) line += model_[i].text;
            ASSERT_EQ(list_.LineBytes(first, last), line) << "line from row " << first;
            r = last + 1;
        }
    }

    std::mt19937 rng_;
    int op_ = 0;
    TRowList list_;
    std::vector<TModelRow> model_;
};

}  // namespace

TEST(RowList, RandomEditsAcrossTinyChunksMatchAPlainList) {
    for (unsigned seed : {1u, 7u, 932u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        RandomRowList(seed, {4, 64}).Run(4000);
        if (HasFatalFailure()) return;
    }
}

TEST(RowList, ChunksStayFewAndBoundedAfterManyEdits) {
    TRowList list({8, 256});
    std::mt19937 rng(5);
    TRowBlock block;
    for (int i = 0; i < 4000; ++i) block.push_back({std::string(i % 13, 'x'), i % 3 == 0 ? rkWrap : rkBreak});
    list.Insert(0, block);
    // Delete most rows one by one at random places: the emptied chunks must merge again.
    while (list.Count() > 200) {
        int r = std::uniform_int_distribution<int>(0, list.Count() - 1)(rng);
        list.Erase(r, 1);
    }
    // Emptied chunks join their neighbours (left alone, about 170 of the 500 would remain).
    EXPECT_LE(list.ChunkCount(), list.Count() / 2);
    // Inserting one row at a time into one place splits chunks rather than growing one.
    for (int i = 0; i < 3000; ++i) list.Insert(list.Count() / 2, TRowBlock{{"new", rkBreak}});
    // Full chunks are cut in the middle, so they stay between half and whole full.
    EXPECT_GE(list.ChunkCount(), list.Count() / 16);
    EXPECT_LE(list.ChunkCount(), list.Count() / 4);
}

TEST(RowList, OneLongWrappedLineStaysInOneChunk) {
    TRowList list({4, 64});
    TRowBlock block;
    for (int i = 0; i < 100; ++i) block.push_back({"0123456789", rkWrap});
    block.push_back({"end", rkBreak});
    block.push_back({"next", rkEnd});
    list.Insert(0, block);
    EXPECT_EQ(list.LineBytes(0, 100).size(), 1003u);
    EXPECT_EQ(list.LineEndRow(1), 100);
    EXPECT_EQ(list.LineEndRow(2), 101);
    EXPECT_EQ(list.ChunkCount(), 2);
    // Joining it makes a one-row line in the same chunk.
    list.RecutAll(false, 80, 8, rkEnd);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Text(0).size(), 1003u);
    EXPECT_EQ(list.Kind(1), rkEnd);
}
