#pragma once

#include <string_view>

namespace quillon::fuzz {

// Whether `document` is well-formed XML 1.0 as far as the documents this
// program writes can go: an optional declaration, comments, processing
// instructions, one root element with quoted attributes, character data with
// the predefined and numeric references, CDATA sections. A DOCTYPE is not
// accepted (none is ever written). Characters must be well-formed UTF-8 and
// allowed in XML.
bool IsWellFormedXml(std::string_view document);

}  // namespace quillon::fuzz
