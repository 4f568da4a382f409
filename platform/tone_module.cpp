// The beep's tone player as a module of its own, loaded at the first beep: the audio
// libraries it pulls in are then not loaded at every start of the program.
#include "platform/tone_player.h"

extern "C" {

Q_DECL_EXPORT QObject* krCreateTonePlayer() { return new platform::TonePlayer; }

Q_DECL_EXPORT bool krPlayTone(QObject* player) { return static_cast<platform::TonePlayer*>(player)->play(); }

}
