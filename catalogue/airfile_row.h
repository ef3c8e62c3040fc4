#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/text.h"

namespace korvalis {

// The type texts a row shows, by type code.
inline constexpr const char* kTypeTexts[] = {"Aircraft", "Helicopter", "non flyable"};

// The type cell's text for a type code: one of kTypeTexts, "" for codes other than 0, 1 and 2.
inline std::string TypeText(std::uint8_t code) { return code < 3 ? kTypeTexts[code] : ""; }

// The copy of a row's file in the VirtualStore, which the simulator reads in its place when it
// runs without administrator rights.
struct StoreCopy {
    std::filesystem::path folder;  // the names as the VirtualStore's listings returned them
    std::filesystem::path file;
    // Its type as far as the program knows; none when it holds no type byte or could not be read.
    std::optional<std::uint8_t> type;
};

// Which of a row's file and its copy a write did while the other failed: the next write leaves
// that one alone, so its backup keeps what it held before.
enum class WrittenAlone : std::uint8_t { Neither, File, Copy };

// One row of the aircraft list: one .air file one folder below the aircraft directory.
struct AirfileRow {
    // The names exactly as the file system returned them, so the path rebuilt for
    // writing is the file that was scanned, whatever characters its name holds.
    std::filesystem::path folder;
    std::filesystem::path file;
    std::uint8_t scannedType = 0;  // the type the scan read; the type cell's tooltip shows it
    std::uint8_t fileType = 0;     // the type the file holds as far as the program knows
    std::uint8_t pendingType = 0;  // the type "Write" would write: the type cell shows it
    std::string folderKey;         // sort keys, made once when the row is made
    std::string fileKey;
    std::uint32_t scanIndex = 0;  // the row's place in scan order
    std::string failure;          // why the last write or restore of its file failed; "" when none
    std::optional<StoreCopy> copy;
    WrittenAlone writtenAlone = WrittenAlone::Neither;

    [[nodiscard]] std::string FolderText() const { return PathToUtf8(folder); }  // column "Dir"
    [[nodiscard]] std::string FileText() const { return PathToUtf8(file); }      // column "Airfile"
    [[nodiscard]] bool Changed() const
    {
        return pendingType != fileType || writtenAlone != WrittenAlone::Neither;
    }
};

// Rows are made on the heap one by one where they are read and stay there: handing tens of
// thousands over, growing the list and sorting it move pointers, never a row.
using RowBatch = std::vector<std::unique_ptr<AirfileRow>>;

enum class SortColumn { Scan, Folder, File, Type };

// The order of the rows: the scan's until a column is chosen.
struct SortOrder {
    SortColumn column = SortColumn::Scan;
    bool descending = false;
    bool operator==(const SortOrder&) const = default;
};

// Whether `a` goes before `b`: by the column (names by their keys, types by code with empty
// cells last), ties by folder, then file, then scan order. Descending reverses all but the
// scan order, so equal rows keep the order they were found in either way.
bool RowBefore(const AirfileRow& a, const AirfileRow& b, SortOrder order);

}  // namespace korvalis
