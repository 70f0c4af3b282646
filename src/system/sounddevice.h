#pragma once

// True when the sound server offers at least one output device. Otherwise tells the user in a
// plain system message box and answers false once it is closed.
bool CheckSoundDevice();
