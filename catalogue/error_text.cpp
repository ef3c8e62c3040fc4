#include "catalogue/error_text.h"

#include "core/airfile.h"

namespace korvalis {

std::string ErrorText(std::int32_t result)
{
    switch (result) {
        case kWriteNoMarker:
            return "The file no longer holds a type marker.";
        case kErrorShortTransfer:
            return "A read or write moved fewer bytes than asked for.";
        case kErrorTypeCodeRange:
            return "The type code lies outside 0 to 255.";
        case kErrorFileChanged:
            return "The file was changed by another program while it was being written.";
        case kErrorFileReplaced:
            return "The file was replaced by another while it was being written.";
        case kErrorBackupNoTypeByte:
            return "The backup holds no type marker.";
        case kErrorBackupMismatch:
            return "The backup belongs to another version of the file.";
        default:
            break;
    }
    std::string text = detail::SystemErrorText(result);
    // The system's messages end in a line break, which a status line does not want.
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text.empty() ? "Error " + std::to_string(result) + "." : text;
}

}  // namespace korvalis
