#pragma once

#include <cstdint>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/airfile_list.h"

namespace korvalis {

// The row list in memory, for the tests, the benchmarks and the test programs.
class MemoryAirfileList final : public AirfileList {
public:
    [[nodiscard]] int Count() const override { return m_rows.Count(); }
    [[nodiscard]] const AirfileRow& Row(int position) const override { return m_rows.At(position - 1); }
    [[nodiscard]] bool IsMarked(int position) const override { return m_marks.at(Index(position)); }
    void SetMarked(int position, bool marked) override { m_marks.at(Index(position)) = marked; }
    void SetPendingType(int position, std::uint8_t code) override
    {
        m_rows.SetPendingType(position - 1, code);
    }
    void SetFileType(int position, std::uint8_t code) override { m_rows.SetFileType(position - 1, code); }
    void SetCopyType(int position, std::uint8_t code) override { m_rows.SetCopyType(position - 1, code); }
    void SetWrittenAlone(int position, WrittenAlone part) override
    {
        m_rows.SetWrittenAlone(position - 1, part);
    }
    void SetFailure(int position, std::string failure) override
    {
        if (std::exchange(throwAtFailure, false)) throw std::bad_alloc();
        m_rows.SetFailure(position - 1, std::move(failure));
    }
    void ClearFailures() override { m_rows.ClearFailures(); }
    void RemoveAll() override
    {
        m_rows.Clear();
        m_marks.clear();
    }
    [[nodiscard]] RowBatch TakeRemoved() override { return m_rows.TakeRemoved(); }
    using AirfileList::Append;
    void Append(RowBatch rows) override
    {
        const std::vector<std::uint32_t> moved = m_rows.Append(std::move(rows));
        std::vector<bool> marks(static_cast<std::size_t>(m_rows.Count()), false);
        for (std::size_t i = 0; i < m_marks.size(); ++i) marks[moved.empty() ? i : moved[i]] = m_marks[i];
        m_marks = std::move(marks);
    }
    void Sort(SortOrder order) override
    {
        std::vector<bool> marks(m_marks.size());
        const std::vector<std::uint32_t> from = m_rows.Sort(order);
        for (std::size_t i = 0; i < from.size(); ++i) marks[i] = m_marks[from[i]];
        m_marks = std::move(marks);
    }
    [[nodiscard]] SortOrder Order() const override { return m_rows.Order(); }
    [[nodiscard]] int ChangedCount() const override { return m_rows.ChangedCount(); }
    void BeginChanges() override { ++openChanges; }
    void EndChanges() override { --openChanges; }

    int openChanges = 0;          // BeginChanges not yet ended
    bool throwAtFailure = false;  // the next SetFailure throws, as when memory runs out

private:
    static std::size_t Index(int position) { return static_cast<std::size_t>(position - 1); }
    RowStore m_rows;
    std::vector<bool> m_marks;
};

}  // namespace korvalis
