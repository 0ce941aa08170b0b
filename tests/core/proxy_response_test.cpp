#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "comm/ProxyHandshake.h"
#include "comm/ProxyResponse.h"

namespace {

// Expected values worked out by hand from the mixing rules. One derivation in full,
// challenge 0 with password "AB":
//   pass 1: mix(0) = 0. 'A' = 0x41, s = 3: (0x4141 >> 3) & 0xFF = 0x28 (0x41 rotated right
//           by 3); lane 0: a = 0x28.
//   pass 2: mix(0x28): bits 3,5 swap to 2,4 -> 0x14; bits 9..14 are clear; rotate right 10:
//           bits 2,4 -> 24,26 = 0x05000000. 'B' = 0x42, s = 4: (0x4242 >> 4) & 0xFF = 0x24;
//           lane 1: a = 0x05000000 ^ 0x2400 = 0x05002400.
//   pass 3: mix(0x05002400): bits 10,13,24,26 swap to 11,12,25,27 -> 0x0A001800; bits 9..14
//           hold 0x1800 >> 9 = 0xC, a = 0x0A00180C (bits 2,3,11,12,25,27); rotate right 10:
//           2->24, 3->25, 11->1, 12->2, 25->15, 27->17 = 0x03028006.
//   The password is used up: 0x03028006 & 0x7FFFFFFF = 50495494.
struct ResponseCase {
    uint32_t challenge;
    const char* password;
    long expected;
};

const ResponseCase kResponses[] = {
    {0, "", 0},
    {0, nullptr, 0},               // no password: one mixing pass, like the empty one
    {1, "", 8388608},              // bit 0 -> bit 1 -> rotated to bit 23
    {0x200, "", 1073741824},       // bit 9 -> bit 8 -> bit 30; nothing left in bits 9..14
    {0x400, "", 16777218},         // bit 10 -> 11, plus bits 9..14 (4): 0x804 -> 0x01000002
    {0xFFFFFFFF, "", 260046848},   // 0xFFFFFFFF + 0x3F wraps to 0x3E -> 0x0F800000
    {0, "A", 83886080},            // 0x28, then mixed to 0x05000000
    {0, "AB", 50495494},           // the derivation above
    // 0x80 is -128: (0xFFFFFF80 << 8 | 0xFFFFFF80) >> 3 keeps the sign: 0xF0, not the
    // rotated 0x10; 0xF0 mixes to 0x3C000000.
    {0, "\x80", 1006632960},
};

TEST(ProxyResponse, MatchesHandWorkedValues) {
    for (const ResponseCase& c : kResponses) {
        EXPECT_EQ(ProxyResponse(c.challenge, c.password), c.expected)
            << "challenge " << c.challenge << " password " << (c.password ? c.password : "(null)");
    }
}

TEST(ProxyResponse, NeverSetsBit31) {
    const char* passwords[] = {"", "tajne", "\xFF\x80\xC1zzz"};
    for (const char* password : passwords) {
        for (uint32_t challenge = 0; challenge < 200000; ++challenge) {
            const uint32_t spread = challenge * 2654435761u;  // reach every region of 32 bits
            const long response = ProxyResponse(spread, password);
            ASSERT_GE(response, 0);
            ASSERT_LE(response, 2147483647L);
        }
    }
}

// ---- line handling of the handshake, without sockets ----

std::string FeedText(ProxyHandshake& handshake, const std::string& text, size_t* used = nullptr) {
    std::string toSend;
    size_t n = handshake.Feed(reinterpret_cast<const uint8_t*>(text.data()), text.size(), &toSend);
    if (used) *used = n;
    return toSend;
}

std::vector<std::string> Nodes(ProxyHandshake& handshake) {
    std::vector<std::string> texts;
    for (int i = 0; i < handshake.NodeCount(); ++i) texts.emplace_back(handshake.NodeArray()[i]);
    return texts;
}

TEST(ProxyHandshake, AnswersTheChallengeAndGathersNodes) {
    ProxyHandshake handshake("AB");
    // The challenge may arrive in pieces; 0 with "AB" answers 50495494.
    EXPECT_EQ(FeedText(handshake, "+CHA"), "");
    EXPECT_EQ(FeedText(handshake, "LL=0\n"), "+RESP=50495494\n+LIST\n");
    EXPECT_EQ(handshake.GetStep(), ProxyHandshake::Step::List);

    size_t used = 0;
    const std::string list = "+NODE=a;1;QM;3.1\n+HELLO\n+NODE=\n+NODE=b\n+LISTDONE\nafter";
    FeedText(handshake, list, &used);
    EXPECT_EQ(handshake.GetStep(), ProxyHandshake::Step::Choice);
    EXPECT_EQ(used, list.size() - 5);  // the bytes after the list stay the caller's
    EXPECT_EQ(Nodes(handshake), (std::vector<std::string>{"a;1;QM;3.1", "b"}));
}

TEST(ProxyHandshake, ChallengeNumberForms) {
    struct Case {
        const char* line;
        uint32_t challenge;  // as the 32-bit pattern fed to the mixing
    } cases[] = {
        {"+CHALL=123456789\n", 123456789u},
        {"+CHALL=-1\n", 0xFFFFFFFFu},
        {"+CHALL=77xyz\n", 77u},                // reading stops at the first non-digit
        {"+CHALL=\n", 0u},
        {"+CHALL=99999999999999999999\n", 0x7FFFFFFFu},  // clamped, no overflow
        {"+CHALL=-99999999999999999999\n", 0x80000000u},
    };
    for (const Case& c : cases) {
        ProxyHandshake handshake("pw");
        const std::string expected = "+RESP=" + std::to_string(ProxyResponse(c.challenge, "pw")) + "\n+LIST\n";
        EXPECT_EQ(FeedText(handshake, c.line), expected) << c.line;
    }
}

TEST(ProxyHandshake, LongLinesAreCutAt256Bytes) {
    // 256 bytes without LF make one line: here the challenge, whose last bytes are cut off.
    ProxyHandshake handshake("");
    const std::string challenge = "+CHALL=5" + std::string(300, '7') + "\n";
    FeedText(handshake, challenge);
    EXPECT_EQ(handshake.GetStep(), ProxyHandshake::Step::List);

    // A megabyte of junk in the list costs no memory beyond the line buffer, and the node
    // after it is read normally; a node line longer than the buffer loses its last byte.
    FeedText(handshake, std::string(1 << 20, 'x'));
    EXPECT_LT(handshake.PendingLength(), ProxyHandshake::kLineCapacity);
    const std::string longNode = "+NODE=" + std::string(250, 'n');  // exactly 256 bytes
    FeedText(handshake, longNode + "+NODE=ok\n+LISTDONE\n");
    EXPECT_EQ(Nodes(handshake), (std::vector<std::string>{std::string(249, 'n'), "ok"}));
}

TEST(ProxyHandshake, NodeTextsEndAtNul) {
    ProxyHandshake handshake("");
    FeedText(handshake, "+CHALL=1\n");
    FeedText(handshake, std::string("+NODE=ab\0cd;e;f\n+LISTDONE\n", 26));
    ASSERT_EQ(handshake.NodeCount(), 1);
    EXPECT_STREQ(handshake.NodeArray()[0], "ab");
    std::string toSend;
    ASSERT_TRUE(handshake.Choose(0, &toSend));
    EXPECT_EQ(toSend, "+OPERATOR=ab\n");
}

TEST(ProxyHandshake, ChoiceAnnouncesTheFirstTwoFields) {
    struct Case {
        const char* node;
        const char* announced;
    } cases[] = {
        {"site;1234;QM-352A;3.2", "+OPERATOR=site;1234\n"},
        {"site;1234;", "+OPERATOR=site;1234\n"},
        {"site;1234", "+OPERATOR=site;1234\n"},  // fewer than two ';': the whole text
        {"site", "+OPERATOR=site\n"},
        {";;", "+OPERATOR=;\n"},
    };
    for (const Case& c : cases) {
        ProxyHandshake handshake("");
        FeedText(handshake, "+CHALL=1\n");
        FeedText(handshake, std::string("+NODE=") + c.node + "\n+LISTDONE\n");
        std::string toSend;
        ASSERT_TRUE(handshake.Choose(0, &toSend)) << c.node;
        EXPECT_EQ(toSend, c.announced);
        EXPECT_EQ(handshake.GetStep(), ProxyHandshake::Step::Done);
    }
}

TEST(ProxyHandshake, FailureReasonsPerStep) {
    struct Case {
        const char* name;
        std::vector<std::string> lines;  // fed in order
        enum { None, Close, Timeout } end;
        long choice;                     // used when the list completes
        const char* reason;
    } cases[] = {
        {"not a challenge", {"+HELLO\n"}, Case::None, 0, ProxyHandshake::kReasonBadChallenge},
        {"closed before the challenge", {}, Case::Close, 0, ProxyHandshake::kReasonChallengeLost},
        {"silent at the challenge", {"+CHA"}, Case::Timeout, 0, ProxyHandshake::kReasonChallengeLost},
        // A partial line before the close is still a line: this one is no challenge.
        {"partial answer then close", {"+CH"}, Case::Close, 0, ProxyHandshake::kReasonBadChallenge},
        {"closed in the list", {"+CHALL=1\n", "+NODE=a\n"}, Case::Close, 0, ProxyHandshake::kReasonListLost},
        {"silent in the list", {"+CHALL=1\n"}, Case::Timeout, 0, ProxyHandshake::kReasonListLost},
        {"empty list", {"+CHALL=1\n", "+NODE=\n", "+LISTDONE\n"}, Case::None, 0, ProxyHandshake::kReasonNoNodes},
        {"cancelled choice", {"+CHALL=1\n", "+NODE=a\n", "+LISTDONE\n"}, Case::None, -1,
         ProxyHandshake::kReasonNoChoice},
        {"choice out of range", {"+CHALL=1\n", "+NODE=a\n", "+LISTDONE\n"}, Case::None, 1,
         ProxyHandshake::kReasonNoChoice},
    };
    for (const Case& c : cases) {
        ProxyHandshake handshake("");
        std::string toSend;
        for (const std::string& line : c.lines) toSend += FeedText(handshake, line);
        if (c.end == Case::Close) handshake.PeerClosed(&toSend);
        if (c.end == Case::Timeout) handshake.ReadFailed();
        if (handshake.GetStep() == ProxyHandshake::Step::Choice) {
            EXPECT_FALSE(handshake.Choose(c.choice, &toSend));
        }
        EXPECT_EQ(handshake.GetStep(), ProxyHandshake::Step::Failed) << c.name;
        EXPECT_STREQ(handshake.FailureReason(), c.reason) << c.name;
        if (c.reason == ProxyHandshake::kReasonBadChallenge) {
            EXPECT_EQ(toSend, "") << c.name;  // no response
        }
    }
}

TEST(ProxyHandshake, ListDoneSentJustBeforeCloseStillCompletes) {
    ProxyHandshake handshake("");
    std::string toSend;
    FeedText(handshake, "+CHALL=1\n+NODE=a\n+LISTDONE");
    handshake.PeerClosed(&toSend);
    EXPECT_EQ(handshake.GetStep(), ProxyHandshake::Step::Choice);
}

TEST(ProxyHandshake, KeepsAtMost32Nodes) {
    ProxyHandshake handshake("");
    std::string list = "+CHALL=1\n";
    for (int i = 0; i < 5000; ++i) list += "+NODE=n" + std::to_string(i) + "\n";
    FeedText(handshake, list + "+LISTDONE\n");
    ASSERT_EQ(handshake.NodeCount(), 32);
    EXPECT_STREQ(handshake.NodeArray()[0], "n0");
    EXPECT_STREQ(handshake.NodeArray()[31], "n31");
}

}  // namespace
