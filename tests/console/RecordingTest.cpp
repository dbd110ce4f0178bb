// The recording file: anything that is not a whole recording of this
// version is refused in one line before anything is replayed, but a last
// line cut short (a kill while writing) is only left out.

#include <gtest/gtest.h>

#include <sstream>

#include "console/Recording.h"

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
        {head + "0 p 0 3 3 0 75,3,70,6:abcdef\n", "outside the screen"},
        {head + "0 p 0 3 3 0 1,3,70,6:abc\n", "line 3"},
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
        }
    }
    std::istringstream torn("starhollow-recording 1\r\nseed 7\r\n0 c 5\r\n3 i 38 0\n7 w 50");
    const recording::Recording whole = recording::parse(torn);
    ASSERT_EQ(whole.events.size(), 2u);
    EXPECT_EQ(whole.events[1].time, 3u);
    EXPECT_EQ(whole.seed, 7u);
}
