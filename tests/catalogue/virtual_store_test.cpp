#include <gtest/gtest.h>

#include "catalogue/virtual_store.h"

namespace korvalis::test {
namespace {

TEST(VirtualStoreCounterpart, OnTheSystemDriveBelowARedirectedFolder)
{
    const RedirectedFolders windows{"C:",           "C:\\Program Files", "C:\\Program Files (x86)",
                                    "C:\\ProgramData", "C:\\Windows",     "C:\\Users\\Ann\\AppData\\Local"};
    RedirectedFolders trailing = windows;  // values as some systems give them
    trailing.programFiles += "\\";
    trailing.localAppData += "\\";
    const RedirectedFolders none;  // what other systems have
    RedirectedFolders driveOnly = windows;
    driveOnly.programData = "C:\\";
    const std::string store = "C:\\Users\\Ann\\AppData\\Local\\VirtualStore";
    struct Case {
        const char* name;
        const RedirectedFolders& folders;
        std::string dir;
        std::string counterpart;
    };
    const Case cases[] = {
        {"the simulator's own directory", windows,
         "C:\\Program Files (x86)\\Microsoft Games\\Flight Simulator 9\\Aircraft\\",
         store + "\\Program Files (x86)\\Microsoft Games\\Flight Simulator 9\\Aircraft\\"},
        {"case ignored, the directory's own case kept", windows, "c:\\PROGRAM FILES\\fs9\\aircraft",
         store + "\\PROGRAM FILES\\fs9\\aircraft"},
        {"ProgramData", windows, "C:\\ProgramData\\Sim\\Aircraft\\", store + "\\ProgramData\\Sim\\Aircraft\\"},
        {"the Windows folder", windows, "C:\\Windows\\Sim\\Aircraft", store + "\\Windows\\Sim\\Aircraft"},
        {"the redirected folder itself", windows, "C:\\Program Files", store + "\\Program Files"},
        {"values ending with a separator", trailing, "C:\\Program Files\\Sim\\", store + "\\Program Files\\Sim\\"},
        {"a longer name is another folder", windows, "C:\\Program Files2\\Sim\\Aircraft\\", ""},
        {"a shorter name is another folder", windows, "C:\\Program\\Sim\\Aircraft\\", ""},
        {"not below a redirected folder", windows, "C:\\Games\\FS9\\Aircraft\\", ""},
        {"another drive", windows, "D:\\Program Files\\Sim\\Aircraft\\", ""},
        {"a share", windows, "\\\\server\\C$\\Program Files\\Sim\\", ""},
        {"the VirtualStore itself", windows, store + "\\Program Files\\Sim\\", ""},
        {"the drive's root", windows, "C:\\", ""},
        {"a value naming only the drive redirects nothing", driveOnly, "C:\\Games\\Aircraft\\", ""},
        {"no folders known", none, "C:\\Program Files\\Sim\\Aircraft\\", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(VirtualStoreCounterpart(c.dir, c.folders), c.counterpart) << c.name;
}

}  // namespace
}  // namespace korvalis::test
