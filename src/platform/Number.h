#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace kivo {

// Every number in the system is held as text. This is the one reader of such
// text: blanks around the number, an optional sign, digits and an optional
// decimal fraction. Full-width digits, signs, point and blanks count like their
// ASCII forms, because a Japanese input method easily leaves them in a line.
std::optional<double> readNumber(const QString& text);

// Reads text as a whole number of 32 bits; a fraction or an out-of-range value
// gives no number.
std::optional<std::int32_t> readInt32(const QString& text);

}  // namespace kivo
