// The lenient record reader and the field conversions on any bytes.
#include "common/textrecord.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace sonaveil;
    TextRecordReader reader(std::string_view(reinterpret_cast<const char*>(data), size));
    std::size_t fields = 0;
    while (auto field = reader.next()) {
        if (++fields > size + 1)
            std::abort(); // every field consumes input or ends it
        fieldToInteger(*field);
        fieldToInt16(*field);
        fieldToBoolean(*field);
        if (const auto n = fieldToNumber(*field))
            if (!std::isfinite(*n) || std::fabs(*n) > 1e9)
                std::abort();
    }
    return 0;
}
