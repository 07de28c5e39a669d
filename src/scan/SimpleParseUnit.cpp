#include "scan/SimpleParseUnit.h"

namespace wm {

TSimpleParse::TSimpleParse() = default;

TSimpleParse::~TSimpleParse() {
  Close();
}

void TSimpleParse::LoadFromString(const std::string& text) {
  Close();
  SourceKind_ = TSourceKind::Text;
  SourceText_ = text;
  Cursor_ = SourceText_.data();
  BlockLen_ = static_cast<int32_t>(SourceText_.size());
  BlockPos_ = 0;
  CharsRead_ = 0;
  SourceSize_ = static_cast<int64_t>(SourceText_.size());
  ReadFailed_ = false;
  CheckEnd();
}

void TSimpleParse::LoadFromStream(std::unique_ptr<TStream> stream) {
  Close();
  if (!stream) {
    return;
  }
  SourceKind_ = TSourceKind::Stream;
  SourceStream_ = std::move(stream);
  Cursor_ = Block_.data();
  BlockLen_ = 0;
  BlockPos_ = 0;
  CharsRead_ = 0;
  FailedReads_ = 0;
  ReadFailed_ = false;
  try {
    SourceSize_ = SourceStream_->Size();
  } catch (...) {
    SourceSize_ = 0;
  }
  CheckEnd();
}

char TSimpleParse::Next() {
  if (BlockPos_ >= BlockLen_) {
    Refill();
  }
  if (BlockPos_ < BlockLen_) {
    Current = Cursor_[BlockPos_];
    ++BlockPos_;
    ++CharsRead_;
  } else {
    Current = 0;
  }
  return Current;
}

bool TSimpleParse::CheckEnd() {
  AtEnd = false;
  if (SourceKind_ == TSourceKind::Stream) {
    int64_t position = 0;
    int64_t size = 0;
    try {
      position = SourceStream_->Position();
      size = SourceStream_->Size();
    } catch (...) {
      // A stream that cannot say where it stands counts as used up.
    }
    if (position < size) {
      return false;
    }
  }
  if (BlockPos_ < BlockLen_) {
    return false;
  }
  Close();
  return true;
}

void TSimpleParse::Refill() {
  if (CheckEnd()) {
    return;
  }
  // Nothing to refill: a text source has all its characters in place, and a
  // block with characters left keeps them until Next has delivered them.
  if (SourceKind_ != TSourceKind::Stream || BlockPos_ < BlockLen_) {
    return;
  }
  int32_t count = 0;
  try {
    count = SourceStream_->Read(Block_.data(), BlockSize);
  } catch (...) {
    count = -1;
  }
  if (count < 0 || count > BlockSize) {
    // A failed read leaves the reader as it was; only a run of them gives up.
    if (++FailedReads_ >= MaxFailedReads) {
      Close();
      ReadFailed_ = true;
    }
    return;
  }
  FailedReads_ = 0;
  if (count == 0) {
    Close();
  } else {
    BlockLen_ = count;
  }
  BlockPos_ = 0;
  Cursor_ = Block_.data();
}

void TSimpleParse::Close() {
  BlockLen_ = 0;
  BlockPos_ = 0;
  SourceText_.clear();
  Cursor_ = nullptr;
  if (SourceKind_ == TSourceKind::Stream) {
    SourceStream_.reset();
  }
  SourceKind_ = TSourceKind::None;
  AtEnd = true;
}

}  // namespace wm
