// The beep's tone player as a module of its own, loaded at the first beep: the audio
// libraries it pulls in are then not loaded at every start of the program.
#include "platform/tone_player.h"

extern "C" {

// The player with its audio output already looked up.
Q_DECL_EXPORT QObject* krCreateTonePlayer() {
    auto* player = new platform::TonePlayer;
    player->prepare();
    return player;
}

Q_DECL_EXPORT bool krPlayTone(QObject* player) { return static_cast<platform::TonePlayer*>(player)->play(); }

}
