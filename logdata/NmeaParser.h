#pragma once

#include <cstdint>
#include <string_view>

#include "core/FixList.h"
#include "core/FixRecord.h"
#include "core/FixedText.h"

namespace quillon {

// Sizes that shape what a record keeps of a raw log line.
inline constexpr std::size_t kMaxLineLength = 1023;
inline constexpr std::size_t kMaxFieldLength = 63;
inline constexpr std::size_t kMaxSentenceLength = 127;

// Fills `record` from a GGA sentence. With a tag field, `text` starts with
// the tag field and the comma before "$GPGGA"; otherwise it starts at
// "$GPGGA". It ends where the sentence ends.
// `textBase` is the start of the raw log text that `text` lies in, so that the
// record's sentence span can point into it. Each field step stores the
// current fixCounter into `sequence`; the counter grows by one at the end.
void ParseGgaSentence(std::string_view text, bool hasTagField, FixRecord& record, std::int32_t& fixCounter,
                      const char* textBase);

// Completes `record` from an RMC line (same conventions as the GGA parser).
void ReadRmcFields(std::string_view text, bool hasTagField, FixRecord& record, const char* textBase);

// ReadRmcFields, then appends the completed record to `fixList`.
void ParseRmcSentence(std::string_view text, bool hasTagField, FixRecord& record, FixList& fixList,
                      const char* textBase);

// The tag-field rule: "---" means no tag, "--7", "-12" and "123" carry the
// whole number, held to 0 to kMaxTag; any other shape leaves `tag` unchanged.
void ApplyTagField(std::string_view field, FixRecord& record);

// ddmm.mmmm / dddmm.mmmm to unsigned decimal-degree text such as 25.052056.
// A coordinate that cannot be converted (empty, too short, '.' too early)
// gives an empty text.
void ToDecimalDegrees(std::string_view coordinateText, FixedText<15>& out);

}  // namespace quillon
