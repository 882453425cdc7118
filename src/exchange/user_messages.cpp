#include "exchange/user_messages.h"

#include "common/array.h"
#include "common/output.h"
#include "common/once_table.h"

#include <array>
#include <vector>

namespace usersub::exchange {
namespace {

struct UserMessageRecord {
    std::int32_t nmsg = 0;
    std::int32_t entries = 0;         // positions the queue's arrays hold
    std::vector<std::int32_t> flags;  // room for kMaxQueuedMessages once used
    std::vector<char> texts;          // kMessageLen characters per position

    Array1<std::int32_t> msg_flag() noexcept { return {"MSG_FLAG", flags.data(), entries}; }
    TextArray<char> msg_text() noexcept { return {"MSG_TEXT", texts.data(), kMessageLen, entries}; }
};

OnceTable<UserMessageRecord> g_table("USER_MESSAGE_TABLE");

UserMessageRecord& record(std::int32_t imodel) noexcept { return g_table(imodel); }

std::array<text::Fixed<kSpecialTextLen>, kSpecialSlots> g_special_text;
std::array<std::int32_t, kSpecialSlots> g_special_int{};
std::array<double, kSpecialSlots> g_special_real{};

// Slot i of a special-value table, or null for a slot outside 1..100 (after
// writing the getter's message with the index, when one is given).
template <class T>
T* special_slot(std::array<T, kSpecialSlots>& table, std::int32_t i, const char* error) noexcept
{
    if (i >= 1 && i <= kSpecialSlots) return &table[static_cast<std::size_t>(i - 1)];
    if (error != nullptr) out::list(error, i);
    return nullptr;
}

}  // namespace

void allocate_user_string(std::int32_t n)
{
    g_table.allocate(n);
}

void wrt_user(std::int32_t imodel, std::string_view text)
{
    auto& rec = record(imodel);
    if (rec.nmsg >= kMaxQueuedMessages) {
        out::list("W*** User message queue full for user model", imodel,
                  "- message not queued:");
        out::list(text::trim_right(text));
        return;
    }
    if (rec.flags.empty()) {
        rec.flags.resize(kMaxQueuedMessages);
        rec.texts.resize(kMaxQueuedMessages * kMessageLen);
    }
    const std::int32_t n = ++rec.nmsg;
    // After a partial drain, positions n and beyond may still hold untaken
    // messages; the queue now ends at n, so they are written out, not lost.
    for (std::int32_t k = n; k <= rec.entries; ++k) {
        if (rec.msg_flag()(k) == kMessageTaken) continue;
        out::list("W*** Untaken user message of user model", imodel, "dropped:");
        out::list(text::trim_right(rec.msg_text()(k)));
    }
    rec.entries = n;
    rec.msg_text().assign(n, text);
    rec.msg_flag()(n) = text.size() > kMessageLen ? kMessageCut : kMessageFitted;
}

std::int32_t get_user_string(std::int32_t imodel, std::int32_t imsg, char* text,
                             std::size_t len) noexcept
{
    if (text != nullptr) text::assign(text, len, {});
    auto& rec = record(imodel);
    if (rec.nmsg == 0) return kNoMessage;

    const auto texts = rec.msg_text();
    const auto flags = rec.msg_flag();
    const std::int32_t flag = flags(imsg);
    if (text != nullptr) text::assign(text, len, texts(imsg));
    texts.assign(imsg, {});
    flags(imsg) = kMessageTaken;
    --rec.nmsg;
    return flag;
}

std::int32_t user_message_count(std::int32_t imodel) noexcept { return record(imodel).nmsg; }

void load_special_char(std::int32_t i, std::string_view text) noexcept
{
    if (auto* slot = special_slot(g_special_text, i, nullptr)) *slot = text;
    else out::list("ZAL internal error (LOAD_SPECIAL_CHAR) -- call ZAL for assistance.");
}

void load_special_int(std::int32_t i, std::int32_t value) noexcept
{
    if (auto* slot = special_slot(g_special_int, i, nullptr)) *slot = value;
    else out::list("ZAL internal error (LOAD_SPECIAL_INT) -- call ZAL for assistance.");
}

void load_special_real(std::int32_t i, double value) noexcept
{
    if (auto* slot = special_slot(g_special_real, i, nullptr)) *slot = value;
    else out::list("ZAL internal error (LOAD_SPECIAL_REAL) -- call ZAL for assistance.");
}

void get_special_char(std::int32_t i, char* text, std::size_t len) noexcept
{
    const auto* slot = special_slot(g_special_text, i, "GET_SPECIAL_CHAR Error: invalid index");
    text::assign(text, len, slot != nullptr ? slot->view() : std::string_view{});
}

std::int32_t get_special_int(std::int32_t i) noexcept
{
    const auto* slot = special_slot(g_special_int, i, "GET_SPECIAL_INT Error: invalid index");
    return slot != nullptr ? *slot : 0;
}

double get_special_real(std::int32_t i) noexcept
{
    const auto* slot = special_slot(g_special_real, i, "GET_SPECIAL_REAL Error: invalid index");
    return slot != nullptr ? *slot : 0.0;
}

}  // namespace usersub::exchange
