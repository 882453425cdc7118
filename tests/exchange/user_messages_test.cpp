#include "exchange/user_messages.h"
#include "support/child.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

using usersub::test::capture_stdout;
using usersub::test::run_in_child;

void write(int32_t model, const std::string& text)
{
    WRT_USER(&model, text.data(), static_cast<intptr_t>(text.size()));
}

// Takes message imsg into a text of len characters; returns text and flag.
std::pair<std::string, int32_t> take(int32_t model, int32_t imsg, std::size_t len = 130)
{
    std::pair<std::string, int32_t> t{std::string(len, '?'), 12345};
    GETUSERSTRING(&model, &imsg, t.first.data(), static_cast<intptr_t>(len), &t.second);
    return t;
}

std::string padded(const std::string& s, std::size_t len = 130) { return s + std::string(len - s.size(), ' '); }

TEST(UserMessages, QueuesKeepOrderPerModelAndDrainToEmpty)
{
    const int32_t two = 2;
    ALLOCATE_USER_STRING(&two);
    EXPECT_EQ(take(1, 1), std::make_pair(std::string(130, ' '), -999));

    std::string long_text;
    for (char c = 'a'; c < 'a' + 14; ++c) long_text += c + std::string("123456789");  // 140 characters
    write(1, long_text);
    write(2, "only of model 2");
    write(1, std::string(130, 'z'));
    write(1, "third of model 1");
    EXPECT_EQ(take(1, 1, 140), std::make_pair(long_text.substr(0, 130) + std::string(10, ' '), 1));
    EXPECT_EQ(take(1, 2, 10), std::make_pair(std::string(10, 'z'), 0));  // 130 fit; cut to the caller's 10
    EXPECT_EQ(take(1, 3), std::make_pair(padded("third of model 1"), 0));
    EXPECT_EQ(take(1, 4).second, -999);  // the count is 0 again: the drain ends here
    write(1, "next step");               // a drained queue starts again at position 1
    EXPECT_EQ(take(1, 1).first, padded("next step"));
    EXPECT_EQ(take(2, 1).first, padded("only of model 2"));

    // A position taken twice while another waits: blank, -1, the count drops.
    write(1, "x");
    write(1, "y");
    take(1, 1);
    EXPECT_EQ(take(1, 1), std::make_pair(std::string(130, ' '), -1));
    EXPECT_EQ(usersub::exchange::user_message_count(1), 0);

    // A write after a partial drain goes to position (untaken count + 1); the
    // untaken messages it displaces are written out, not lost.
    for (const char* t : {"p1", "p2", "p3", "p4"}) write(1, t);
    take(1, 1);
    take(1, 2);
    EXPECT_EQ(capture_stdout([] { write(1, "p5"); }),
              " W*** Untaken user message of user model 1 dropped:\n p3\n"
              " W*** Untaken user message of user model 1 dropped:\n p4\n");
    EXPECT_EQ(take(1, 3).first, padded("p5"));
}

TEST(UserMessages, FullQueueSpillsToOutputAndFatalPaths)
{
    const int32_t two = 2;
    ALLOCATE_USER_STRING(&two);
    for (int k = 1; k <= 100; ++k) write(1, "msg " + std::to_string(k));
    EXPECT_EQ(capture_stdout([] { write(1, "msg 101   "); }),
              " W*** User message queue full for user model 1 - message not queued:\n msg 101\n");
    for (int k = 1; k <= 100; ++k) ASSERT_EQ(take(1, k).first, padded("msg " + std::to_string(k)));
    EXPECT_EQ(take(1, 101).second, -999);

    auto twice = run_in_child([&] { ALLOCATE_USER_STRING(&two); });
    EXPECT_EQ(twice.exit_status, 1);
    EXPECT_EQ(twice.output, " Allocation error: USER_MESSAGE_TABLE is already allocated\n");

    write(1, "a");
    write(1, "b");
    auto position = run_in_child([] { take(1, 3); });
    EXPECT_EQ(position.exit_status, 1);
    EXPECT_NE(position.output.find("array MSG_FLAG has value 3, above its upper bound 2"), std::string::npos);
}

TEST(SpecialValues, SlotsOutsideTheTableAreReportedAndIgnored)
{
    using namespace usersub::exchange;
    const int32_t v = 42, zero = 0, hundred = 100, past = 101;
    const double r = -2.25;
    EXPECT_EQ(capture_stdout([&] {
                  LOADSPECIALINT(&zero, &v);
                  LOADSPECIALINT(&past, &v);
                  LOADSPECIALREAL(&past, &r);
                  LOADSPECIALCHAR(&zero, "x", 1);
              }),
              " ZAL internal error (LOAD_SPECIAL_INT) -- call ZAL for assistance.\n"
              " ZAL internal error (LOAD_SPECIAL_INT) -- call ZAL for assistance.\n"
              " ZAL internal error (LOAD_SPECIAL_REAL) -- call ZAL for assistance.\n"
              " ZAL internal error (LOAD_SPECIAL_CHAR) -- call ZAL for assistance.\n");

    LOADSPECIALINT(&hundred, &v);
    LOADSPECIALREAL(&hundred, &r);
    LOADSPECIALCHAR(&hundred, std::string(300, 'q').data(), 300);
    EXPECT_EQ(get_special_int(100), 42);
    EXPECT_EQ(get_special_int(99), 0);
    EXPECT_EQ(get_special_real(100), -2.25);
    std::string text(260, '?');
    get_special_char(100, text.data(), text.size());
    EXPECT_EQ(text, std::string(256, 'q') + "    ");  // cut to 256 when stored

    EXPECT_EQ(capture_stdout([&] {
                  EXPECT_EQ(get_special_int(0), 0);
                  EXPECT_EQ(get_special_real(101), 0.0);
                  get_special_char(-3, text.data(), 4);
              }),
              " GET_SPECIAL_INT Error: invalid index 0\n"
              " GET_SPECIAL_REAL Error: invalid index 101\n"
              " GET_SPECIAL_CHAR Error: invalid index -3\n");
    EXPECT_EQ(text.substr(0, 5), "    q");
}

}  // namespace
