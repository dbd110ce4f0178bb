#include "GalaxyFixture.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "TestSupport.h"
#include "catalog/Random.h"
#include "storage/SaveRecords.h"
#include "galaxy/Sector.h"

namespace {

constexpr const char* TEMPLATE_NAME = "Template";
constexpr unsigned TEMPLATE_SEED = 4242;

class TemplateGalaxy {
public:
    TemplateGalaxy() {
        folder_ = newTemporaryFolder("starhollow-e2e-");
        const std::filesystem::path previous = std::filesystem::current_path();
        std::filesystem::current_path(folder_);
        rng::srand(TEMPLATE_SEED);
        HeadlessGame g;
        g.screen->pushText(std::string(TEMPLATE_NAME) + "\n");
        g.screen->pushKeys({'1', 'X'});
        const bool made = g.game.newGame(g.con());
        std::filesystem::current_path(previous);
        if (!made) throw std::runtime_error("the template galaxy could not be made");
        bytes_ = fileContents(folder_ / (std::string(TEMPLATE_NAME) + ".glx"));
        findPlanetSpot();
    }
    ~TemplateGalaxy() {
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }

    const std::string& bytes() const { return bytes_; }
    PlanetSpot spot() const { return spot_; }

private:
    void findPlanetSpot() {
        const std::string stem = (folder_ / TEMPLATE_NAME).string();
        Sector home(0, 0, nullptr, stem.c_str());
        if (!home.load(galaxy::sectorNumber(0, 0))) throw std::runtime_error("sector (0, 0) does not load");
        for (int i = 0; i < home.getNumber(); ++i) {
            const Planet* planet = home.getPlanet(i);
            const Coord beside{static_cast<short>(planet->getrX() - 1), static_cast<short>(planet->getrY())};
            if (home.getPlanet(beside.X, beside.Y) != nullptr || home.isOnPart(beside.X, beside.Y) ||
                home.isOnEP(beside.X, beside.Y))
                continue;
            spot_ = PlanetSpot{Coord{static_cast<short>(planet->getrX()), static_cast<short>(planet->getrY())},
                               beside};
            return;
        }
        throw std::runtime_error("sector (0, 0) of the template galaxy has no planet to land on");
    }

    std::filesystem::path folder_;
    std::string bytes_;
    PlanetSpot spot_;
};

const TemplateGalaxy& templateGalaxy() {
    static const TemplateGalaxy made;
    return made;
}

}  // namespace

PlanetSpot planetSpot() { return templateGalaxy().spot(); }

void installGalaxy(const std::filesystem::path& folder, const std::string& name, Coord shipCell) {
    std::string bytes = templateGalaxy().bytes();
    auto* player = reinterpret_cast<std::uint8_t*>(bytes.data() + PLAYER_RECORD_OFFSET);
    record::put16(player + playerRec::rX, shipCell.X);
    record::put16(player + playerRec::rY, shipCell.Y);
    std::ofstream out(folder / (name + ".glx"), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
