// TSimpleParse: a small reader that hands out the characters of a source one
// at a time, with an end flag, so that a hand-written scanner can look at one
// current character and advance. The source is a text, or a stream read in
// blocks of 8192 bytes.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace wm {

// A byte source for the reader. Read may throw; the reader treats a throw as
// a failed read.
class TStream {
 public:
  virtual ~TStream() = default;
  virtual int64_t Position() const = 0;
  virtual int64_t Size() const = 0;
  // Reads up to count bytes into buffer and returns how many were read.
  virtual int32_t Read(char* buffer, int32_t count) = 0;
};

class TSimpleParse {
 public:
  enum class TSourceKind : uint8_t { Text = 1, Stream = 2, None = 3 };

  static constexpr int32_t BlockSize = 8192;
  // A stream whose reads fail this many times in a row is closed, with
  // ReadFailed set, so that a loop waiting for AtEnd always ends.
  static constexpr int MaxFailedReads = 3;

  // Create: a reader with no source.
  TSimpleParse();
  // Destroy: closes the source.
  virtual ~TSimpleParse();

  TSimpleParse(const TSimpleParse&) = delete;
  TSimpleParse& operator=(const TSimpleParse&) = delete;

  // Attaches a text. Does not fetch a character: call Next for the first one.
  void LoadFromString(const std::string& text);
  // Attaches a stream and takes ownership of it; the first Next reads the
  // first block.
  void LoadFromStream(std::unique_ptr<TStream> stream);

  // Delivers the next character into Current and returns it; 0 past the end.
  char Next();
  // Detaches the source (releasing a stream) and sets AtEnd.
  void Close();
  // Returns whether the source is used up and, if it is, closes it.
  bool CheckEnd();
  // Reloads the block from a stream source whose block is used up; does
  // nothing for a text source or while the block has characters left.
  void Refill();

  TSourceKind SourceKind() const { return SourceKind_; }
  int32_t BlockPos() const { return BlockPos_; }
  int32_t BlockLen() const { return BlockLen_; }
  int64_t CharsRead() const { return CharsRead_; }
  int64_t SourceSize() const { return SourceSize_; }
  // True when the stream was closed because its reads kept failing, rather
  // than because it was used up.
  bool ReadFailed() const { return ReadFailed_; }

  // Read directly by callers.
  bool AtEnd = true;
  char Current = 0;

 private:
  TSourceKind SourceKind_ = TSourceKind::None;
  std::array<char, BlockSize> Block_{};
  int32_t BlockPos_ = 0;
  int32_t BlockLen_ = 0;
  const char* Cursor_ = nullptr;
  std::string SourceText_;
  std::unique_ptr<TStream> SourceStream_;
  int64_t CharsRead_ = 0;
  int64_t SourceSize_ = 0;
  int FailedReads_ = 0;
  bool ReadFailed_ = false;
};

}  // namespace wm
