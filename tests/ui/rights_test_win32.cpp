// Administrator rights as the window shows them under Wine, which always runs a program
// elevated: the process's rights, the file routines and the launches are the test's.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "catalogue/error_text.h"
#include "core/text.h"
#include "tests/support/test_support.h"
#include "tests/ui/window_harness_win32.h"
#include "ui/dpi.h"
#include "ui/resource.h"

namespace korvalis::test {
namespace {

namespace fs = std::filesystem;

// Not elevated, and refused new files; every write denied access, as under Program Files.
struct Refused final : ProcessRights, AirfileRoutines {
    bool Elevated() override { return false; }
    bool MayCreateFilesIn(const fs::path&) override { return false; }
    ScanReport Scan(const ScanDirs& dirs, ReaderPool& readers, WorkControl& control, ScanSink& sink) override
    {
        return SystemAirfileRoutines().Scan(dirs, readers, control, sink);
    }
    std::int32_t Write(const fs::path&, std::int16_t) override { return ERROR_ACCESS_DENIED; }
    std::int32_t Restore(const fs::path&, std::uint8_t&, bool*) override { return ERROR_ACCESS_DENIED; }
};

// Part two's own tooltip, over the part at every DPI, shows each note with its lines.
TEST(AdministratorRights, TheScansNoteHasATooltipOverPartTwo)
{
    Simulator sim;
    MainWindowHarness main(Wide(sim.root));
    Refused refused;
    main.Window().Commands().SetProcessRights(refused);
    main.Command(IDM_SELECT_FS2004);
    EXPECT_EQ(main.StatusText(1), L"Changing these files needs administrator rights");
    EXPECT_EQ(main.StatusTip(), L"Changing these files needs administrator rights\n" + Wide(sim.aircraft) +
                                    L"\nRestart Korvalis as administrator: right-click korvalis.exe and "
                                    L"choose Run as administrator.");
    const HWND tip = main.Window().StatusTipHandle();
    EXPECT_NE(::GetWindowLongW(tip, GWL_STYLE) & TTS_ALWAYSTIP, 0) << "shown on hover, cut off or not";
    for (const UINT dpi : {main.Window().Dpi(), 144u}) {
        RECT window{}, part{};
        ::GetWindowRect(main.Handle(), &window);
        ::SendMessageW(main.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&window));
        ::SendMessageW(main.Window().StatusHandle(), SB_GETRECT, 1, reinterpret_cast<LPARAM>(&part));
        TTTOOLINFOW tool{
            sizeof(TTTOOLINFOW), 0, main.Window().StatusHandle(), 1, {}, nullptr, nullptr, 0, nullptr};
        ASSERT_TRUE(::SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)));
        EXPECT_TRUE(::EqualRect(&tool.rect, &part)) << dpi;
        EXPECT_EQ(::SendMessageW(tip, TTM_GETMAXTIPWIDTH, 0, 0), TipWidthFor(main.Handle()));
    }
}

// After the write's own box, the question; "Yes" starts this program as administrator and ends
// this one, or says why it stays.
TEST(AdministratorRights, AWriteDeniedAccessAsksToRestartAsAdministrator)
{
    struct Case {
        int answer;
        std::int32_t startResult;
        std::wstring added;  // to part two; "-" when the program ended
    };
    const std::string notFound = WithoutStop(ErrorText(ERROR_FILE_NOT_FOUND));  // as the line shows it
    const Case cases[] = {
        {IDYES, 0, L"-"},
        {IDYES, ERROR_CANCELLED, L"; Korvalis was not restarted as administrator"},
        {IDYES, ERROR_FILE_NOT_FOUND,
         WideFromUtf8("; Korvalis was not restarted as administrator. " + notFound)},
        {IDNO, 0, L""},
    };
    std::wstring ownPath(32768, L'\0');
    ownPath.resize(::GetModuleFileNameW(nullptr, ownPath.data(), static_cast<DWORD>(ownPath.size())));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.startResult);
        Simulator sim;
        Refused refused;
        RecordingLaunch launch;
        launch.startResult = c.startResult;
        MainWindowHarness main(Wide(sim.root));
        main.Window().Commands().SetProcessRights(refused);
        main.Window().SetShellLaunch(launch);
        main.Command(IDM_SELECT_FS2004);
        main.Window().Commands().SetFileRoutines(refused);
        main.Mark(RowOf(main, L"Bell 206"));
        main.Command(IDM_TYPE_AIRCRAFT);
        std::vector<MessageBoxWatcher::Seen> seen;
        {
            MessageBoxWatcher boxes(nullptr, c.answer);
            main.Command(IDM_WRITE);
            main.Pump();
            seen = boxes.Boxes();
        }
        ASSERT_EQ(seen.size(), 2u);
        EXPECT_EQ(seen[0].text, WideFromUtf8(kWriteFailedMessage));
        EXPECT_EQ(seen[1].caption, L"Korvalis");
        EXPECT_EQ(seen[1].text,
                  L"Windows lets only administrators change the files in " + Wide(sim.aircraft) +
                      L".\n\nRestart Korvalis as administrator? Types not yet written will be lost.");
        EXPECT_TRUE(seen[1].yesNo && seen[1].icon);
        EXPECT_EQ(launch.withVerb, (c.answer == IDYES ? decltype(launch.withVerb){{ownPath, L"runas"}}
                                                      : decltype(launch.withVerb){}));
        EXPECT_EQ(main.Handle() == nullptr, c.added == L"-") << "ends as End does";
        if (main.Handle() == nullptr) continue;
        const std::wstring status = main.StatusText(1);
        const std::wstring failure =
            WideFromUtf8("0 written, 1 failed: 1 " + WithoutStop(ErrorText(ERROR_ACCESS_DENIED)) +
                         " (first: Bell 206\\bell.air)");
        EXPECT_EQ(status.rfind(failure, 0), 0u) << status;
        EXPECT_EQ(status.substr(status.size() - std::min(status.size(), c.added.size())), c.added) << status;
        main.Window().Commands().SetFileRoutines(SystemAirfileRoutines());
    }
}

}  // namespace
}  // namespace korvalis::test
