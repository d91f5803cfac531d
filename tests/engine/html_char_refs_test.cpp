#include "marovine/engine/html_char_refs.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/text_encoding.h"

namespace {

using marovine::DecodeCharRefs;
using marovine::EscapeAttributeValue;

std::string Decoded(const std::string& value) { return DecodeCharRefs(value, "utf-8"); }

TEST(HtmlCharRefsTest, ReferencesBecomeTheirCharacters) {
  EXPECT_EQ(Decoded("list.cgi?page=2&amp;sort=name"), "list.cgi?page=2&sort=name");
  EXPECT_EQ(Decoded("a&#38;b&#x26;c&#X26;d&AMP;e"), "a&b&c&d&e");
  EXPECT_EQ(Decoded("&lt;&gt;&quot;&apos;"), "<>\"'");
  EXPECT_EQ(Decoded("caf&eacute;&nbsp;&Ntilde;.html"), "café\u00a0Ñ.html");
  EXPECT_EQ(Decoded("&#x1F600;"), "\U0001F600");
  // Old pages left out the ";" of the common names, and of numbers.
  EXPECT_EQ(Decoded("a&amp"), "a&");
  EXPECT_EQ(Decoded("a&amp/b&lt"), "a&/b<");
  EXPECT_EQ(Decoded("x=1&#38y=2"), "x=1&y=2");
}

TEST(HtmlCharRefsTest, WhatIsNoReferenceStaysAsWritten) {
  for (const char* kept : {"a & b", "&", "a&", "&;", "&#;", "&#x;", "&#xg1", "&unknown;", "&Amp;",
                           // A parameter that happens to start with a name.
                           "?a=1&copy=2", "?a=1&amp=2", "?x&ampsort=1", "?x&notit;",
                           // apos was never written without its ";".
                           "it&apos"}) {
    EXPECT_EQ(Decoded(kept), kept);
  }
}

TEST(HtmlCharRefsTest, NumbersABrowserRefusesOrRemaps) {
  const std::string replacement = "\xEF\xBF\xBD";
  EXPECT_EQ(Decoded("&#0;"), replacement);
  EXPECT_EQ(Decoded("&#xD800;"), replacement);
  EXPECT_EQ(Decoded("&#xDFFF;"), replacement);
  EXPECT_EQ(Decoded("&#x110000;"), replacement);
  EXPECT_EQ(Decoded("&#99999999999999999999999;x"), replacement + "x");
  EXPECT_EQ(Decoded("&#x10FFFF;"), "\U0010FFFF");
  // 128 to 159 are what Windows-1252 puts there.
  EXPECT_EQ(Decoded("&#150;&#128;&#x9f;"), "\u2013\u20ac\u0178");
  // Control characters never reach an address raw; blanks are left to the
  // caller, which escapes them as it escapes written blanks.
  EXPECT_EQ(Decoded("a&#1;b&#x7f;&#31;"), "a%01b%7F%1F");
  EXPECT_EQ(Decoded("&#13;&#10;&#9;&#32;"), "\r\n\t ");
}

TEST(HtmlCharRefsTest, CharactersAreWrittenInThePagesCharset) {
  EXPECT_EQ(DecodeCharRefs("&eacute;", "iso-8859-1"), "\xE9");
  EXPECT_EQ(DecodeCharRefs("&#x753B;.jpg", "shift_jis"),
            platform::ConvertEncoding("画", "UTF-8", "CP932").value() + ".jpg");
  EXPECT_EQ(DecodeCharRefs("&#x753B;", "euc-jp"),
            platform::ConvertEncoding("画", "UTF-8", "EUC-JP").value());
  // Unknown charsets and characters the charset lacks fall back to UTF-8.
  EXPECT_EQ(DecodeCharRefs("&#x753B;", ""), "画");
  EXPECT_EQ(DecodeCharRefs("&#x753B;", "no-such-charset"), "画");
  EXPECT_EQ(DecodeCharRefs("&#x753B;", "iso-8859-1"), "画");
  EXPECT_EQ(DecodeCharRefs("&amp;", "iso-8859-1"), "&");
}

TEST(HtmlCharRefsTest, AnEscapedValueReadsBackAsItWas) {
  for (const char* value :
       {"list.html%3Fpage=2&sort=name", "a&amp;b", "q=\"x\"&y='z'", "&#38;", "plain.html", "<&>"}) {
    for (char quote : {'"', '\'', '\0'}) {
      std::string escaped = EscapeAttributeValue(value, quote);
      EXPECT_EQ(Decoded(escaped), value) << escaped;
      if (quote != 0) {
        EXPECT_EQ(escaped.find(quote), std::string::npos) << escaped;
      }
    }
  }
  EXPECT_EQ(EscapeAttributeValue("a?b=1&c=\"2\"", '"'), "a?b=1&amp;c=&quot;2&quot;");
  EXPECT_EQ(EscapeAttributeValue("it's \"x\"", '\''), "it&#39;s \"x\"");
}

}  // namespace
