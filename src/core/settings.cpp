#include "core/settings.h"

#include <array>

#include "formats/ini_file.h"

namespace tarvex {
namespace {

const wchar_t* const kSettingsGroup = L"Settings";
const wchar_t* const kAutoCloseKey = L"AutoClose";
const wchar_t* const kVersionsGroup = L"VSver";
const wchar_t* const kLinksGroup = L"VSlink";

struct KnownVersion {
    const wchar_t* name;
    std::int32_t number;
};

// The first four are the defaults a new settings file lists.
constexpr std::array<KnownVersion, 5> kKnownVersions{{
    {L"VS 2022", 17},
    {L"VS 2019", 16},
    {L"VS 2017", 15},
    {L"VS 2015", 14},
    {L"VS 2026", 18},
}};
constexpr std::size_t kDefaultVersionCount = 4;

void createSettingsFile(const ToolContext& context, ToolServices& services) {
    IniFile ini(services.byteFiles);
    if (!ini.create(context.settingsPath())) {
        return;
    }
    ini.selectGroup(kSettingsGroup);
    ini.writeInteger(kAutoCloseKey, 0);
    ini.selectGroup(kVersionsGroup);
    for (std::size_t i = 0; i < kDefaultVersionCount; ++i) {
        ini.writeInteger(kKnownVersions[i].name, kKnownVersions[i].number);
    }
    ini.close();
}

} // namespace

void loadSettings(ToolContext& context, ToolServices& services, ControlView& view) {
    if (services.files.pathSize(context.settingsPath()) == kMissing) {
        createSettingsFile(context, services);
    }
    IniFile ini(services.byteFiles);
    if (!ini.open(context.settingsPath())) {
        return;
    }
    ini.selectGroup(kSettingsGroup);
    view.setState(Control::chkAutoClose, ini.readInteger(kAutoCloseKey, 0) != 0);
    // Keyed by number, so a later line for the same version renames it.
    if (ini.selectGroup(kVersionsGroup) && ini.examineKeys()) {
        while (ini.nextKey()) {
            context.vsVersions[ini.keyValue()] = ini.keyName();
        }
    }
    ini.close();
}

void saveAutoClose(const ToolContext& context, ToolServices& services, const ControlView& view) {
    IniFile ini(services.byteFiles);
    if (!ini.open(context.settingsPath())) {
        return;
    }
    ini.selectGroup(kSettingsGroup);
    ini.writeInteger(kAutoCloseKey, view.state(Control::chkAutoClose) ? 1 : 0);
    ini.close();
}

bool storeVsLink(const ToolContext& context, ToolServices& services, const std::wstring& name,
                 const std::wstring& vcvarsallPath) {
    IniFile ini(services.byteFiles);
    if (!ini.open(context.settingsPath())) {
        return false;
    }
    ini.selectGroup(kLinksGroup);
    ini.writeString(name, vcvarsallPath);
    ini.close();
    return true;
}

void addVsVersion(ToolContext& context, ToolServices& services, const std::wstring& number) {
    if (context.vsVersions.contains(number)) {
        return;
    }
    std::wstring name = L"VS " + number;
    for (const KnownVersion& version : kKnownVersions) {
        if (std::to_wstring(version.number) == number) {
            name = version.name;
        }
    }
    context.vsVersions[number] = name;
    IniFile ini(services.byteFiles);
    if (ini.open(context.settingsPath())) {
        ini.selectGroup(kVersionsGroup);
        ini.writeString(name, number);
        ini.close();
    }
}

std::vector<std::pair<std::wstring, std::wstring>> readVsLinks(const ToolContext& context,
                                                               ToolServices& services) {
    std::vector<std::pair<std::wstring, std::wstring>> links;
    IniFile ini(services.byteFiles);
    if (!ini.open(context.settingsPath())) {
        return links;
    }
    const std::wstring marker = context.architectureName + L" Native Tools";
    if (ini.selectGroup(kLinksGroup) && ini.examineKeys()) {
        while (ini.nextKey()) {
            if (ini.keyName().find(marker) != std::wstring::npos) {
                links.emplace_back(ini.keyName(), ini.keyValue());
            }
        }
    }
    ini.close();
    return links;
}

} // namespace tarvex
