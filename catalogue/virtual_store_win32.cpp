#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include "catalogue/virtual_store.h"
#include "core/text.h"

namespace korvalis {

namespace {

std::string KnownFolder(REFKNOWNFOLDERID id)
{
    PWSTR path = nullptr;
    std::string text;
    // The folder's name is wanted whether or not it exists.
    if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path))) text = Utf8FromWide(path);
    ::CoTaskMemFree(path);
    return text;
}

}  // namespace

RedirectedFolders SystemRedirectedFolders()
{
    RedirectedFolders folders;
    folders.programFiles = KnownFolder(FOLDERID_ProgramFiles);
    folders.programFilesX86 = KnownFolder(FOLDERID_ProgramFilesX86);
    folders.programData = KnownFolder(FOLDERID_ProgramData);
    folders.windows = KnownFolder(FOLDERID_Windows);
    folders.localAppData = KnownFolder(FOLDERID_LocalAppData);
    // %SystemDrive% is by definition the drive Windows lies on.
    if (folders.windows.size() >= 2 && folders.windows[1] == ':')
        folders.systemDrive = folders.windows.substr(0, 2);
    return folders;
}

}  // namespace korvalis
