#include "shell/Game.h"

#include <cstring>

#include "screen/HelpFuncLib.h"
#include "screen/Interrupt.h"
#include "screen/KeyCodes.h"
#include "storage/GalaxyFile.h"

namespace {

constexpr const char* GAME_TITLE = "Starhollow";

void writeCentred(ConLib* console, int y, const char* text) {
    writeAt(console, foundMiddle(SCREEN_WIDTH, static_cast<int>(std::strlen(text))), y, text);
}

}  // namespace

Game::Game(std::unique_ptr<Backend> backend) : console(std::move(backend)) {
    sector.setPlayer(&player);
    sector.setEncounters(&encounters);
    dialogWindow.width = 45;
    dialogWindow.height = 8;
    dialogWindow.position = Coord{static_cast<short>(foundMiddle(80, 45)), static_cast<short>(foundMiddle(25, 8))};
    dialogWindow.backgroundColor = 7;
    dialogWindow.textColor = 1;
    dialogWindow.console = &console;
    clearTable(worldName, 20);
    console.SetTitle(GAME_TITLE);
}

void Game::run() {
    removeCreationLeftovers();
    int choice = CHOICE_EXIT;
    do {
        // A destroyed ship is reported here, after the galaxy view returned.
        if (player.getaHealth() <= 0) gameOver(&console);
        leaveGalaxy();
        choice = menu(&console);
        switch (choice) {
            case CHOICE_EXIT:
                if (!confirmQuit()) choice = -1;
                break;
            case CHOICE_NEW_GAME:
                if (newGame(&console)) playGalaxy();
                break;
            case CHOICE_LOAD:
                if (load(&console)) playGalaxy();
                break;
            case CHOICE_TUTORIAL: playTutorial(); break;
            case CHOICE_CREDITS: credits(&console); break;
            default: break;
        }
    } while (choice != CHOICE_EXIT);
}

void Game::playGalaxy() {
    try {
        // A galaxy saved with its ship already lost goes straight to the game over.
        if (player.getaHealth() > 0) sector.ShowMap(&console);
    } catch (const GameInterrupted&) {
        // Ctrl+C, termination or hangup: the key wait threw between two
        // actions, so what is in memory is whole; keep it as Esc would.
        saveAfterGalaxy();
        throw;
    }
    saveAfterGalaxy();
}

void Game::saveAfterGalaxy() {
    if (worldName[0] == '\0') return;
    // A won galaxy whose ship was then destroyed keeps its last intact state.
    if (player.getaHealth() <= 0 && player.getIsWinner()) return;
    sector.save(nullptr, false);
}

bool Game::confirmQuit() {
    return dialogWindow.ShowDialog("INFORMATION", "Are you sure you want to quit the game?\n\nY - YES / N - NO", 'Y',
                                   'N');
}

void Game::drawMenu(ConLib* con) {
    con->SetBackgroundColor(0);
    con->SetTextColor(7);
    con->Clear();
    DrawBorder(80, 25, Coord{0, 0}, "MAIN MENU", con);
    writeCentred(con, 2, GAME_TITLE);
    const int column = foundMiddle(80, 12);
    writeAt(con, column, 4, "N - New Game");
    writeAt(con, column, 5, "T - Tutorial");
    writeAt(con, column, 6, "L - Load Game");
    writeAt(con, column, 7, "C - Credits");
    writeAt(con, column, 8, "E - Exit");
    writeAt(con, 2, 22, "Beta version 1.1.0 - a trading voyage for the text terminal");
    con->SetPosition(Coord{0, 0});
    con->SetTextColor(7);
}

int Game::menu(ConLib* con) {
    drawMenu(con);
    for (;;) {
        switch (con->GetKey()) {
            case 'N': return CHOICE_NEW_GAME;
            case 'T': return CHOICE_TUTORIAL;
            case 'L': return CHOICE_LOAD;
            case 'C': return CHOICE_CREDITS;
            case 'E': return CHOICE_EXIT;
            default: break;
        }
    }
}

void Game::drawCredits(ConLib* con) {
    con->SetBackgroundColor(0);
    con->SetTextColor(7);
    con->Clear();
    DrawBorder(79, 25, Coord{0, 0}, "CREDITS", con);
    static const struct {
        int row;
        const char* text;
    } lines[] = {{2, "Game project:"}, {4, "Quillmark"},  {6, "Graphics:"},          {8, "Quillmark"},
                 {10, "Programming:"}, {12, "Quillmark"}, {14, "Tested by:"},        {16, "Brannoch"},
                 {17, "Quillmark"},    {19, "Special thanks to:"}, {21, "Vellmir"}};
    for (const auto& line : lines) writeCentred(con, line.row, line.text);
    con->SetPosition(Coord{0, 0});
}

void Game::credits(ConLib* con) {
    drawCredits(con);
    while (con->GetKey() == 0) {
    }
}

void Game::gameOver(ConLib* con) {
    // One health point, however far below zero the hull went, so that the
    // next pass of the menu does not report the loss again.
    player.addHealth(1 - player.getaHealth());
    const std::string file = galaxy::fileName(worldName);
    const char* text =
        "Yours ship crashed and your dead body is\nflying now somewere in cosmos space!\n\nGalaxy wasn't deleted. If "
        "you want to continue game use LOAD option.\n\nPress ENTER to continue...";
    // Only a galaxy of the player's own is ever deleted; after the tutorial
    // no galaxy name is in play.
    if (!player.getIsWinner() && worldName[0] != '\0') {
        if (!platform::removeFile(file)) {
            con->err() << "Error! Cannot delete file!" << '\n';
            con->pause();
            return;
        }
        // A save left pending must never reach a later galaxy of that name.
        platform::removeFile(galaxy::pendingSaveFileName(file));
        // Windows removes a file for good when its last handle closes.
        leaveGalaxy();
        text =
            "Yours ship crashed and your dead body is\nflying now somewere in cosmos space!\n\nGalaxy was deleted. If "
            "you want to start\nanother adventure use NEW GAME option.\n\nPress ENTER to continue...";
    }
    showMessage(con, 47, 11, "GAME OVER", text, CloseOn::Enter);
}
