#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace korvalis {

// One row of the aircraft list: one .air file one folder below the aircraft directory.
struct AirfileRow {
    // The names exactly as the file system returned them, so the path rebuilt for
    // writing is the file that was scanned, whatever characters its name holds.
    std::filesystem::path folder;
    std::filesystem::path file;
    std::string folderText;  // column "Dir", the row's main text and tooltip
    std::string fileText;    // column "Airfile", text and tooltip
    std::string typeText;    // column "Aircraft type"
    std::string typeTip;     // its tooltip: the type as scanned, kept when the text changes
};

// The list the catalogue commands work on. Positions count from 1, in list order.
class AirfileList {
public:
    virtual ~AirfileList() = default;
    [[nodiscard]] virtual int Count() const = 0;
    [[nodiscard]] virtual const AirfileRow& Row(int position) const = 0;
    [[nodiscard]] virtual bool IsMarked(int position) const = 0;
    virtual void SetMarked(int position, bool marked) = 0;
    virtual void SetTypeText(int position, const std::string& text) = 0;
    virtual void RemoveAll() = 0;
    virtual void Append(AirfileRow row) = 0;
    // Brackets a run of appends, so a window can hold its redraw until the end.
    virtual void BeginAppending() {}
    virtual void EndAppending() {}
};

class MemoryAirfileList final : public AirfileList {
public:
    [[nodiscard]] int Count() const override { return static_cast<int>(m_rows.size()); }
    [[nodiscard]] const AirfileRow& Row(int position) const override { return At(position).first; }
    [[nodiscard]] bool IsMarked(int position) const override { return At(position).second; }
    void SetMarked(int position, bool marked) override { At(position).second = marked; }
    void SetTypeText(int position, const std::string& text) override { At(position).first.typeText = text; }
    void RemoveAll() override { m_rows.clear(); }
    void Append(AirfileRow row) override { m_rows.emplace_back(std::move(row), false); }

private:
    using Entry = std::pair<AirfileRow, bool>;
    Entry& At(int position) { return m_rows.at(static_cast<std::size_t>(position - 1)); }
    [[nodiscard]] const Entry& At(int position) const
    {
        return m_rows.at(static_cast<std::size_t>(position - 1));
    }
    std::vector<Entry> m_rows;
};

}  // namespace korvalis
