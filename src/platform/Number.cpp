#include "platform/Number.h"

#include <cmath>
#include <limits>

namespace kivo {
namespace {

// Folds the full-width forms of the characters a number may contain.
QChar narrow(QChar c) {
  const char16_t u = c.unicode();
  if (u >= u'０' && u <= u'９') return QChar(char16_t(u'0' + (u - u'０')));
  switch (u) {
    case u'＋': return QChar(u'+');
    case u'－': return QChar(u'-');
    case u'−': return QChar(u'-');
    case u'．': return QChar(u'.');
    case u'　': return QChar(u' ');
    default: return c;
  }
}

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

}  // namespace

std::optional<double> readNumber(const QString& text) {
  QString s;
  s.reserve(text.size());
  for (QChar c : text) s.append(narrow(c));

  qsizetype i = 0;
  qsizetype end = s.size();
  while (i < end && isBlank(s[i])) ++i;
  while (end > i && isBlank(s[end - 1])) --end;

  QString plain;
  if (i < end && (s[i] == u'+' || s[i] == u'-')) plain.append(s[i++]);
  qsizetype digits = 0;
  while (i < end && isDigit(s[i])) { plain.append(s[i++]); ++digits; }
  if (i < end && s[i] == u'.') {
    plain.append(s[i++]);
    while (i < end && isDigit(s[i])) { plain.append(s[i++]); ++digits; }
  }
  if (digits == 0 || i != end) return std::nullopt;

  bool ok = false;
  const double value = plain.toDouble(&ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  return value == 0.0 ? 0.0 : value;  // no negative zero
}

std::optional<std::int32_t> readInt32(const QString& text) {
  const auto n = readNumber(text);
  if (!n || std::trunc(*n) != *n) return std::nullopt;
  if (*n < std::numeric_limits<std::int32_t>::min() ||
      *n > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(*n);
}

}  // namespace kivo
