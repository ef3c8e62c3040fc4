#include "catalogue/name_order.h"

#include <algorithm>

#include "core/case_fold.h"

namespace korvalis {

namespace {

bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

int Sign(auto difference) { return difference < 0 ? -1 : difference > 0 ? 1 : 0; }

int CompareFolded(const std::u32string& a, const std::u32string& b)
{
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (!IsDigit(a[i]) || !IsDigit(b[j])) {
            if (a[i] != b[j]) return a[i] < b[j] ? -1 : 1;
            ++i;
            ++j;
            continue;
        }
        // Leading zeros say nothing of the number; then the longer run is the larger number.
        while (i + 1 < a.size() && a[i] == U'0' && IsDigit(a[i + 1])) ++i;
        while (j + 1 < b.size() && b[j] == U'0' && IsDigit(b[j + 1])) ++j;
        std::size_t endA = i, endB = j;
        while (endA < a.size() && IsDigit(a[endA])) ++endA;
        while (endB < b.size() && IsDigit(b[endB])) ++endB;
        if (endA - i != endB - j) return endA - i < endB - j ? -1 : 1;
        for (; i < endA; ++i, ++j) {
            if (a[i] != b[j]) return a[i] < b[j] ? -1 : 1;
        }
    }
    return Sign(static_cast<long long>(a.size() - i) - static_cast<long long>(b.size() - j));
}

}  // namespace

// UTF-8's bytes, compared unsigned as std::string compares them, go in the order of the code
// points they stand for.
int CompareNames(std::string_view a, std::string_view b)
{
    const int folded = CompareFolded(FoldedText(a), FoldedText(b));
    return folded != 0 ? folded : Sign(a.compare(b));
}

void SortListed(std::vector<const AirfileRow*>& rows)
{
    // Each name folded once, not at every comparison: a sort compares each row some 2 log n times.
    struct Keyed {
        std::string folder, file;
        std::u32string foldedFolder, foldedFile;
        const AirfileRow* row;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(rows.size());
    for (const AirfileRow* row : rows) {
        std::string folder = row->FolderText(), file = row->FileText();
        std::u32string foldedFolder = FoldedText(folder), foldedFile = FoldedText(file);
        keyed.push_back(
            {std::move(folder), std::move(file), std::move(foldedFolder), std::move(foldedFile), row});
    }
    const auto compare = [](const std::u32string& foldedA, const std::u32string& foldedB,
                            const std::string& a, const std::string& b) {
        const int folded = CompareFolded(foldedA, foldedB);
        return folded != 0 ? folded : Sign(a.compare(b));
    };
    std::sort(keyed.begin(), keyed.end(), [&compare](const Keyed& a, const Keyed& b) {
        const int folders = compare(a.foldedFolder, b.foldedFolder, a.folder, b.folder);
        return folders != 0 ? folders < 0 : compare(a.foldedFile, b.foldedFile, a.file, b.file) < 0;
    });
    for (std::size_t i = 0; i < keyed.size(); ++i) rows[i] = keyed[i].row;
}

}  // namespace korvalis
