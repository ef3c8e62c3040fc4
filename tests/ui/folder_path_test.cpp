// Network folders are tested here as text only: Wine opens no UNC path.
#include <gtest/gtest.h>

#include "ui/folder_path.h"

namespace korvalis::test {
namespace {

TEST(FolderPath, ChainRunsFromTheRootDown)
{
    const std::pair<std::wstring, std::vector<std::wstring>> cases[] = {
        {L"C:\\", {L"C:\\"}},
        {L"C:\\a\\b", {L"C:\\", L"C:\\a", L"C:\\a\\b"}},
        {L"d:\\Games\\\\FS9\\", {L"d:\\", L"d:\\Games", L"d:\\Games\\FS9"}},
        {L"\\\\server\\share", {L"\\\\server\\share"}},
        {L"\\\\server\\share\\", {L"\\\\server\\share"}},
        {L"\\\\server\\share\\FS9\\Aircraft",
         {L"\\\\server\\share", L"\\\\server\\share\\FS9", L"\\\\server\\share\\FS9\\Aircraft"}},
        {L"\\\\server", {L"\\\\server"}},
        // The extended-length prefix names the same folder: it is not a server called "?".
        {L"\\\\?\\C:\\FS9\\Aircraft", {L"C:\\", L"C:\\FS9", L"C:\\FS9\\Aircraft"}},
        {L"\\\\?\\UNC\\server\\share\\FS9", {L"\\\\server\\share", L"\\\\server\\share\\FS9"}},
    };
    for (const auto& [folder, chain] : cases) EXPECT_EQ(FolderChain(folder), chain) << folder;
}

TEST(FolderPath, DriveListShowsTheFoldersDriveElseTheOneShownBefore)
{
    struct Case {
        std::wstring folder, shownBefore, shown;
    };
    const Case cases[] = {
        {L"C:\\FS9", L"d:", L"c:"},         {L"\\\\server\\share\\FS9", L"d:", L"d:"},
        {L"\\\\server\\share", L"", L"e:"},  // first opening: the Windows folder's drive
        {L"\\\\?\\C:\\FS9", L"d:", L"c:"},  {L"\\\\?\\UNC\\server\\share\\FS9", L"d:", L"d:"},
    };
    for (const Case& c : cases) EXPECT_EQ(DriveToShow(c.folder, c.shownBefore, L"E:\\WINDOWS"), c.shown);
}

}  // namespace
}  // namespace korvalis::test
