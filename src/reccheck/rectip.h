#pragma once

#include <QString>
#include <optional>

// The recording tip setting ("RecTip" in "CheckRecTip") follows what the student last chose or
// last achieved: turning the tip off stores "no", turning it on stores "yes".

// The value to store when the tip should now be off (turnOff) or on, given whether it is on
// now; nothing when the setting already says so.
std::optional<QString> RecTipChange(bool turnOff, bool recTipOn);

// Writes "yes" or "no" as the tip setting; false when the settings file cannot be written.
bool WriteRecTip(const QString& value);

// Stores the tip setting by that rule. Throws ClientError when the settings file cannot be
// written; the setting then keeps its old value.
void UpdateRecTip(bool turnOff);
