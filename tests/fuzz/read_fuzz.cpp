// Any bytes as an .air file: ReadAirfileType must agree with a plain whole-buffer search,
// never crash, never change the file.
#include <cstddef>
#include <cstdint>

#include "core/airfile.h"
#include "tests/fuzz/fuzz_support.h"

using namespace korvalis::fuzz;

namespace {

void Check(const Bytes& bytes)
{
    const auto path = ScratchDir() / "read.air";
    WriteFile(path, bytes);
    const long long at = TypeByteOffset(bytes);
    const std::string expected = at < 0 ? std::string() : std::to_string(bytes[static_cast<std::size_t>(at)]);
    const std::string got = korvalis::ReadAirfileType(path);
    if (got != expected) {
        Fail("ReadAirfileType disagrees with the reference",
             "size " + std::to_string(bytes.size()) + ", got \"" + got + "\", expected \"" + expected + "\"");
    }
    if (ReadFile(path) != bytes) Fail("ReadAirfileType changed the file", std::to_string(bytes.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Check(Bytes(data, data + size));
    // The same bytes behind one of the read seams; the input's length picks which.
    const std::size_t lead = kLeads[1 + size % 3];
    Check(WithLead(lead, data, size));
    return 0;
}
