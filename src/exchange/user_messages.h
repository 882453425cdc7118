// User messages: per user model, a queue of text lines that the routines
// write and the host takes after each step. Special values: three tables of
// 100 slots (texts, integers, reals) that the host fills by slot number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace usersub::exchange {

inline constexpr std::size_t kMessageLen = 130;
inline constexpr std::int32_t kMaxQueuedMessages = 100;
// Flags of a queue position, and the flag of a take from an empty queue.
inline constexpr std::int32_t kMessageFitted = 0;
inline constexpr std::int32_t kMessageCut = 1;
inline constexpr std::int32_t kMessageTaken = -1;
inline constexpr std::int32_t kNoMessage = -999;

// Creates one empty queue per user model 1..n; a second call stops the run.
void allocate_user_string(std::int32_t n);

// Appends text to model imodel's queue, cut to 130 characters (flag 1) or
// blank-padded (flag 0). A queue holds at most 100 untaken messages: a
// message beyond that is not queued but written to standard output, after a
// warning line naming the model. The message goes to position (untaken
// count + 1); untaken messages that a partial drain left at that position or
// beyond are written to standard output after a warning line.
void wrt_user(std::int32_t imodel, std::string_view text);

// Takes message imsg of model imodel into text (blank-padded or cut to len;
// a null text is skipped) and returns its flag; the position is left blank
// with flag -1 and the untaken count drops by one. An empty queue gives blank
// text and -999.
std::int32_t get_user_string(std::int32_t imodel, std::int32_t imsg, char* text,
                             std::size_t len) noexcept;

// Number of untaken messages of model imodel.
std::int32_t user_message_count(std::int32_t imodel) noexcept;

inline constexpr std::int32_t kSpecialSlots = 100;
inline constexpr std::size_t kSpecialTextLen = 256;

// Store into slot i (1..100); another slot writes one line naming the table
// routine, stores nothing, and the run goes on.
void load_special_char(std::int32_t i, std::string_view text) noexcept;
void load_special_int(std::int32_t i, std::int32_t value) noexcept;
void load_special_real(std::int32_t i, double value) noexcept;

// Slot i; for another slot one line with the index is written and the result
// is blanks, 0 or 0.0.
void get_special_char(std::int32_t i, char* text, std::size_t len) noexcept;
std::int32_t get_special_int(std::int32_t i) noexcept;
double get_special_real(std::int32_t i) noexcept;

}  // namespace usersub::exchange
