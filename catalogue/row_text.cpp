#include "catalogue/row_text.h"

#include "core/text.h"

namespace fs = std::filesystem;

namespace korvalis {

namespace {

using Native = fs::path::string_type;

// ASCII text in the platform's own string type.
Native Ascii(const std::string& text) { return Native(text.begin(), text.end()); }

}  // namespace

fs::path RowPath(const std::string& aircraftDir, const AirfileRow& row)
{
    // The path's own "/" adds a separator only where the directory does not end with one.
    return PathFromUtf8(aircraftDir) / row.folder / row.file;
}

fs::path CopyPath(const fs::path& storeDir, const AirfileRow& row)
{
    if (!row.copy || storeDir.empty()) return {};
    return storeDir / row.copy->folder / row.copy->file;
}

std::string RowTipLines(const AirfileRow& row)
{
    std::string lines;
    if (row.copy && row.copy->type && *row.copy->type != row.fileType) {
        const std::uint8_t code = *row.copy->type;
        lines = "The copy in the VirtualStore holds: " +
                (code < 3 ? TypeText(code) : "type " + std::to_string(code));
    }
    if (!row.failure.empty()) lines += (lines.empty() ? "" : "\n") + row.failure;
    return lines;
}

Native CopyText(const AirfileList& list, const std::vector<int>& positions, const std::string& aircraftDir)
{
    if (positions.empty()) return {};
    const Native tab = Ascii("\t"), end = Ascii("\r\n");
    Native text = Ascii("Dir\tAirfile\tAircraft type\tPath") + end;
    for (const int position : positions) {
        const AirfileRow& row = list.Row(position);
        text += row.folder.native() + tab + row.file.native() + tab + Ascii(TypeText(row.pendingType)) + tab +
                RowPath(aircraftDir, row).native() + end;
    }
    return text;
}

}  // namespace korvalis
