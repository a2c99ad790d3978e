#pragma once
// A stream of bytes held in memory, and the stream errors.
#include <cstdint>
#include <string_view>
#include <vector>

#include "rtl/Object.h"
#include "vcl/ReadError.h"

class EFOpenError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TMemoryStream : public TObject {
 public:
  // Copies up to Count bytes from the position on; answers how many (0 at
  // or past the end).
  int64_t Read(void* Buffer, int64_t Count);
  // Writes Count bytes at the position, growing the stream (a gap left by a
  // position past the end reads as zeros); answers Count.
  int64_t Write(const void* Buffer, int64_t Count);
  // Read and Write that raise EReadError / EWriteError when short.
  void ReadBuffer(void* Buffer, int64_t Count);
  void WriteBuffer(const void* Buffer, int64_t Count);

  // Answers the new position; a negative one raises EStreamError.
  int64_t Seek(int64_t Offset, TSeekOrigin Origin);
  int64_t Position() const { return position_; }
  void SetPosition(int64_t Pos) { Seek(Pos, soBeginning); }
  int64_t Size() const { return static_cast<int64_t>(data_.size()); }
  // Cuts or extends with zeros; a position past the new end moves to it.
  void SetSize(int64_t NewSize);
  // The bytes, null when the stream is empty; valid until the size changes.
  void* Memory() { return data_.empty() ? nullptr : data_.data(); }
  const void* Memory() const { return data_.empty() ? nullptr : data_.data(); }
  void Clear();

  // Replaces the content with the file's and moves to its start; a file
  // that cannot be opened raises EFOpenError.
  void LoadFromFile(std::u16string_view FileName);
  void SaveToFile(std::u16string_view FileName) const;

 private:
  std::vector<uint8_t> data_;
  int64_t position_ = 0;
};
