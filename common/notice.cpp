#include "notice.h"

#include <string_view>

#include "console.h"

namespace {

constexpr std::string_view NOTICE_LINE_1 = "tolvaran & merrowin: periodic components of point-process intensities.";
constexpr std::string_view NOTICE_LINE_2 = "Open source under the MIT licence; see the LICENSE file for the terms.";
static_assert(NOTICE_LINE_1.size() == 70 && NOTICE_LINE_2.size() == 70, "notice lines are 70 characters");

}  // namespace

void AU() {
  WRITE_LINE(NOTICE_LINE_1);
  WRITE_LINE(NOTICE_LINE_2);
}
