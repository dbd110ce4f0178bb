// A sector record whose coordinates a damaged file has changed is refused,
// whatever they hold (found by fuzzing: huge coordinates overflowed while
// the loader worked out which slot they belong to).

#include <gtest/gtest.h>

#include <climits>
#include <fstream>

#include "TestSupport.h"
#include "storage/SaveRecords.h"
#include "galaxy/Sector.h"

TEST(DamagedSectorRecord, CoordinatesOutsideTheirSlotAreRefused) {
    const struct {
        int x, y;
        LoadResult expected;
    } cases[] = {
        {0, 0, LoadResult::Ok},
        {1, 0, LoadResult::Damaged},  // a sound sector, but another slot's
        {-101, 1, LoadResult::Damaged},
        {51, 0, LoadResult::Damaged},
        {0, -51, LoadResult::Damaged},
        {INT_MAX, 0, LoadResult::Damaged},
        {INT_MIN, INT_MIN, LoadResult::Damaged},
        {1852399412, 7, LoadResult::Damaged},
    };
    ScopedWorkDir dir;
    const int slot = galaxy::sectorNumber(0, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y));
        Sector written(0, 0, nullptr, nullptr);
        saveSectorData record;
        written.SaveToFile(&record);
        record::put32(record.bytes.data() + sectorRec::secX, c.x);
        record::put32(record.bytes.data() + sectorRec::secY, c.y);
        {
            std::ofstream out("Damaged.glx", std::ios::binary | std::ios::trunc);
            out.seekp(sectorRecordOffset(slot));
            out.write(reinterpret_cast<const char*>(record.bytes.data()), SECTOR_RECORD_SIZE);
        }
        Sector sector(5, 5, nullptr, "Damaged");
        EXPECT_EQ(sector.loadSector(slot), c.expected);
        if (c.expected != LoadResult::Ok) {
            EXPECT_EQ(sector.getSecX(), 5) << "a refused record changed the sector";
        }
    }
}
