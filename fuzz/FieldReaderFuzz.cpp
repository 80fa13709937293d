// SPDX-License-Identifier: MIT
// The field rules on any bytes: the reader always moves on, a quoted field
// holds no quote and an unquoted one no comma or line end, and only the
// end of the text leaves a field unterminated.
#include "FieldReader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    nortavi::FieldReader reader({reinterpret_cast<const char*>(data), size});
    std::size_t fields = 0;
    bool textEnded = false;
    while (const auto field = reader.NextField()) {
        const bool quoteInside = field->find('"') != std::string::npos;
        const bool delimiterInside = field->find_first_of(",\r\n") != std::string::npos;
        // Every field consumes at least one byte.
        if (textEnded || ++fields > size || (quoteInside && delimiterInside)) {
            std::abort();
        }
        textEnded = !reader.LastFieldTerminated();
    }
    return 0;
}
