#include <cstdio>
#include <ctime>
#include <memory>
#include <string>

#include "screen/Interrupt.h"
#include "presenters/PlayerConsole.h"
#include "catalog/Random.h"
#include "recording/Recording.h"
#include "recording/RecordingBackend.h"
#include "platform/Files.h"
#include "shell/CommandLine.h"
#include "shell/Game.h"
#include "shell/RecordedGame.h"

namespace {

struct Played {
    int signal = 0;                // the signal that stopped the game, or 0 when the player left
    std::string recordingFailure;  // why the recording stopped, when it did
};

// Runs the game, recording it when asked. The game (and with it the
// terminal) is already given back on return.
Played play(const CommandLineAction& action) {
    const auto seed = static_cast<unsigned>(std::time(nullptr));
    rng::srand(seed);
    // The recording's file is made before the terminal is taken over.
    std::unique_ptr<platform::File> recordingFile =
        action.kind == CommandLineAction::Kind::Record ? RecordingBackend::createFile(action.file) : nullptr;
    Played played;
    std::unique_ptr<Backend> backend = makePlayerConsole();
    RecordingBackend* recorder = nullptr;
    if (recordingFile != nullptr) {
        auto recording = std::make_unique<RecordingBackend>(std::move(backend), std::move(recordingFile), seed);
        recorder = recording.get();
        backend = std::move(recording);
    }
    Game game(std::move(backend));
    std::unique_ptr<GalaxyKeeper> keeper;
    if (recorder != nullptr) {
        keeper = std::make_unique<GalaxyKeeper>(*recorder, action.file);
        keeper->watch(game);
    }
    try {
        game.run();
    } catch (const GameInterrupted& stop) {
        played.signal = stop.signal();
    }
    if (recorder != nullptr) {
        recorder->noteEnd(played.signal);
        recorder->finish(false);
        played.recordingFailure = recorder->failure();
    }
    return played;
}

ReplayRequest requestOf(const CommandLineAction& action) {
    ReplayRequest request;
    request.file = action.file;
    for (const std::string& galaxy : action.galaxies) request.galaxies.emplace_back(galaxy);
    return request;
}

// Plays a recording back; the report goes to the standard output once the
// terminal is given back, or to the standard error when nothing was replayed.
int playBack(const CommandLineAction& action) {
    ReplayReport report;
    switch (action.kind) {
        case CommandLineAction::Kind::Replay:
            report = replayRecording(requestOf(action), [] { return makePlayerConsole(); });
            break;
        case CommandLineAction::Kind::Rerecord: report = rerecordRecording(requestOf(action)); break;
        default: report = verifyRecording(requestOf(action)); break;
    }
    std::fprintf(report.status == 2 ? stderr : stdout, "%s\n", report.text.c_str());
    return report.status;
}

}  // namespace

int main(int argc, char** argv) {
    const CommandLineAction action = interpretArguments(argc, argv);
    switch (action.kind) {
        case CommandLineAction::Kind::Help:
        case CommandLineAction::Kind::Version:
        case CommandLineAction::Kind::Refuse:
            std::fputs(action.text.c_str(), action.kind == CommandLineAction::Kind::Refuse ? stderr : stdout);
            return action.exitStatus;
        default: break;
    }
    int signal = 0;
    int status = 0;
    try {
        if (action.kind == CommandLineAction::Kind::Play || action.kind == CommandLineAction::Kind::Record) {
            const Played played = play(action);
            signal = played.signal;
            if (!played.recordingFailure.empty()) {
                std::fprintf(stderr, "starhollow: the recording %s %s; it replays up to there.\n", action.file.c_str(),
                             played.recordingFailure.c_str());
                status = 1;
            }
        } else {
            // A stop ends a check too, and its working folder goes with it.
            interrupt::install();
            status = playBack(action);
        }
    } catch (const ConsoleUnusable& unusable) {
        std::fprintf(stderr, "%s\n", unusable.what());
        return 1;
    } catch (const recording::Refused& refused) {
        std::fprintf(stderr, "starhollow: %s\n", refused.what());
        return 2;
    } catch (const GameInterrupted& stop) {
        // Ctrl+C, termination or hangup while a recording was played back.
        signal = stop.signal();
    }
    // Ended by Ctrl+C, termination or hangup: the status the shell expects.
    if (signal != 0) interrupt::exitBySignal(signal);
    return status;
}
