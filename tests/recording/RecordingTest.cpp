// The recording file: anything that is not a whole recording of this
// version is refused in one line before anything is replayed, but a last
// line cut short (a kill while writing) is only left out.

#include <gtest/gtest.h>

#include <sstream>

#include "recording/Recording.h"

TEST(RecordingFile, DamagedRecordingsAreRefusedInOneLine) {
    const std::string head = "starhollow-recording 1\nseed 7\n";
    const struct {
        std::string text;
        const char* said;  // nullptr: accepted
    } cases[] = {
        {"", "not a Starhollow recording"},
        {"GIF89a\n", "not a Starhollow recording"},
        {"starhollow-recording 2\nseed 7\n", "version 2"},
        {"starhollow-recording 1\nseed x\n", "line 2"},
        {head + "0 c 5\n12 z 1\n", "line 4"},
        {head + "0 w -1\n", "line 3"},
        {head + "0 c 5 6\n", "line 3"},
        {head + "0 p 0 3 3 0 75,3,70,6:abcdef\n", "run's length 6, outside 1 to 5"},
        {head + "0 p 0 3 3 0 1,3,70,6:abc\n", "line 3"},
        // Every field against its range, one past each end.
        {head + "0 i 256 0\n", "key code 256, outside 0 to 255"},
        {head + "0 i 65 256\n", "typed byte 256"},
        {head + "0 w -2 1\n", "time-out -2"},
        {head + "0 w 500 2\n", "outcome 2, outside 0 to 1"},
        {head + "1099511627777 c 5\n", "time since the line before 1099511627777"},
        {head + "1099511627776 c 5\n1 c 5\n", "line 4 of the recording takes the recording past"},
        {head + "0 c 9\n0 c 8\n", "line 4 of the recording has a clock reading earlier"},
        {head + "0 s 4294967296\n", "pause 4294967296"},
        {head + "0 t \x1b]0;owned\x07\n", "cannot be shown (byte 27) in the title"},
        {head + "0 t " + std::string(256, 'x') + "\n", "longer than 255"},
        {head + "0 x 9\n", "does not know"},
        {head + "0 p 1ffffffff 0 0 0\n", "checksum 1ffffffff"},
        {head + "0 p 0 0 25 0\n", "cursor's row 25"},
        {head + "0 p 0 0 0 2\n", "visibility 2"},
        {head + "0 p 0 0 0 0 ~78\n", "colours 78"},
        {head + "0 p 0 0 0 0 0,0,07,1:\x1b\n", "cannot be shown (byte 27)"},
        {head + "0 p 0 0 0 0 0,0,07,1:a ~07\n", "clearing after"},
        {head + "0 p 0 0 0 0 ^25,0\n", "copied row 25"},
        {head + "0 g 1a 12078151 Home\n", "size 12078151"},
        {head + std::string(70000, '0') + "\n", "line 3 of the recording is longer than 65536"},
        {head + "0 c 5\n0 x 15\n0 x 2\n0 x 1\n0 e\n", nullptr},
        {head + "0 c 5\n3 i 38 0\n7 w 50", nullptr},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.text);
        if (c.said == nullptr) {
            EXPECT_NO_THROW(recording::parse(in)) << c.text;
            continue;
        }
        try {
            recording::parse(in);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const recording::Refused& refused) {
            const std::string why = refused.what();
            EXPECT_NE(why.find(c.said), std::string::npos) << why;
            EXPECT_EQ(why.find('\n'), std::string::npos);
            EXPECT_EQ(why.back(), '.') << why;
        }
    }
    std::istringstream torn("starhollow-recording 1\r\nseed 7\r\n0 c 5\r\n3 i 38 0\n7 w 50");
    const recording::Recording whole = recording::parse(torn);
    ASSERT_EQ(whole.events.size(), 2u);
    EXPECT_EQ(whole.events[1].time, 3u);
    EXPECT_EQ(whole.seed, 7u);
}
