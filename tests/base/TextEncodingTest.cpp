#include "base/TextEncoding.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TextEncoding, Utf16BecomesUtf8WithinItsField) {
  const char16_t mixed[] = {u'A', 0x00E9, 0x20AC, 0xD83C, 0xDFB5, 0xDC00, u'z', 0, u'x'};
  struct Case {
    std::size_t offset, capacity;
    const char* utf8;
    const char* why;
  };
  const Case cases[] = {
      {0, 9, "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB5\xEF\xBF\xBDz",
       "one to four bytes, a lone low surrogate, up to the zero"},
      {0, 1, "A", "bounded by the field"},
      {3, 1, "\xEF\xBF\xBD", "a pair cut by the field's end"},
      {3, 2, "\xF0\x9F\x8E\xB5", "a whole pair"},
      {7, 2, "", "an empty text"},
  };
  for (const Case& c : cases) EXPECT_EQ(velmora_base::Utf8FromUtf16(mixed + c.offset, c.capacity), c.utf8) << c.why;
}

TEST(TextEncoding, Utf32BecomesUtf16WithSurrogatePairsAboveTheBasicPlane) {
  const char32_t chars[] = {U'A', 0x00E9, 0xFFFF, 0x10000, 0x1F3B5, 0x10FFFF};
  const std::u16string utf16 = velmora_base::Utf16FromUtf32<char16_t>(chars, 6);
  EXPECT_EQ(utf16, (std::u16string{u'A', 0x00E9, 0xFFFF, 0xD800, 0xDC00, 0xD83C, 0xDFB5, 0xDBFF, 0xDFFF}));
  EXPECT_EQ(velmora_base::Utf8FromUtf16(utf16.data(), utf16.size()),
            "A\xC3\xA9\xEF\xBF\xBF\xF0\x90\x80\x80\xF0\x9F\x8E\xB5\xF4\x8F\xBF\xBF");
}

}  // namespace
