// The line utilities: white space is exactly 32 and 9 to 13, comments begin
// at "//", token splits like strtok, quote and append.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "support/workspace.h"
#include "typedata.h"

namespace {

// A token table of 32 entries with buffers of 64 bytes, as the reader has.
struct TokenTable {
  TokenTable() {
    for (int i = 0; i < 32; ++i) entries[i] = buffers[i];
  }
  char buffers[32][64] = {};
  char* entries[32];
};

std::vector<std::string> Tokens(const TokenTable& table) {
  std::vector<std::string> tokens;
  for (int i = 0; i < 32 && table.entries[i]; ++i) tokens.push_back(table.entries[i]);
  return tokens;
}

TEST(LineScan, WhiteSpaceIsExactlySpaceAndNineToThirteen) {
  for (int c = 1; c < 256; ++c) {
    char text[3] = {static_cast<char>(c), 'x', '\0'};
    const bool white = c == ' ' || (c >= 9 && c <= 13);
    EXPECT_EQ(leading(text), white ? text + 1 : text) << c;
    char tail[3] = {'x', static_cast<char>(c), '\0'};
    EXPECT_EQ(trailing(tail), white ? tail : tail + 1) << c;
    EXPECT_EQ(std::strlen(tail), white ? 1u : 2u) << c;
  }
}

TEST(LineScan, LeadingTrailingTrim) {
  char spaces[] = "   ";
  EXPECT_EQ(leading(spaces), spaces + 3);
  char empty[] = "";
  EXPECT_EQ(leading(empty), empty);
  EXPECT_EQ(trailing(empty), empty);

  char ab[] = "ab  \r\n";
  EXPECT_EQ(trailing(ab), ab + 1);
  EXPECT_STREQ(ab, "ab");
  char blank[] = " \t \v\f";
  EXPECT_EQ(trailing(blank), blank);
  EXPECT_STREQ(blank, "");
  char one[] = "x";
  EXPECT_EQ(trailing(one), one);
  EXPECT_STREQ(one, "x");

  char padded[] = "  a b  ";
  EXPECT_EQ(trim(padded), padded + 2);
  EXPECT_STREQ(padded + 2, "a b");
  char all_blank[] = " \t\r\n ";
  char* trimmed = trim(all_blank);
  EXPECT_STREQ(trimmed, "");
  EXPECT_EQ(trimmed, all_blank + 5);
}

TEST(LineScan, CutCommentAtTheFirstDoubleSlash) {
  char record[] = "12,\"A//B\",x // note";
  CutComment(record);
  EXPECT_STREQ(record, "12,\"A") << "quotation marks do not protect a //";
  char slashes[] = "a/b/c";
  CutComment(slashes);
  EXPECT_STREQ(slashes, "a/b/c");
  char three[] = "a///b";
  CutComment(three);
  EXPECT_STREQ(three, "a");
  char at_start[] = "//[D]";
  CutComment(at_start);
  EXPECT_STREQ(at_start, "");
}

TEST(LineScan, TokenSplitsAtCommasAndLineFeeds) {
  TokenTable t;
  char runs[] = ",,a,,b,,";
  EXPECT_EQ(token(runs, t.entries), 0);
  EXPECT_EQ(Tokens(t), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(t.entries[2], nullptr);
  EXPECT_EQ(t.entries[3], t.buffers[3]) << "only the entry after the last token is nulled";

  TokenTable u;
  char semicolons[] = "a;b, c;d";
  EXPECT_EQ(token(semicolons, u.entries), 0);
  EXPECT_EQ(Tokens(u), (std::vector<std::string>{"a;b", "c"})) << "only the last token is cut at ';'";

  TokenTable v;
  char header[] = "[D] , x";
  EXPECT_EQ(token(header, v.entries), 0);
  EXPECT_EQ(Tokens(v), (std::vector<std::string>{"[D]", "x"}));
  // The line itself is changed in place: a zero ends each token, and each
  // is trimmed where it stands.
  EXPECT_EQ(std::string(header, sizeof header - 1), std::string("[D]\0\0 x", 7));

  TokenTable w;
  char mixed[] = " a \n\t,  , b ; c ; d ";
  EXPECT_EQ(token(mixed, w.entries), 0);
  EXPECT_EQ(Tokens(w), (std::vector<std::string>{"a", "", "", "b"}));
  EXPECT_EQ(w.entries[3], w.buffers[3]) << "cut and trimmed inside its own buffer";

  TokenTable x;
  char nothing[] = ",,\n,";
  EXPECT_EQ(token(nothing, x.entries), 0);
  EXPECT_EQ(x.entries[0], nullptr);
}

TEST(LineScan, TokenStopsAtThe32ndToken) {
  std::string line31;
  for (int i = 0; i < 31; ++i) line31 += "t" + std::to_string(i) + ",";
  TokenTable t;
  EXPECT_EQ(token(&line31[0], t.entries), 0);
  EXPECT_EQ(Tokens(t).size(), 31u);
  EXPECT_EQ(t.entries[31], nullptr);

  std::string line32 = "t;0";
  for (int i = 1; i < 33; ++i) line32 += ",t" + std::to_string(i) + ";x";
  TokenTable u;
  EXPECT_EQ(token(&line32[0], u.entries), -1);
  EXPECT_STREQ(u.entries[31], "t31;x") << "the 32nd is copied, not cut";
  EXPECT_STREQ(u.entries[0], "t;0");
}

TEST(LineScan, QuoteCopiesUpToTheClosingMark) {
  char destination[64] = "untouched";
  EXPECT_EQ(quote("\"abc\",x", destination), 3);
  EXPECT_STREQ(destination, "abc");
  std::strcpy(destination, "untouched");
  EXPECT_EQ(quote("abc", destination), 0);
  EXPECT_STREQ(destination, "untouched");
  EXPECT_EQ(quote(" \"abc\"", destination), 0);
  EXPECT_STREQ(destination, "untouched");
  EXPECT_EQ(quote("\"\"", destination), 0);
  EXPECT_STREQ(destination, "");
  // No closing mark: the copy ends with the source.
  const char open[] = {'"', 'a', 'b', '\0'};
  EXPECT_EQ(quote(open, destination), 2);
  EXPECT_STREQ(destination, "ab");
}

class Append : public td::testing::WorkspaceTest {
 protected:
  FILE* Stream(const std::string& bytes) {
    td::testing::WriteFileBytes(workspace_.Path("work/record.txt"), bytes);
    stream_ = std::fopen("record.txt", "r");
    EXPECT_NE(stream_, nullptr);
    return stream_;
  }
  std::string Rest() {
    std::string rest;
    for (int c; (c = std::fgetc(stream_)) != EOF;) rest += static_cast<char>(c);
    return rest;
  }
  void TearDown() override {
    if (stream_) std::fclose(stream_);
  }
  FILE* stream_ = nullptr;
};

TEST_F(Append, ReadsOneRecordOverItsContinuedLines) {
  char buffer[10] = "";
  append(Stream("ab,\n// c\n\ncd,\nefghijk\nx\n"), buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "ab,cd,efg");
  EXPECT_EQ(Rest(), "x\n");
}

TEST_F(Append, AddsToTheTextAndPassesOverWhatNoLongerFits) {
  char buffer[8] = "12";
  append(Stream("  ab , // comment\r\n\t\r\nlong-line,\r\nmore,\r\nend \r\nnext\r\n"), buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "12ab ,l");
  EXPECT_EQ(Rest().substr(0, 4), "next");

  char full[4] = "abc";
  append(Stream("d,\ne\nf\n"), full, sizeof full);
  EXPECT_STREQ(full, "abc");
  EXPECT_EQ(Rest(), "f\n");
}

TEST_F(Append, LeavesTheBufferAloneAtTheEnd) {
  char buffer[16] = "kept";
  append(Stream(""), buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "kept");
  append(Stream("// only\n\n   \n// comments"), buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "kept");
  EXPECT_EQ(Rest(), "");
}

TEST_F(Append, LinesAreReadWhole) {
  // A value is never cut at a piece boundary, and a ',' far out on a long
  // line still continues the record.
  const std::string first(3000, 'a');
  std::vector<char> buffer(8000, '\0');
  append(Stream(first + ",\n" + std::string(2000, 'b') + "\nrest\n"), buffer.data(),
         static_cast<std::uint16_t>(buffer.size()));
  EXPECT_EQ(std::string(buffer.data()), first + "," + std::string(2000, 'b'));
  EXPECT_EQ(Rest(), "rest\n");
}

}  // namespace
