#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace marovine {

// The link list view follows the document only through hints: the document
// fills one with an operation code and its operands, broadcasts it, and reads
// any result back from it. Row n always stands for link item n.
enum LinkHintCode : int {
  HINT_APPEND_ROW = 0,        // text1 = URL; out value_a = new row
  HINT_DELETE_ROW = 1,        // value_a = row
  HINT_SET_IMAGE = 4,         // row_b, value_a = state image, image_group
  HINT_SELECTED_ROWS = 5,     // value_a = maximum; out selection, value_a = count
  HINT_SET_URL = 6,           // row_b, text1
  HINT_MOVE_ROW = 8,          // value_a = new position, row_b = old position, text1
  HINT_SET_COUNT = 9,         // row_b, value_a
  HINT_SET_TITLE = 10,        // row_b, text1
  HINT_BRING_INTO_VIEW = 11,  // value_a = row
};

inline constexpr int kMaxHintSelection = 500;

struct ViewHint {
  std::string text1;
  std::string text2;
  std::string text3;
  std::int8_t image_group = 0;
  int code = 0;
  int value_a = 0;
  int row_b = 0;
  std::array<int, kMaxHintSelection> selection{};
};

class LinkListView {
 public:
  virtual ~LinkListView() = default;
  // Carries out the hint's operation; codes it does not know are ignored.
  virtual void OnHint(ViewHint& hint) = 0;
};

}  // namespace marovine
