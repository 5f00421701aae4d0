#pragma once
// Text as characters. UTF-8 is honoured only when the text holds at least one well-formed
// multi-byte sequence and converts strictly as a whole; any other text is taken byte for byte
// (each byte its Latin-1 character), as the platform's 8-bit text calls do.

#include <vector>

class LICE_TextRun {
public:
  // length < 0: up to the terminator. A null text is empty.
  LICE_TextRun(const char* text, int length);
  LICE_TextRun(const LICE_TextRun&) = delete;
  LICE_TextRun& operator=(const LICE_TextRun&) = delete;

  const char* Bytes() const { return mBytes; }
  int ByteCount() const { return mByteCount; }
  const char32_t* Chars() const { return mChars; }
  int CharCount() const { return mCharCount; }
  // True when the characters came from a UTF-8 conversion.
  bool IsWide() const { return mWide; }

private:
  static constexpr int kFixedChars = 1000;

  const char* mBytes = "";
  int mByteCount = 0;
  const char32_t* mChars = nullptr;
  int mCharCount = 0;
  bool mWide = false;
  char32_t mFixed[kFixedChars];
  std::vector<char32_t> mHeap;  // only for texts of kFixedChars characters or more
};
