#pragma once

// Exit statuses shared by the command-line programs, so that scripts read them alike. Status 1
// is each program's own bad input (a drawing, a bitmap).
namespace tool_exit {
constexpr int kOk = 0;
constexpr int kBadInput = 1;
constexpr int kUsage = 2;
constexpr int kNoGl = 3;
constexpr int kBadShaders = 4;
constexpr int kCannotWrite = 5;
} // namespace tool_exit
