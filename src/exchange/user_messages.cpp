#include "exchange/user_messages.h"

#include "common/array.h"
#include "common/output.h"
#include "common/run_stop.h"

#include <algorithm>
#include <array>
#include <optional>
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

std::optional<std::vector<UserMessageRecord>> g_table;

UserMessageRecord& record(std::int32_t imodel) noexcept
{
    static std::vector<UserMessageRecord> none;
    auto& table = g_table ? *g_table : none;
    return Array1<UserMessageRecord>("USER_MESSAGE_TABLE", table.data(),
                                     static_cast<std::int64_t>(table.size()))(imodel);
}

std::array<text::Fixed<kSpecialTextLen>, kSpecialSlots> g_special_text;
std::array<std::int32_t, kSpecialSlots> g_special_int{};
std::array<double, kSpecialSlots> g_special_real{};

bool valid_slot(std::int32_t i) noexcept { return i >= 1 && i <= kSpecialSlots; }

}  // namespace

void allocate_user_string(std::int32_t n)
{
    if (g_table) fatal_already_allocated("USER_MESSAGE_TABLE");
    g_table.emplace(static_cast<std::size_t>(std::max(n, 0)));
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
    if (!valid_slot(i)) {
        out::list("ZAL internal error (LOAD_SPECIAL_CHAR) -- call ZAL for assistance.");
        return;
    }
    g_special_text[static_cast<std::size_t>(i - 1)] = text;
}

void load_special_int(std::int32_t i, std::int32_t value) noexcept
{
    if (!valid_slot(i)) {
        out::list("ZAL internal error (LOAD_SPECIAL_INT) -- call ZAL for assistance.");
        return;
    }
    g_special_int[static_cast<std::size_t>(i - 1)] = value;
}

void load_special_real(std::int32_t i, double value) noexcept
{
    if (!valid_slot(i)) {
        out::list("ZAL internal error (LOAD_SPECIAL_REAL) -- call ZAL for assistance.");
        return;
    }
    g_special_real[static_cast<std::size_t>(i - 1)] = value;
}

void get_special_char(std::int32_t i, char* text, std::size_t len) noexcept
{
    if (!valid_slot(i)) {
        out::list("GET_SPECIAL_CHAR Error: invalid index", i);
        text::assign(text, len, {});
        return;
    }
    text::assign(text, len, g_special_text[static_cast<std::size_t>(i - 1)].view());
}

std::int32_t get_special_int(std::int32_t i) noexcept
{
    if (!valid_slot(i)) {
        out::list("GET_SPECIAL_INT Error: invalid index", i);
        return 0;
    }
    return g_special_int[static_cast<std::size_t>(i - 1)];
}

double get_special_real(std::int32_t i) noexcept
{
    if (!valid_slot(i)) {
        out::list("GET_SPECIAL_REAL Error: invalid index", i);
        return 0.0;
    }
    return g_special_real[static_cast<std::size_t>(i - 1)];
}

}  // namespace usersub::exchange
