#include "catalogue/name_order.h"

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

int CompareNames(std::string_view a, std::string_view b)
{
    const int folded = CompareFolded(FoldedText(a), FoldedText(b));
    // UTF-8's bytes, compared unsigned, go in the order of the code points they stand for.
    return folded != 0 ? folded : Sign(a.compare(b));
}

bool ListedBefore(const AirfileRow& a, const AirfileRow& b)
{
    const int folders = CompareNames(a.FolderText(), b.FolderText());
    return folders != 0 ? folders < 0 : CompareNames(a.FileText(), b.FileText()) < 0;
}

}  // namespace korvalis
