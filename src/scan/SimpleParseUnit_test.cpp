#include "scan/SimpleParseUnit.h"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

namespace wm {
namespace {

using Kind = TSimpleParse::TSourceKind;

// Reads every character until AtEnd, with a bound so a fault cannot hang the test.
std::string Drain(TSimpleParse& parser, size_t bound = 1 << 20) {
  std::string text;
  parser.Next();
  while (!parser.AtEnd && text.size() < bound) {
    text += parser.Current;
    parser.Next();
  }
  return text;
}

TEST(SimpleParseText, NewReaderHasNoSource) {
  TSimpleParse parser;
  EXPECT_EQ(parser.SourceKind(), Kind::None);
  EXPECT_TRUE(parser.AtEnd);
  EXPECT_EQ(parser.Current, 0);
  EXPECT_EQ(parser.CharsRead(), 0);
  EXPECT_EQ(parser.SourceSize(), 0);
  // Next without a source is harmless and keeps returning 0.
  EXPECT_EQ(parser.Next(), 0);
  EXPECT_TRUE(parser.AtEnd);
  EXPECT_EQ(parser.Next(), 0);
}

TEST(SimpleParseText, EmptyTextIsAtEndAtOnce) {
  TSimpleParse parser;
  parser.LoadFromString("");
  EXPECT_TRUE(parser.AtEnd);
  EXPECT_EQ(parser.SourceKind(), Kind::None);
  EXPECT_EQ(parser.Next(), 0);
  EXPECT_TRUE(parser.AtEnd);
}

TEST(SimpleParseText, TwoCharactersThenEnd) {
  TSimpleParse parser;
  parser.LoadFromString("ab");
  EXPECT_FALSE(parser.AtEnd);
  EXPECT_EQ(parser.SourceKind(), Kind::Text);
  EXPECT_EQ(parser.SourceSize(), 2);
  EXPECT_EQ(parser.Current, 0) << "LoadFromString fetches no character";

  EXPECT_EQ(parser.Next(), 'a');
  EXPECT_FALSE(parser.AtEnd);
  EXPECT_EQ(parser.Next(), 'b');
  EXPECT_EQ(parser.Current, 'b');
  EXPECT_FALSE(parser.AtEnd) << "the last character does not set AtEnd yet";
  EXPECT_EQ(parser.CharsRead(), 2);

  EXPECT_EQ(parser.Next(), 0);
  EXPECT_TRUE(parser.AtEnd);
  EXPECT_EQ(parser.SourceKind(), Kind::None);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(parser.Next(), 0);
    EXPECT_TRUE(parser.AtEnd);
  }
  EXPECT_EQ(parser.CharsRead(), 2);
}

TEST(SimpleParseText, AttachingAfterTheEndResets) {
  TSimpleParse parser;
  parser.LoadFromString("xyz");
  EXPECT_EQ(Drain(parser), "xyz");
  ASSERT_TRUE(parser.AtEnd);

  parser.LoadFromString("q");
  EXPECT_FALSE(parser.AtEnd);
  EXPECT_EQ(parser.BlockPos(), 0);
  EXPECT_EQ(parser.CharsRead(), 0);
  EXPECT_EQ(parser.Current, 0) << "Current keeps what it held";
  EXPECT_EQ(parser.Next(), 'q');
  EXPECT_EQ(parser.CharsRead(), 1);
}

TEST(SimpleParseText, KeepsItsOwnCopyAndEveryByte) {
  std::string text("a\0\xff\x01 z", 6);
  TSimpleParse parser;
  parser.LoadFromString(text);
  text = "changed";
  EXPECT_EQ(Drain(parser), std::string("a\0\xff\x01 z", 6));
}

TEST(SimpleParseText, CloseDetaches) {
  TSimpleParse parser;
  parser.LoadFromString("abc");
  parser.Next();
  parser.Close();
  EXPECT_TRUE(parser.AtEnd);
  EXPECT_EQ(parser.SourceKind(), Kind::None);
  EXPECT_EQ(parser.Next(), 0);
}

// A stream over a string that can be told to fail its reads.
class StringStream : public TStream {
 public:
  explicit StringStream(std::string data, int* destroyed = nullptr)
      : data_(std::move(data)), destroyed_(destroyed) {}
  ~StringStream() override {
    if (destroyed_ != nullptr) {
      ++*destroyed_;
    }
  }
  int64_t Position() const override { return static_cast<int64_t>(position_); }
  int64_t Size() const override { return static_cast<int64_t>(data_.size()); }
  int32_t Read(char* buffer, int32_t count) override {
    if (reads != nullptr) {
      ++*reads;
    }
    if (failuresLeft > 0) {
      --failuresLeft;
      throw std::runtime_error("read failed");
    }
    size_t n = std::min(static_cast<size_t>(count), data_.size() - position_);
    if (shortReads > 0 && n > shortReads) {
      n = shortReads;
    }
    data_.copy(buffer, n, position_);
    position_ += n;
    return static_cast<int32_t>(n);
  }

  int failuresLeft = 0;
  size_t shortReads = 0;
  int* reads = nullptr;  // counts calls to Read, outliving the stream

 private:
  std::string data_;
  size_t position_ = 0;
  int* destroyed_;
};

struct StreamCase {
  const char* name;
  size_t size;
  size_t shortReads;
};

class SimpleParseStream : public ::testing::TestWithParam<StreamCase> {};

TEST_P(SimpleParseStream, DeliversEveryByteAcrossBlocks) {
  std::string data;
  for (size_t i = 0; i < GetParam().size; ++i) {
    data += static_cast<char>('a' + i % 26);
  }
  auto stream = std::make_unique<StringStream>(data);
  stream->shortReads = GetParam().shortReads;
  TSimpleParse parser;
  parser.LoadFromStream(std::move(stream));
  EXPECT_EQ(parser.AtEnd, data.empty());
  EXPECT_EQ(Drain(parser), data);
  EXPECT_TRUE(parser.AtEnd);
  EXPECT_FALSE(parser.ReadFailed());
  EXPECT_EQ(parser.CharsRead(), static_cast<int64_t>(data.size()));
  EXPECT_EQ(parser.SourceKind(), Kind::None);
}

INSTANTIATE_TEST_SUITE_P(Sizes, SimpleParseStream,
                         ::testing::Values(StreamCase{"Empty", 0, 0}, StreamCase{"One", 1, 0},
                                           StreamCase{"OneBlock", 8192, 0},
                                           StreamCase{"BlockAndOne", 8193, 0},
                                           StreamCase{"ThreeBlocks", 3 * 8192 + 17, 0},
                                           StreamCase{"ShortReads", 20000, 1000}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(SimpleParseStreamOwnership, StreamReleasedOnCloseAndOnReplace) {
  int destroyed = 0;
  TSimpleParse parser;
  parser.LoadFromStream(std::make_unique<StringStream>("abc", &destroyed));
  parser.Next();
  EXPECT_EQ(destroyed, 0);
  parser.LoadFromString("x");
  EXPECT_EQ(destroyed, 1) << "attaching a new source closes the stream";

  {
    TSimpleParse scoped;
    scoped.LoadFromStream(std::make_unique<StringStream>("abc", &destroyed));
  }
  EXPECT_EQ(destroyed, 2) << "Destroy closes the stream";
}

TEST(SimpleParseStreamFailure, OneFailedReadIsSwallowedAndRetried) {
  auto stream = std::make_unique<StringStream>("hello");
  stream->failuresLeft = 1;
  TSimpleParse parser;
  parser.LoadFromStream(std::move(stream));
  EXPECT_EQ(parser.Next(), 0) << "the failed read delivers nothing";
  EXPECT_FALSE(parser.AtEnd) << "and leaves the reader as it was";
  EXPECT_EQ(Drain(parser), "hello") << "the next Next reads again and loses nothing";
  EXPECT_FALSE(parser.ReadFailed());
}

TEST(SimpleParseStreamFailure, ReadsThatKeepFailingEndTheSource) {
  int reads = 0;
  auto stream = std::make_unique<StringStream>("never delivered");
  stream->failuresLeft = 1000000;
  stream->reads = &reads;
  TSimpleParse parser;
  parser.LoadFromStream(std::move(stream));
  int steps = 0;
  while (!parser.AtEnd && steps < 100) {
    parser.Next();
    ++steps;
  }
  EXPECT_TRUE(parser.AtEnd) << "a reading loop must end";
  EXPECT_TRUE(parser.ReadFailed());
  EXPECT_EQ(reads, TSimpleParse::MaxFailedReads);
  EXPECT_EQ(parser.CharsRead(), 0);
}

// CheckEnd and Refill are public: called directly, at any point, they lose
// nothing and never reach for a stream that is not there.
TEST(SimpleParseDirectCalls, OnATextSource) {
  TSimpleParse parser;
  parser.LoadFromString("abc");
  parser.Refill();  // before the first character
  EXPECT_EQ(parser.Next(), 'a');
  EXPECT_FALSE(parser.CheckEnd());
  parser.Refill();  // with characters left
  parser.Refill();
  EXPECT_EQ(parser.SourceKind(), Kind::Text);
  EXPECT_EQ(parser.Next(), 'b');
  EXPECT_EQ(parser.Next(), 'c');
  EXPECT_EQ(parser.CharsRead(), 3);
  EXPECT_TRUE(parser.CheckEnd()) << "used up";
  EXPECT_TRUE(parser.AtEnd);
  EXPECT_EQ(parser.SourceKind(), Kind::None);
  parser.Refill();  // with no source at all
  EXPECT_EQ(parser.Next(), 0);
  EXPECT_TRUE(parser.AtEnd);
}

TEST(SimpleParseDirectCalls, OnAStreamSource) {
  std::string data(TSimpleParse::BlockSize + 3, 'x');
  data[0] = 'a';
  data[1] = 'b';
  data[TSimpleParse::BlockSize] = 'y';
  TSimpleParse parser;
  parser.LoadFromStream(std::make_unique<StringStream>(data));
  parser.Refill();  // loads the first block
  EXPECT_EQ(parser.BlockLen(), TSimpleParse::BlockSize);
  EXPECT_EQ(parser.Next(), 'a');
  EXPECT_FALSE(parser.CheckEnd());
  parser.Refill();  // the block still has characters: they are kept
  EXPECT_EQ(parser.Next(), 'b');
  std::string rest = Drain(parser);
  EXPECT_EQ(rest.size(), data.size() - 2) << "nothing lost";
  EXPECT_EQ(rest[TSimpleParse::BlockSize - 2], 'y');
  EXPECT_TRUE(parser.CheckEnd());
  EXPECT_EQ(parser.SourceKind(), Kind::None);
}

}  // namespace
}  // namespace wm
