#include "logdata/NmeaParser.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>

#include "logdata/NumberText.h"

namespace quillon {

namespace {

constexpr int kLastGgaField = 10;  // altitude
constexpr int kLastRmcField = 10;  // date

// Bit k set where byte k of the `count` (at most 64) bytes from `at` is a
// comma. Eight bytes at a time where the byte order allows: a byte that is
// zero after the XOR with commas gets its high bit, and the multiplication
// gathers those eight bits into the top byte.
std::uint64_t CommaBits(const char* at, std::size_t count) {
  std::uint64_t bits = 0;
  std::size_t k = 0;
  if constexpr (std::endian::native == std::endian::little) {
    constexpr std::uint64_t kCommas = 0x2C2C2C2C2C2C2C2Cull;
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    for (; k + 8 <= count; k += 8) {
      std::uint64_t word;
      std::memcpy(&word, at + k, sizeof word);
      const std::uint64_t x = word ^ kCommas;
      const std::uint64_t zero = ~(((x & kLow7) + kLow7) | x | kLow7);
      bits |= ((zero >> 7) * 0x0102040810204080ull >> 56) << k;
    }
  }
  for (; k < count; ++k) bits |= std::uint64_t{at[k] == ','} << k;
  return bits;
}

// Calls handle(number, field, position) for every comma-terminated field of
// `text`, numbered from `firstNumber`, up to field `lastNumber`: the fields
// after it hold nothing a record keeps. Whatever follows the last comma (the
// checksum of a standard sentence) is never a field.
template <typename Handler>
void ForEachField(std::string_view text, int firstNumber, int lastNumber, Handler&& handle) {
  // Field lengths differ from line to line, so a test per byte that ends a
  // field is a guess the processor often gets wrong. The commas come from a
  // bit map of 64 bytes at a time instead, and the loop runs once per field.
  std::size_t field = 0;
  int number = firstNumber;
  for (std::size_t from = 0; from < text.size(); from += 64) {
    for (std::uint64_t bits = CommaBits(text.data() + from, std::min<std::size_t>(text.size() - from, 64)); bits;
         bits &= bits - 1) {
      const std::size_t comma = from + static_cast<std::size_t>(std::countr_zero(bits));
      handle(number, text.substr(field, std::min(comma - field, kMaxFieldLength)), field);
      field = comma + 1;
      if (++number > lastNumber) return;
    }
  }
}

// The sentence text from `position` to the end of the line.
TextSpan SentenceSpan(std::string_view text, std::size_t position, const char* textBase) {
  TextSpan span;
  span.offset = static_cast<std::uint32_t>(text.data() + position - textBase);
  span.length = static_cast<std::uint8_t>(std::min(text.size() - position, kMaxSentenceLength));
  return span;
}

// Two characters at `position` of a hhmmss or ddmmyy field, as a number.
std::uint8_t TwoDigits(std::string_view field, std::size_t position) {
  if (position >= field.size()) return 0;
  if (position + 1 < field.size() && number_text::IsDigit(field[position]) &&
      number_text::IsDigit(field[position + 1])) {
    return static_cast<std::uint8_t>((field[position] - '0') * 10 + (field[position + 1] - '0'));
  }
  return static_cast<std::uint8_t>(LeadingInt(field.substr(position, 2)));
}

char FirstCharacter(std::string_view field) { return field.empty() ? '\0' : field[0]; }

void SetTime(std::string_view field, FixRecord& record) {
  record.utcHour = TwoDigits(field, 0);
  record.utcMinute = TwoDigits(field, 2);
  record.utcSecond = TwoDigits(field, 4);
}

void SetCoordinate(std::string_view field, FixedText<15>& text, FixedText<15>& degrees) {
  // The record keeps the coordinate as NUL-terminated text of its capacity,
  // and its degrees are those of that text.
  const std::size_t most = std::min(field.size(), FixedText<15>::Capacity());
  const void* nul = std::memchr(field.data(), '\0', most);
  const std::size_t length = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - field.data()) : most;
  field = field.substr(0, length);
  // The RMC line normally repeats the GGA line's position, whose degrees the
  // record already holds: the same characters, and the text ends there.
  if (std::memcmp(text.data, field.data(), length) == 0 && text.data[length] == '\0') return;
  text.Assign(field);
  ToDecimalDegrees(field, degrees);
}

}  // namespace

void ApplyTagField(std::string_view field, FixRecord& record) {
  auto at = [&](std::size_t i) { return i < field.size() ? field[i] : '\0'; };
  bool d0 = at(0) == '-';
  bool d1 = at(1) == '-';
  bool d2 = at(2) == '-';
  std::size_t digitsFrom;
  if (d0 && d1 && d2) {
    record.tag = kNoTag;
    record.untagged = true;
    return;
  } else if (d0 && d1) {
    digitsFrom = 2;
  } else if (d0 && !d2) {
    digitsFrom = 1;
  } else if (!d0 && !d1 && !d2) {
    digitsFrom = 0;
  } else {
    return;
  }
  // The logger's counter goes to 999; a damaged field with a larger number
  // is held there rather than wrapped onto a real tag.
  record.tag = static_cast<std::uint16_t>(std::clamp(LeadingInt(field.substr(digitsFrom)), 0, kMaxTag));
  record.untagged = false;
}

// $GPGGA,064506.000,2503.1234,N,12130.5678,E,1,08,1.0,45.3,M,15.0,M,,0000*6A
//   1     2          3         4 5          6 7 8  9   10
// (field 0 is the tag field when the line starts with one: ---,$GPGGA,...)
void ParseGgaSentence(std::string_view text, bool hasTagField, FixRecord& record, std::int32_t& fixCounter,
                      const char* textBase) {
  ForEachField(text, hasTagField ? 0 : 1, kLastGgaField, [&](int number, std::string_view field, std::size_t position) {
    record.sequence = fixCounter;
    switch (number) {
      case 0: ApplyTagField(field, record); break;
      case 1: record.ggaSentence = SentenceSpan(text, position, textBase); break;
      case 2: SetTime(field, record); break;
      case 3: SetCoordinate(field, record.latitudeText, record.latitudeDegrees); break;
      case 4: record.northSouth = FirstCharacter(field); break;
      case 5: SetCoordinate(field, record.longitudeText, record.longitudeDegrees); break;
      case 6: record.eastWest = FirstCharacter(field); break;
      case 8: record.satellites = LeadingInt(field); break;
      case 9: record.hdop = LeadingDouble(field); break;
      case 10: record.altitude = LeadingDouble(field); break;
      default: break;
    }
  });
  // The counter only ever grows; wrapping after 2^31 fixes keeps it defined.
  fixCounter = static_cast<std::int32_t>(static_cast<std::uint32_t>(fixCounter) + 1u);
}

// $GPRMC,064506.000,A,2503.1234,N,12130.5678,E,0.12,123.45,120308,,,A*6B
//   1     2          3 4         5 6          7 8    9      10
// (field 0 is the tag field when the line starts with one: ---,$GPRMC,...)
void ReadRmcFields(std::string_view text, bool hasTagField, FixRecord& record, const char* textBase) {
  ForEachField(text, hasTagField ? 0 : 1, kLastRmcField, [&](int number, std::string_view field, std::size_t position) {
    switch (number) {
      case 0: ApplyTagField(field, record); break;
      case 1: record.rmcSentence = SentenceSpan(text, position, textBase); break;
      case 2: SetTime(field, record); break;
      case 4: SetCoordinate(field, record.latitudeText, record.latitudeDegrees); break;
      case 5: record.northSouth = FirstCharacter(field); break;
      case 6: SetCoordinate(field, record.longitudeText, record.longitudeDegrees); break;
      case 7: record.eastWest = FirstCharacter(field); break;
      case 8: record.speedKnots = LeadingInt(field); break;
      case 9: record.courseText.Assign(field); break;
      case 10:
        record.utcDay = TwoDigits(field, 0);
        record.utcMonth = TwoDigits(field, 2);
        record.utcYear = TwoDigits(field, 4);
        break;
      default: break;
    }
  });
}

void ParseRmcSentence(std::string_view text, bool hasTagField, FixRecord& record, FixList& fixList,
                      const char* textBase) {
  ReadRmcFields(text, hasTagField, record, textBase);
  fixList.Append(record);
}

void ToDecimalDegrees(std::string_view coordinateText, FixedText<15>& out) {
  const char* text = coordinateText.data();
  const std::size_t size = coordinateText.size();
  std::size_t dot = 0;
  while (dot < size && text[dot] != '.') ++dot;
  // Without a point the minutes are the first two characters and their
  // decimals follow the third; with one, the two before the point.
  std::size_t minutesAt = 0;
  std::size_t decimalsAt = 3;
  if (dot == size) {
    if (size < 3) {
      out.Assign({});
      return;
    }
  } else {
    if (dot < 2) {
      out.Assign({});
      return;
    }
    minutesAt = dot - 2;
    decimalsAt = dot + 1;
  }
  // Minutes times 10 000: two minute digits and exactly four decimals (the
  // digits after the point, cut or padded with zeros), so that ddmm.mm and
  // ddmm.mmmmm read as the same number of minutes.
  char digits[6] = {text[minutesAt], text[minutesAt + 1], '0', '0', '0', '0'};
  for (std::size_t i = 0; i < 4 && decimalsAt + i < size && number_text::IsDigit(text[decimalsAt + i]); ++i) {
    digits[2 + i] = text[decimalsAt + i];
  }
  std::int32_t minutesValue = 0;
  if (number_text::IsDigit(digits[0]) && number_text::IsDigit(digits[1])) {
    // Written out: the six digits are the whole cost of a position.
    minutesValue = (digits[0] - '0') * 100000 + (digits[1] - '0') * 10000 + (digits[2] - '0') * 1000 +
                   (digits[3] - '0') * 100 + (digits[4] - '0') * 10 + (digits[5] - '0');
  } else {
    minutesValue = LeadingInt(std::string_view(digits, 6));
  }
  const std::int32_t millionths = minutesValue * 10 / 6;

  // The degrees are whatever precedes the minutes: a few characters, so the
  // text normally fits the record's field as it is written into it.
  constexpr std::size_t kMostWritten = 1 + 7;  // '.' and the digits of 1 666 665 at most
  if (millionths >= 0 && minutesAt + kMostWritten <= FixedText<15>::Capacity()) {
    char* at = out.data;
    for (std::size_t i = 0; i < minutesAt; ++i) *at++ = text[i];
    *at++ = '.';
    // "%06d" of a number below 10 000 000
    auto value = static_cast<std::uint32_t>(millionths);
    const std::size_t width = value >= 1000000 ? 7 : 6;
    for (std::size_t i = width; i-- > 0;) {
      at[i] = static_cast<char>('0' + value % 10);
      value /= 10;
    }
    at[width] = '\0';
    return;
  }
  char buffer[40];
  std::size_t n = std::min(minutesAt, FixedText<15>::Capacity());
  for (std::size_t i = 0; i < n; ++i) buffer[i] = text[i];
  buffer[n++] = '.';
  n += static_cast<std::size_t>(std::snprintf(buffer + n, sizeof buffer - n, "%06d", static_cast<int>(millionths)));
  out.Assign(std::string_view(buffer, n));
}

}  // namespace quillon
