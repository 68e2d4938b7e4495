#pragma once
// The genre table: a name for every genre byte 0..255, spelt as this program stores them.
#include <QString>
#include <array>

namespace sonavue {

extern std::array<QString, 256> GenreName;
// Fills all 256 entries (idempotent).
void setgenre();

} // namespace sonavue
