#include "catalogue/catalogue.h"

#include <optional>
#include <vector>

#include "catalogue/enumerate.h"
#include "core/airfile.h"
#include "core/text.h"

namespace fs = std::filesystem;

namespace korvalis {

namespace {

// The name test applied after the file system's own "*.air" match, which on Windows also
// lets through longer extensions such as "x.airx" by way of their short names.
bool EndsWithAirExtension(const fs::path& name)
{
    const auto& text = name.native();
    if (text.size() < 4) return false;
    const auto tail = text.substr(text.size() - 4);
    static const char kExt[] = ".air";
    for (std::size_t i = 0; i < 4; ++i) {
        auto c = tail[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<decltype(c)>(c - 'A' + 'a');
        if (c != static_cast<decltype(c)>(kExt[i])) return false;
    }
    return true;
}

fs::path Joined(const fs::path& base, const fs::path& name)
{
    fs::path result = base;
    result += name.native();  // base already ends with the separator: plain concatenation
    return result;
}

bool EndsWithSeparator(const fs::path::string_type& text)
{
    return !text.empty() && text.back() == static_cast<fs::path::value_type>(kDirSeparator);
}

std::optional<std::int16_t> TypeCodeForText(const std::string& text)
{
    for (std::int16_t code = 0; code < 3; ++code) {
        if (text == kTypeTexts[code]) return code;
    }
    return std::nullopt;
}

}  // namespace

std::string TypeTextForCode(const std::string& code)
{
    if (code == "0" || code == "1" || code == "2") return kTypeTexts[code[0] - '0'];
    return {};
}

void Catalogue::Load_Airfiles()
{
    if (m_state.AircraftDir.empty()) return;
    m_shell.SetHourglass(true);
    if (m_state.AircraftDir.back() != kDirSeparator) m_state.AircraftDir += kDirSeparator;
    const fs::path base = PathFromUtf8(m_state.AircraftDir);

    // Every entry is examined, the first one included: at a drive's root there is no "."
    // to come first, and the first sub-folder would otherwise be lost.
    std::vector<fs::path> folders;
    EnumerateFolderEntries(base, [&](const fs::path& name, std::optional<bool> isDirectory) {
        if (name.empty() || name == "." || name == "..") return;
        // An entry whose attributes cannot be read is kept; its file pass simply finds nothing.
        if (isDirectory.value_or(true)) folders.push_back(name);
    });

    bool found = false;
    m_list.RemoveAll();
    m_list.BeginAppending();
    for (const fs::path& folder : folders) {
        const fs::path folderPath = Joined(base, folder);
        const std::string folderText = PathToUtf8(folder);
        EnumerateAirFiles(folderPath, [&](const fs::path& file) {
            if (!EndsWithAirExtension(file)) return;
            fs::path filePath = folderPath;
            filePath += fs::path::string_type(1, static_cast<fs::path::value_type>(kDirSeparator));
            filePath += file.native();
            const std::string code = ReadAirfileType(filePath);
            found = true;
            if (code.empty()) return;
            AirfileRow row;
            row.folder = folder;
            row.file = file;
            row.folderText = folderText;
            row.fileText = PathToUtf8(file);
            row.typeText = TypeTextForCode(code);
            row.typeTip = row.typeText;
            m_list.Append(std::move(row));
        });
    }
    m_list.EndAppending();

    if (!found) {
        m_shell.SetHourglass(false);
        m_shell.ShowMessage(kNoAirfilesMessage);
    }
    m_shell.SetWriteEnabled(false);
    m_shell.SetHourglass(false);
}

void Catalogue::AssignTypeToMarked(std::int16_t index)
{
    const int count = m_list.Count();
    if (count < 1) return;
    for (int position = 1; position <= count; ++position) {
        if (!m_list.IsMarked(position)) continue;
        if (index < 0 || index > 2) continue;
        m_list.SetTypeText(position, kTypeTexts[index]);
        m_shell.SetWriteEnabled(true);
    }
}

void Catalogue::WriteMarkedTypes()
{
    const int count = m_list.Count();
    if (count < 1) return;
    m_shell.SetHourglass(true);
    bool failed = false;
    const fs::path base = PathFromUtf8(m_state.AircraftDir);
    for (int position = 1; position <= count; ++position) {
        if (!m_list.IsMarked(position)) continue;
        const AirfileRow& row = m_list.Row(position);
        fs::path::string_type folder = row.folder.native();
        if (!EndsWithSeparator(folder)) folder += static_cast<fs::path::value_type>(kDirSeparator);
        // A row whose text names no type has no byte anybody chose: it is not written.
        const std::optional<std::int16_t> code = TypeCodeForText(row.typeText);
        if (!code) {
            failed = true;
            continue;
        }
        fs::path path = base;
        path += folder;
        path += row.file.native();
        if (WriteAirfileType(path, *code) == 0) {
            m_list.SetMarked(position, false);
        } else {
            failed = true;
        }
    }
    if (failed) {
        m_shell.SetWriteEnabled(false);
        m_shell.ShowMessage(kWriteFailedMessage);
    } else {
        m_shell.SetWriteEnabled(true);
    }
    m_shell.SetHourglass(false);
}

void Catalogue::SelectAITraffic()
{
    const int count = m_list.Count();
    if (count < 1) return;
    for (int position = 1; position <= count; ++position) m_list.SetMarked(position, false);
    const int again = m_list.Count();
    for (int position = 1; position <= again; ++position) {
        // Case-sensitive, anywhere in the folder name; UTF-8 keeps ASCII bytes unambiguous.
        const std::string& folder = m_list.Row(position).folderText;
        if (folder.find("MY") != std::string::npos) m_list.SetMarked(position, true);
        if (folder.find("AI") != std::string::npos) m_list.SetMarked(position, true);
    }
}

}  // namespace korvalis
