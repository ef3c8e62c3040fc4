#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/airfile_row.h"
#include "catalogue/row_store.h"

namespace korvalis {

// The list the catalogue commands work on. Positions count from 1, in shown order.
class AirfileList {
public:
    virtual ~AirfileList() = default;
    [[nodiscard]] virtual int Count() const = 0;
    [[nodiscard]] virtual const AirfileRow& Row(int position) const = 0;
    [[nodiscard]] virtual bool IsMarked(int position) const = 0;
    virtual void SetMarked(int position, bool marked) = 0;
    // The marked rows' positions, first to last.
    [[nodiscard]] virtual std::vector<int> MarkedPositions() const
    {
        std::vector<int> marked;
        for (int position = 1; position <= Count(); ++position) {
            if (IsMarked(position)) marked.push_back(position);
        }
        return marked;
    }
    // Marks or un-marks every row at once.
    virtual void SetAllMarked(bool marked)
    {
        for (int position = 1; position <= Count(); ++position) SetMarked(position, marked);
    }
    virtual void SetPendingType(int position, std::uint8_t code) = 0;
    // The row's file now holds `code`, written or restored; nothing is pending for it.
    virtual void SetFileType(int position, std::uint8_t code) = 0;
    // The row's VirtualStore copy now holds `code`, written or restored.
    virtual void SetCopyType(int position, std::uint8_t code) = 0;
    // Which of the row's file and copy its last write did alone.
    virtual void SetWrittenAlone(int position, WrittenAlone part) = 0;
    // Why the row's write or restore failed; shown with the row until the next write or restore.
    virtual void SetFailure(int position, std::string failure) = 0;
    virtual void ClearFailures() = 0;
    virtual void RemoveAll() = 0;
    // The rows the last RemoveAll took out, not yet freed: the scan frees them on its worker.
    [[nodiscard]] virtual RowBatch TakeRemoved() = 0;
    // Rows in scan order, as a scan fills the list; a sorted list puts each in its place, and the
    // marks stay with their rows.
    virtual void Append(RowBatch rows) = 0;
    // The same, for rows made in place.
    void Append(std::vector<AirfileRow> rows)
    {
        RowBatch batch;
        batch.reserve(rows.size());
        for (AirfileRow& row : rows) batch.push_back(std::make_unique<AirfileRow>(std::move(row)));
        Append(std::move(batch));
    }
    // Orders the rows; the marks and pending types stay with their rows. Kept for later scans.
    virtual void Sort(SortOrder order) = 0;
    [[nodiscard]] virtual SortOrder Order() const = 0;
    // Rows whose pending type differs from their file's.
    [[nodiscard]] virtual int ChangedCount() const = 0;
    // Bracket a run of changes to many rows, so a window draws them once at the end.
    virtual void BeginChanges() {}
    virtual void EndChanges() {}
};

}  // namespace korvalis
