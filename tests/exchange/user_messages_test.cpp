#include "exchange/user_messages.h"
#include "support/child.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void write(int32_t model, const std::string& text)
{
    WRT_USER(&model, text.data(), static_cast<intptr_t>(text.size()));
}

struct Taken {
    std::string text;
    int32_t flag = 12345;
};

Taken take(int32_t model, int32_t imsg, std::size_t len = 130)
{
    Taken t{std::string(len, '?')};
    GETUSERSTRING(&model, &imsg, t.text.data(), static_cast<intptr_t>(len), &t.flag);
    return t;
}

std::string padded(const std::string& s, std::size_t len = 130) { return s + std::string(len - s.size(), ' '); }

TEST(UserMessages, QueuesKeepOrderPerModelAndDrainToEmpty)
{
    const int32_t two = 2;
    ALLOCATE_USER_STRING(&two);
    Taken empty = take(1, 1);
    EXPECT_EQ(empty.text, std::string(130, ' '));
    EXPECT_EQ(empty.flag, -999);

    write(1, "first of model 1");
    write(2, "only of model 2");
    write(1, "second of model 1");
    EXPECT_EQ(usersub::exchange::user_message_count(1), 2);

    Taken a = take(1, 1, 10);  // the caller's shorter text gets the first 10 characters
    EXPECT_EQ(a.text, "first of m");
    EXPECT_EQ(a.flag, 0);
    Taken b = take(1, 2);
    EXPECT_EQ(b.text, padded("second of model 1"));
    EXPECT_EQ(b.flag, 0);
    EXPECT_EQ(take(1, 3).flag, -999);  // count is 0 again: the drain ends here

    // The next message of a drained queue goes to position 1 again.
    write(1, "next step");
    EXPECT_EQ(take(1, 1).text, padded("next step"));
    EXPECT_EQ(take(2, 1).text, padded("only of model 2"));

    // A position taken twice while another message waits: blank, flag -1,
    // and the count drops as for any take.
    write(1, "x");
    write(1, "y");
    take(1, 1);
    Taken again = take(1, 1);
    EXPECT_EQ(again.text, std::string(130, ' '));
    EXPECT_EQ(again.flag, -1);
    EXPECT_EQ(usersub::exchange::user_message_count(1), 0);
}

TEST(UserMessages, LongTextIsCutWithFlagAndFullQueueSpillsToOutput)
{
    const int32_t one = 1;
    ALLOCATE_USER_STRING(&one);
    std::string long_text;
    for (int k = 0; k < 14; ++k) long_text += std::string(1, static_cast<char>('a' + k)) + "123456789";
    ASSERT_EQ(long_text.size(), 140u);
    write(1, long_text);
    write(1, std::string(130, 'z'));  // exactly 130 characters fits
    Taken cut = take(1, 1, 140);
    EXPECT_EQ(cut.text, long_text.substr(0, 130) + std::string(10, ' '));
    EXPECT_EQ(cut.flag, 1);
    EXPECT_EQ(take(1, 2).flag, 0);

    // 100 untaken messages fill the queue; the 101st is written to standard
    // output instead, and the queue keeps its 100 in order.
    for (int k = 1; k <= 100; ++k) write(1, "msg " + std::to_string(k));
    const std::string spilled = usersub::test::capture_stdout([] { write(1, "msg 101   "); });
    EXPECT_EQ(spilled, " W*** User message queue full for user model 1 - message not queued:\n msg 101\n");
    EXPECT_EQ(usersub::exchange::user_message_count(1), 100);
    for (int k = 1; k <= 100; ++k) ASSERT_EQ(take(1, k).text, padded("msg " + std::to_string(k)));
    EXPECT_EQ(take(1, 101).flag, -999);
    write(1, "after the drain");
    EXPECT_EQ(take(1, 1).text, padded("after the drain"));
}

TEST(UserMessages, FatalPaths)
{
    auto before = usersub::test::run_in_child([] { write(1, "no table yet"); });
    EXPECT_EQ(before.exit_status, 1);
    EXPECT_EQ(before.output, " Array bounds error: subscript 1 of array USER_MESSAGE_TABLE has value 1, "
                             "above its upper bound 0\n");

    const int32_t two = 2;
    ALLOCATE_USER_STRING(&two);
    auto twice = usersub::test::run_in_child([&] { ALLOCATE_USER_STRING(&two); });
    EXPECT_EQ(twice.exit_status, 1);
    EXPECT_EQ(twice.output, " Allocation error: USER_MESSAGE_TABLE is already allocated\n");

    auto model = usersub::test::run_in_child([] { write(3, "model 3 of 2"); });
    EXPECT_EQ(model.exit_status, 1);
    EXPECT_NE(model.output.find("array USER_MESSAGE_TABLE has value 3, above its upper bound 2"),
              std::string::npos);

    write(1, "a");
    write(1, "b");
    auto position = usersub::test::run_in_child([] { take(1, 3); });
    EXPECT_EQ(position.exit_status, 1);
    EXPECT_NE(position.output.find("array MSG_FLAG has value 3, above its upper bound 2"), std::string::npos);
}

TEST(SpecialValues, SlotsOutsideTheTableAreReportedAndIgnored)
{
    using namespace usersub::exchange;
    const int32_t v = 42, zero = 0, hundred = 100, past = 101;
    const std::string out = usersub::test::capture_stdout([&] {
        LOADSPECIALINT(&zero, &v);
        LOADSPECIALINT(&past, &v);
        const double r = 1.5;
        LOADSPECIALREAL(&past, &r);
        LOADSPECIALCHAR(&zero, "x", 1);
    });
    EXPECT_EQ(out, " ZAL internal error (LOAD_SPECIAL_INT) -- call ZAL for assistance.\n"
                   " ZAL internal error (LOAD_SPECIAL_INT) -- call ZAL for assistance.\n"
                   " ZAL internal error (LOAD_SPECIAL_REAL) -- call ZAL for assistance.\n"
                   " ZAL internal error (LOAD_SPECIAL_CHAR) -- call ZAL for assistance.\n");

    LOADSPECIALINT(&hundred, &v);
    const double r = -2.25;
    LOADSPECIALREAL(&hundred, &r);
    const std::string long_text(300, 'q');
    LOADSPECIALCHAR(&hundred, long_text.data(), 300);
    const int32_t one = 1;
    LOADSPECIALCHAR(&one, "fuel", 4);
    EXPECT_EQ(get_special_int(100), 42);
    EXPECT_EQ(get_special_int(99), 0);  // untouched slots hold their load value
    EXPECT_EQ(get_special_real(100), -2.25);
    std::string text(260, '?');
    get_special_char(100, text.data(), text.size());
    EXPECT_EQ(text, std::string(256, 'q') + "    ");
    get_special_char(1, text.data(), 2);
    EXPECT_EQ(text.substr(0, 3), "fu" + std::string(1, 'q'));

    const std::string bad = usersub::test::capture_stdout([&] {
        EXPECT_EQ(get_special_int(0), 0);
        EXPECT_EQ(get_special_real(101), 0.0);
        get_special_char(-3, text.data(), 4);
    });
    EXPECT_EQ(text.substr(0, 5), "    q");
    EXPECT_EQ(bad, " GET_SPECIAL_INT Error: invalid index 0\n"
                   " GET_SPECIAL_REAL Error: invalid index 101\n"
                   " GET_SPECIAL_CHAR Error: invalid index -3\n");
}

}  // namespace
