// Servo output texts of a PID regulator: the operation line and the travel-time learning lines,
// followed report by report through whole sequences.
#include <gtest/gtest.h>

#include <string>

#include "comm/ServoText.h"

namespace {

TEST(ServoTextTest, OperationTexts) {
    const struct {
        uint32_t error, operation, time;
        const char* text;
    } cases[] = {
        {0, 0, 123, ""},
        {0, 1, 123, "CLSE 12.3"},
        {0, 2, 5, "OPEN 0.5"},
        {0, 3, 0, "CORR 0.0"},
        {0, 4, 123, "STOP"},
        {0, 5, 65535, "DONE 6553.5"},
        {0, 1, 0x10000 + 250, "CLSE 25.0"},  // the time is 16 bits wide
        {0x1A3, 6, 0, "ERR a3"},             // only the error's low byte
        {0x05, 6, 0, "ERR 05"},
        {0, 9, 0, "UNK OP=09"},
        {0, 0x1FF, 0, "UNK OP=1ff"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ServoOperationText(c.error, c.operation, c.time), c.text) << c.operation << " " << c.time;
    }
}

struct Step {
    uint32_t error, phase, a, b;
    const char* first;
    const char* second;
};

void Play(ServoTravelTimes& times, std::initializer_list<Step> steps) {
    int i = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE("report " + std::to_string(i++) + " phase " + std::to_string(s.phase));
        const ServoLines lines = times.Report(s.error, s.phase, s.a, s.b);
        EXPECT_EQ(lines.first, s.first);
        EXPECT_EQ(lines.second, s.second);
    }
}

TEST(ServoTextTest, LearningSequenceMovesTheNewPairUp) {
    ServoTravelTimes times;
    Play(times, {
                    {0, 1, 123, 0, "c  12.3/ -?- ", ""},             // start: pair in force, open unknown
                    {0, 2, 130, 999, "c  12.3/ -?- ", "n  13.0/ -?- "},  // closing time measured
                    {0, 3, 131, 250, "c  13.0/ -?- ", "N  13.1/ 25.0"},  // new pair moves up, next pair
                    {0, 2, 140, 0, "c  13.0/ -?- ", "n  14.0/ 25.0"},  // letter back to n; open kept
                    {0, 3, 150, 260, "c  14.0/ 25.0", "N  15.0/ 26.0"},
                    {0, 1, 1000, 2000, "c 100.0/200.0", ""},          // a new start clears the new pair
                });
}

TEST(ServoTextTest, ErrorsAndUnknownPhasesKeepTheTimes) {
    ServoTravelTimes times;
    Play(times, {
                    {0, 1, 100, 200, "c  10.0/ 20.0", ""},
                    {0, 2, 110, 0, "c  10.0/ 20.0", "n  11.0/ -?- "},
                    {0x1A3, 0, 555, 666, "ERR 1a3", ""},           // the whole error field
                    {0x7, 0, 0, 0, "ERR 07", ""},
                    {0, 7, 555, 666, "c  10.0/ 20.0", "n  11.0/ -?- "},  // unknown phase: nothing stored
                    {0, 2, 0x10000 + 120, 0, "c  10.0/ 20.0", "n  12.0/ -?- "},  // 16-bit times
                });
    EXPECT_EQ(times.CurrentClose(), 100);
    EXPECT_EQ(times.CurrentOpen(), 200);
    EXPECT_EQ(times.NewClose(), 120);
    EXPECT_EQ(times.NewOpen(), 0);
}

TEST(ServoTextTest, NothingLearntShowsEmptyLines) {
    ServoTravelTimes times;
    Play(times, {
                    {0, 2, 0, 0, "", ""},
                    {0, 3, 0, 0, "", ""},   // an empty new pair moves up as empty
                    {0, 1, 0, 300, "c   0.0/ 30.0", ""},  // an opening time alone still shows the pair
                });
}

}  // namespace
